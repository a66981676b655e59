#include "TransitionEffectDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

#include <cstdint>

#include "control/ITimelineControl.h"

namespace vortrel {

namespace {

// The lists end at the first position that gives an empty name; a bound keeps a faulty list
// from running on.
constexpr int32_t kMostNames = 1000;

}  // namespace

TransitionEffectDialog::TransitionEffectDialog(Kind kind, ITimelineControl& control, float start,
                                               QWidget* parent)
    : QDialog(parent) {
    const bool transition = kind == Kind::Transition;
    setWindowTitle(transition ? tr("Add Transition") : tr("Add Effect"));
    auto* form = new QFormLayout(this);
    name_ = new QComboBox(this);
    for (int32_t index = 0; index < kMostNames; ++index) {
        OutString name;
        transition ? control.GetDESTransition(index, &name) : control.GetDESEffect(index, &name);
        if (!name || name->empty()) {
            break;
        }
        name_->addItem(QString::fromStdWString(*name));
    }
    name_->setCurrentText(transition ? "Dissolve" : "Sepia");
    start_ = new QDoubleSpinBox(this);
    stop_ = new QDoubleSpinBox(this);
    for (QDoubleSpinBox* time : {start_, stop_}) {
        time->setRange(0, 36000);
        time->setDecimals(2);
        time->setSuffix(" s");
    }
    start_->setValue(start);
    stop_->setValue(start + (transition ? 1 : 2));
    form->addRow(tr("Name"), name_);
    form->addRow(tr("Start"), start_);
    form->addRow(tr("Stop"), stop_);
    if (transition) {
        mediaTrack_ = new QComboBox(this);
        mediaTrack_->addItem(tr("Video 2"), 2);
        mediaTrack_->addItem(tr("Image"), 3);
        reverse_ = new QCheckBox(tr("Reverse direction"), this);
        form->addRow(tr("Brings in"), mediaTrack_);
        form->addRow(QString(), reverse_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

TransitionEffectDialog::Request TransitionEffectDialog::request() const {
    Request request;
    request.name = name_->currentText();
    request.start = static_cast<float>(start_->value());
    request.stop = static_cast<float>(stop_->value());
    if (mediaTrack_ != nullptr) {
        request.mediaTrack = mediaTrack_->currentData().toInt();
        request.reverse = reverse_->isChecked();
    }
    return request;
}

bool TransitionEffectDialog::hasNames() const {
    return name_->count() > 0;
}

}  // namespace vortrel
