#include "RenderDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

#include "OutputGuide.h"
#include "control/ITimelineControl.h"

namespace vortrel {

namespace {

constexpr int32_t kAvi = 0;
constexpr int32_t kWmv = 1;
constexpr int32_t kMp4 = 2;
constexpr int32_t kFirstMpeg = 3;
constexpr int32_t kFirstCustomMpeg = 9;
constexpr int32_t kLastMpeg = 10;
constexpr int32_t kM2ts = 11;
constexpr int32_t kFlv = 12;

// The lists end at the first position that gives an empty name.
constexpr int32_t kMostNames = 1000;

bool IsMpeg(int32_t type) {
    return type >= kFirstMpeg && type <= kLastMpeg;
}

// Types whose picture, rate and bit rates come from their own properties.
bool HasOwnPicture(int32_t type) {
    return type == kMp4 || type == kM2ts || type == kFlv ||
           (type >= kFirstCustomMpeg && IsMpeg(type));
}

const OutputTypeGuide* GuideOf(int32_t type) {
    for (const OutputTypeGuide& guide : OutputTypeGuides()) {
        if (guide.type == type) {
            return &guide;
        }
    }
    return nullptr;
}

// Bit rates: the AVCHD properties are in kbit/s, the others in bit/s.
int32_t ToKbps(int32_t bps) {
    return static_cast<int32_t>(std::lround(bps / 1000.0));
}

void FillList(QComboBox& box, ITimelineControl& control,
              HResult (ITimelineControl::*list)(int32_t, OutString*), const QString& none) {
    if (!none.isEmpty()) {
        box.addItem(none, -1);
    }
    for (int32_t index = 0; index < kMostNames; ++index) {
        OutString name;
        (control.*list)(index, &name);
        if (!name || name->empty()) {
            break;
        }
        box.addItem(QString::fromStdWString(*name), index);
    }
}

}  // namespace

RenderDialog::Settings RenderDialog::read(ITimelineControl& control, int32_t type) {
    Settings s;
    s.type = type;
    int32_t vbr = 0;
    int32_t abr = 0;
    switch (type) {
        case kMp4: {
            control.get_MP4Width(&s.width);
            control.get_MP4Height(&s.height);
            control.get_MP4Framerate(&s.frameRate);
            control.get_MP4VideoBitrate(&vbr);
            control.get_MP4AudioBitrate(&abr);
            control.get_MP4H264Preset(&s.preset);
            s.videoKbps = ToKbps(vbr);
            s.audioKbps = ToKbps(abr);
            break;
        }
        case kM2ts:
            control.get_AVCHDWidth(&s.width);
            control.get_AVCHDHeight(&s.height);
            control.get_AVCHDVideoFrameRate(&s.frameRate);
            control.get_AVCHDVideoBitrate(&s.videoKbps);
            control.get_AVCHDAudioBitrate(&s.audioKbps);
            break;
        case kFlv:
            control.get_FLVWidth(&s.width);
            control.get_FLVHeight(&s.height);
            control.get_FLVFrameRate(&s.frameRate);
            control.get_FLVVideoBitrate(&vbr);
            control.get_FLVAudioBitrate(&abr);
            s.videoKbps = ToKbps(vbr);
            s.audioKbps = ToKbps(abr);
            break;
        default:
            control.get_MPEGWidth(&s.width);
            control.get_MPEGHeight(&s.height);
            control.get_MPEGFrameRate(&s.frameRate);
            control.get_MPEGVideoBitrate(&vbr);
            control.get_MPEGAudioBitrate(&abr);
            s.videoKbps = ToKbps(vbr);
            s.audioKbps = ToKbps(abr);
            break;
    }
    VariantBool ac3 = 0;
    control.get_MPEGAC3(&ac3);
    s.ac3 = ac3 != 0;
    control.get_AVIVideoCompressor(&s.videoCompressor);
    control.get_AVIAudioCompressor(&s.audioCompressor);
    control.get_WMVProfile(&s.wmvProfile);
    return s;
}

void RenderDialog::write(ITimelineControl& control, const Settings& s) {
    control.put_OutputType(s.type);
    if (s.type == kAvi) {
        control.put_AVIVideoCompressor(s.videoCompressor);
        control.put_AVIAudioCompressor(s.audioCompressor);
    } else if (s.type == kWmv) {
        control.put_WMVProfile(s.wmvProfile);
    } else if (s.type == kMp4) {
        control.put_MP4Width(s.width);
        control.put_MP4Height(s.height);
        control.put_MP4Framerate(s.frameRate);
        control.put_MP4VideoBitrate(s.videoKbps * 1000);
        control.put_MP4AudioBitrate(s.audioKbps * 1000);
        control.put_MP4H264Preset(s.preset);
    } else if (s.type == kM2ts) {
        control.put_AVCHDWidth(s.width);
        control.put_AVCHDHeight(s.height);
        control.put_AVCHDVideoFrameRate(s.frameRate);
        control.put_AVCHDVideoBitrate(s.videoKbps);
        control.put_AVCHDAudioBitrate(s.audioKbps);
    } else if (s.type == kFlv) {
        control.put_FLVWidth(s.width);
        control.put_FLVHeight(s.height);
        control.put_FLVFrameRate(s.frameRate);
        control.put_FLVVideoBitrate(s.videoKbps * 1000);
        control.put_FLVAudioBitrate(s.audioKbps * 1000);
    } else if (IsMpeg(s.type)) {
        control.put_MPEGAC3(s.ac3 ? 1 : 0);
        if (s.type >= kFirstCustomMpeg) {
            control.put_MPEGWidth(s.width);
            control.put_MPEGHeight(s.height);
            control.put_MPEGFrameRate(s.frameRate);
            control.put_MPEGVideoBitrate(s.videoKbps * 1000);
            control.put_MPEGAudioBitrate(s.audioKbps * 1000);
        }
    }
}

RenderDialog::RenderDialog(ITimelineControl& control, const QString& file, QWidget* parent)
    : QDialog(parent), control_(control) {
    setWindowTitle(tr("Render"));
    setMinimumWidth(460);
    form_ = new QFormLayout(this);

    type_ = new QComboBox(this);
    for (const OutputTypeGuide& guide : OutputTypeGuides()) {
        type_->addItem(
            QString("%1 (%2)").arg(guide.name, QString::fromStdString(guide.extensions.front())),
            guide.type);
        type_->setItemData(type_->count() - 1, QString::fromUtf8(guide.writes), Qt::ToolTipRole);
    }
    form_->addRow(tr("Output type"), type_);

    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(file, this);
    auto* browseButton = new QPushButton(tr("Browse..."), this);
    connect(browseButton, &QPushButton::clicked, this, &RenderDialog::browse);
    fileRow->addWidget(file_);
    fileRow->addWidget(browseButton);
    form_->addRow(tr("File"), fileRow);

    note_ = new QLabel(this);
    note_->setWordWrap(true);
    form_->addRow(QString(), note_);
    width_ = new QSpinBox(this);
    height_ = new QSpinBox(this);
    width_->setRange(16, 4096);
    height_->setRange(16, 4096);
    width_->setSingleStep(2);
    height_->setSingleStep(2);
    auto* sizeRow = new QWidget(this);
    auto* sizeLayout = new QHBoxLayout(sizeRow);
    sizeLayout->setContentsMargins(0, 0, 0, 0);
    sizeLayout->addWidget(width_);
    sizeLayout->addWidget(new QLabel("x", sizeRow));
    sizeLayout->addWidget(height_);
    form_->addRow(tr("Picture"), sizeRow);
    frameRate_ = new QDoubleSpinBox(this);
    frameRate_->setRange(1, 240);
    frameRate_->setSuffix(" fps");
    form_->addRow(tr("Frame rate"), frameRate_);
    videoKbps_ = new QSpinBox(this);
    audioKbps_ = new QSpinBox(this);
    videoKbps_->setRange(1, 2000000);
    audioKbps_->setRange(1, 2000000);
    videoKbps_->setSuffix(" kbit/s");
    audioKbps_->setSuffix(" kbit/s");
    form_->addRow(tr("Video bit rate"), videoKbps_);
    form_->addRow(tr("Audio bit rate"), audioKbps_);
    preset_ = new QComboBox(this);
    for (const char* name :
         {"superfast", "veryfast", "faster", "fast", "medium", "slow", "slower", "veryslow"}) {
        preset_->addItem(name, preset_->count());
    }
    form_->addRow(tr("H.264 preset"), preset_);
    videoCompressor_ = new QComboBox(this);
    audioCompressor_ = new QComboBox(this);
    FillList(*videoCompressor_, control, &ITimelineControl::GetVideoEncoder, tr("Uncompressed"));
    FillList(*audioCompressor_, control, &ITimelineControl::GetAudioEncoder, tr("PCM"));
    form_->addRow(tr("Video compressor"), videoCompressor_);
    form_->addRow(tr("Audio compressor"), audioCompressor_);
    wmvProfile_ = new QComboBox(this);
    FillList(*wmvProfile_, control, &ITimelineControl::GetWMVProfile, QString());
    form_->addRow(tr("Profile"), wmvProfile_);
    ac3_ = new QCheckBox(tr("AC-3 audio (else MPEG layer II)"), this);
    form_->addRow(QString(), ac3_);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    form_->addRow(tr("Progress"), progress_);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    form_->addRow(QString(), status_);

    auto* buttons = new QDialogButtonBox(this);
    renderButton_ = buttons->addButton(tr("Render"), QDialogButtonBox::AcceptRole);
    cancelButton_ = buttons->addButton(tr("Cancel Render"), QDialogButtonBox::ActionRole);
    closeButton_ = buttons->addButton(QDialogButtonBox::Close);
    connect(renderButton_, &QPushButton::clicked, this, &RenderDialog::start);
    connect(cancelButton_, &QPushButton::clicked, this, &RenderDialog::cancelRequested);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    form_->addRow(buttons);

    int32_t type = kMp4;
    control_.get_OutputType(&type);
    type_->setCurrentIndex(std::max(0, type_->findData(type)));
    connect(type_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &RenderDialog::typeChanged);
    typeChanged();
    setRunning(false);
}

void RenderDialog::showRow(QWidget* field, bool shown) {
    field->setVisible(shown);
    if (QWidget* label = form_->labelForField(field)) {
        label->setVisible(shown);
    }
}

void RenderDialog::typeChanged() {
    const int32_t type = type_->currentData().toInt();
    const Settings s = read(control_, type);
    width_->setValue(s.width);
    height_->setValue(s.height);
    frameRate_->setValue(s.frameRate);
    videoKbps_->setValue(s.videoKbps);
    audioKbps_->setValue(s.audioKbps);
    preset_->setCurrentIndex(preset_->findData(s.preset));
    videoCompressor_->setCurrentIndex(std::max(0, videoCompressor_->findData(s.videoCompressor)));
    audioCompressor_->setCurrentIndex(std::max(0, audioCompressor_->findData(s.audioCompressor)));
    wmvProfile_->setCurrentIndex(std::max(0, wmvProfile_->findData(s.wmvProfile)));
    ac3_->setChecked(s.ac3);

    const bool own = HasOwnPicture(type);
    for (QWidget* field :
         {static_cast<QWidget*>(width_->parentWidget()), static_cast<QWidget*>(frameRate_),
          static_cast<QWidget*>(videoKbps_), static_cast<QWidget*>(audioKbps_)}) {
        showRow(field, own);
    }
    showRow(preset_, type == kMp4);
    showRow(videoCompressor_, type == kAvi);
    showRow(audioCompressor_, type == kAvi);
    showRow(wmvProfile_, type == kWmv);
    showRow(ac3_, IsMpeg(type));
    const OutputTypeGuide* guide = GuideOf(type);
    note_->setText(guide != nullptr ? QString::fromUtf8(guide->writes) : QString());

    // The file keeps its name and takes the type's usual extension.
    if (guide != nullptr && !file_->text().isEmpty()) {
        const QFileInfo info(file_->text());
        const QString extension = QString::fromStdString(guide->extensions.front());
        if (!ExtensionWarning(type, file_->text().toStdString()).empty()) {
            file_->setText(info.path() + "/" + info.completeBaseName() + extension);
        }
    }
    adjustSize();
}

void RenderDialog::browse() {
    const OutputTypeGuide* guide = GuideOf(type_->currentData().toInt());
    QString filter;
    if (guide != nullptr) {
        QStringList patterns;
        for (const std::string& extension : guide->extensions) {
            patterns << "*" + QString::fromStdString(extension);
        }
        filter = QString("%1 (%2)").arg(guide->name, patterns.join(' '));
    }
    const QString path = QFileDialog::getSaveFileName(this, tr("Render To"), file_->text(), filter);
    if (!path.isEmpty()) {
        file_->setText(path);
    }
}

RenderDialog::Settings RenderDialog::settings() const {
    Settings s;
    s.type = type_->currentData().toInt();
    s.file = file_->text();
    s.width = width_->value();
    s.height = height_->value();
    s.frameRate = static_cast<float>(frameRate_->value());
    s.videoKbps = videoKbps_->value();
    s.audioKbps = audioKbps_->value();
    s.preset = preset_->currentData().toInt();
    s.videoCompressor = videoCompressor_->currentData().toInt();
    s.audioCompressor = audioCompressor_->currentData().toInt();
    s.wmvProfile = wmvProfile_->currentData().toInt();
    s.ac3 = ac3_->isChecked();
    return s;
}

void RenderDialog::start() {
    progress_->setValue(0);
    status_->clear();
    emit renderRequested(settings());
}

void RenderDialog::setRunning(bool running) {
    running_ = running;
    renderButton_->setEnabled(!running);
    cancelButton_->setEnabled(running);
    closeButton_->setEnabled(!running);
    type_->setEnabled(!running);
    file_->setEnabled(!running);
    if (running) {
        status_->setText(tr("Rendering..."));
    }
}

void RenderDialog::showProgress(int progress) {
    if (progress >= 0) {
        progress_->setValue(progress);
    }
}

void RenderDialog::showFinished(bool written, const QString& message) {
    setRunning(false);
    if (written) {
        progress_->setValue(100);
    }
    status_->setText(message);
    status_->setStyleSheet(written ? QString() : QString("color: #e07070"));
}

}  // namespace vortrel
