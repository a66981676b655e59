#include "MediaInfoPanel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdint>

#include "control/ITimelineControl.h"

namespace vortrel {

namespace {

QString TextOf(const OutString& text) {
    return text ? QString::fromStdWString(*text) : QString();
}

// A value and its unit, or a dash for nothing.
QString Valued(int32_t value, const char* unit) {
    return value > 0 ? QString("%1 %2").arg(value).arg(unit) : QString::fromUtf8("–");
}

}  // namespace

MediaInfoPanel::MediaInfoPanel(ITimelineControl& control, QWidget* parent)
    : QWidget(parent), control_(control) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto label = [this] {
        auto* value = new QLabel(QString::fromUtf8("–"), this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return value;
    };
    file_ = label();
    file_->setWordWrap(true);
    duration_ = label();
    picture_ = label();
    frameRate_ = label();
    bitRates_ = label();
    sound_ = label();
    streams_ = label();
    container_ = label();
    formats_ = label();
    form->addRow(tr("File"), file_);
    form->addRow(tr("Duration"), duration_);
    form->addRow(tr("Picture"), picture_);
    form->addRow(tr("Frame rate"), frameRate_);
    form->addRow(tr("Bit rates"), bitRates_);
    form->addRow(tr("Sound"), sound_);
    form->addRow(tr("Streams"), streams_);
    form->addRow(tr("Container"), container_);
    form->addRow(tr("Formats"), formats_);
    layout->addLayout(form);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setStyleSheet("color: #e07070");
    layout->addWidget(status_);
    auto* chooseButton = new QPushButton(tr("Choose File..."), this);
    connect(chooseButton, &QPushButton::clicked, this, &MediaInfoPanel::choose);
    layout->addWidget(chooseButton);
    layout->addStretch();
}

void MediaInfoPanel::choose() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Media Information"));
    if (!path.isEmpty()) {
        showFile(path);
    }
}

void MediaInfoPanel::showFile(const QString& path) {
    float duration = 0;
    int32_t width = 0;
    int32_t height = 0;
    float frameRate = 0;
    int32_t videoBitRate = 0;
    int32_t audioBitRate = 0;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t videoStreams = 0;
    int32_t audioStreams = 0;
    OutString container;
    OutString videoFormat;
    OutString audioFormat;
    control_.GetMediaInfo(path.toStdWString().c_str(), &duration, &width, &height, &frameRate,
                          &videoBitRate, &audioBitRate, &sampleRate, &channels, &videoStreams,
                          &audioStreams, &container, &videoFormat, &audioFormat);
    file_->setText(QFileInfo(path).fileName());
    file_->setToolTip(path);
    duration_->setText(duration > 0 ? QString("%1 s").arg(duration, 0, 'f', 3)
                                    : QString::fromUtf8("–"));
    picture_->setText(width > 0 && height > 0 ? QString("%1 x %2").arg(width).arg(height)
                                              : QString::fromUtf8("–"));
    frameRate_->setText(frameRate > 0 ? QString("%1 fps").arg(frameRate, 0, 'f', 2)
                                      : QString::fromUtf8("–"));
    bitRates_->setText(tr("video %1, audio %2")
                           .arg(Valued(videoBitRate, "kbit/s"), Valued(audioBitRate, "kbit/s")));
    sound_->setText(sampleRate > 0 ? tr("%1 kHz, %2 channels").arg(sampleRate).arg(channels)
                                   : QString::fromUtf8("–"));
    streams_->setText(tr("%1 video, %2 audio").arg(videoStreams).arg(audioStreams));
    container_->setText(TextOf(container).isEmpty() ? QString::fromUtf8("–") : TextOf(container));
    formats_->setText(
        QStringList{TextOf(videoFormat), TextOf(audioFormat)}.filter(QRegExp(".+")).join(", "));
    // The member has no result of its own: a file it cannot read shows no streams at all.
    status_->setText(videoStreams == 0 && audioStreams == 0 && width == 0
                         ? tr("The control cannot read this file as media.")
                         : QString());
}

}  // namespace vortrel
