#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QResizeEvent>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "ConverterWatch.h"
#include "DemoTimeline.h"
#include "EventLog.h"
#include "MediaInfoPanel.h"
#include "MemberResult.h"
#include "ProjectMedia.h"
#include "TextClipDialog.h"
#include "TransitionEffectDialog.h"
#include "control/CTimelineControl.h"
#include "model/FontTable.h"
#include "model/ITrack.h"
#include "model/TimeRules.h"
#include "model/TimelineModel.h"
#include "platform/linux/widget/TimelineWidget.h"
#include "views/ITrackView.h"
#include "views/StackPanel.h"
#include "views/TimeAxis.h"
#include "views/TimelineView.h"

namespace vortrel {

namespace {

// The timeline's picture: the demo's media are 320x240 at 25 frames per second.
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 240;
constexpr float kFrameRate = 25.0f;

// A still picture dropped or opened lasts this long.
constexpr float kStillSeconds = 3.0f;

constexpr float kZoomStep = 1.5f;
constexpr float kLeastZoom = 0.02f;
constexpr float kMostZoom = 50.0f;
// Room left free to the right of the timeline's end when it is zoomed to fit.
constexpr int kFitMargin = 40;

// The control tells of a conversion's end at its next one-second tick; looking this often
// lets that tick come as soon as the converter has finished.
constexpr int kConversionPollMs = 100;

const char* TrackName(int32_t track) {
    static const char* const names[] = {"transitions", "video 1", "video 2", "image",
                                        "effects",     "audio 1", "audio 2", "text"};
    return track >= 0 && track < kTrackCount ? names[track] : "no";
}

QString Seconds(int32_t milliseconds) {
    return QString("%1:%2.%3")
        .arg(milliseconds / 60000, 2, 10, QChar('0'))
        .arg(milliseconds / 1000 % 60, 2, 10, QChar('0'))
        .arg(milliseconds % 1000 / 100);
}

bool IsStill(const QString& path) {
    static const QStringList stills = {"png", "jpg", "jpeg", "bmp", "gif", "tif", "tiff"};
    return stills.contains(QFileInfo(path).suffix().toLower());
}

enum class Glyph { Play, Pause, Stop };

// The transport glyphs drawn light, as the style's own are too dark on a dark window.
QIcon GlyphIcon(Glyph glyph) {
    constexpr int kSide = 32;
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(225, 225, 225));
    switch (glyph) {
        case Glyph::Play:
            painter.drawPolygon(QPolygon({QPoint(9, 6), QPoint(27, 16), QPoint(9, 26)}));
            break;
        case Glyph::Pause:
            painter.drawRect(8, 6, 6, 20);
            painter.drawRect(18, 6, 6, 20);
            break;
        case Glyph::Stop:
            painter.drawRect(8, 8, 16, 16);
            break;
    }
    return QIcon(picture);
}

}  // namespace

// The preview: a dark area holding a native child window of the timeline picture's shape,
// which the control is given as its preview window; the video is shown over that child.
class PreviewArea : public QWidget {
  public:
    explicit PreviewArea(QWidget* parent) : QWidget(parent), screen_(new QWidget(this)) {
        setAttribute(Qt::WA_NativeWindow);
        setAutoFillBackground(true);
        QPalette dark = palette();
        dark.setColor(QPalette::Window, QColor(18, 18, 20));
        setPalette(dark);
        screen_->setAttribute(Qt::WA_NativeWindow);
        screen_->setAutoFillBackground(true);
        QPalette black = screen_->palette();
        black.setColor(QPalette::Window, Qt::black);
        screen_->setPalette(black);
        setMinimumSize(kPictureWidth, kPictureHeight);
    }

    QWidget& screen() { return *screen_; }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const QSize area = event->size();
        QSize picture(kPictureWidth, kPictureHeight);
        picture.scale(area, Qt::KeepAspectRatio);
        screen_->setGeometry((area.width() - picture.width()) / 2,
                             (area.height() - picture.height()) / 2, picture.width(),
                             picture.height());
    }

  private:
    QWidget* screen_;
};

MainWindow::MainWindow(ConverterWatch* watch, Reporting reporting, QWidget* parent)
    : QMainWindow(parent), watch_(watch), reporting_(reporting) {
    setWindowTitle(tr("Vortrel Demo"));
    resize(1400, 900);

    timeline_ = new TimelineWidget(this);
    timeline_->setMinimumHeight(240);
    timeline_->setAcceptDrops(true);
    timeline_->installEventFilter(this);
    // The demo's own picture and rate (a rate takes effect with the next size), and an MP4
    // of the timeline's shape unless the user asks for another.
    control().SetVideoTrackFrameRate(kFrameRate);
    control().SetVideoTrackResolution(kPictureWidth, kPictureHeight);
    control().put_OutputType(2);
    control().put_MP4Width(2 * kPictureWidth);
    control().put_MP4Height(2 * kPictureHeight);
    control().put_MP4H264Preset(1);

    // The preview and its transport bar above the timeline.
    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(6, 6, 6, 0);
    preview_ = new PreviewArea(top);
    topLayout->addWidget(preview_, 1);
    auto* transport = new QHBoxLayout;
    auto button = [this, top](Glyph glyph, const QString& tip, auto slot) {
        auto* b = new QToolButton(top);
        b->setIcon(GlyphIcon(glyph));
        b->setIconSize(QSize(20, 20));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    transport->addWidget(button(Glyph::Play, tr("Play"), &MainWindow::play));
    transport->addWidget(button(Glyph::Pause, tr("Pause"), &MainWindow::pause));
    transport->addWidget(button(Glyph::Stop, tr("Stop"), &MainWindow::stop));
    position_ = new QSlider(Qt::Horizontal, top);
    position_->setRange(0, 0);
    connect(position_, &QSlider::sliderReleased, this, [this] { seekTo(position_->value()); });
    transport->addWidget(position_, 1);
    time_ = new QLabel(top);
    time_->setMinimumWidth(150);
    time_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    transport->addWidget(time_);
    topLayout->addLayout(transport);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(timeline_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    // The timeline's rows whole, the preview above them.
    splitter->setSizes({360, 440});
    setCentralWidget(splitter);

    makeDocks();
    makeActions();
    zoomLabel_ = new QLabel(this);
    statusBar()->addPermanentWidget(zoomLabel_);

    connect(timeline_, &TimelineWidget::updated, this, &MainWindow::refresh);
    connect(timeline_, &TimelineWidget::clipClicked, this, &MainWindow::clipClicked);
    connect(timeline_, &TimelineWidget::playing, this, &MainWindow::positionChanged);
    connect(timeline_, &TimelineWidget::playingCompleted, this,
            [this] { statusBar()->showMessage(tr("Played to the end"), 4000); });
    connect(timeline_, &TimelineWidget::convertProgress, this, [this](int progress) {
        if (progress < 0) {
            renderFailed_ = true;
        }
    });
    connect(timeline_, &TimelineWidget::convertCompleted, this, &MainWindow::conversionEnded);
    conversionWatch_ = new QTimer(this);
    conversionWatch_->setInterval(kConversionPollMs);
    connect(conversionWatch_, &QTimer::timeout, this, [this] {
        if (rendering_ && watch_ != nullptr && watch_->Ended()) {
            // As a window system may deliver a tick early: the control then sees the end.
            timeline_->timelineControl().OnTimer(
                timeline_->timelineControl().GetModel()->GetConvertTimerId());
        }
    });

    refresh();
}

MainWindow::~MainWindow() {
    if (rendering_) {
        control().StopConversion();
    }
}

ITimelineControl& MainWindow::control() {
    return timeline_->control();
}

void MainWindow::makeDocks() {
    mediaInfo_ = new MediaInfoPanel(control(), this);
    auto* infoDock = new QDockWidget(tr("Media Information"), this);
    infoDock->setObjectName("mediaInfo");
    infoDock->setWidget(mediaInfo_);
    infoDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::RightDockWidgetArea, infoDock);

    log_ = new EventLog(this);
    log_->attach(*timeline_);
    auto* logDock = new QDockWidget(tr("Event Log"), this);
    logDock->setObjectName("eventLog");
    logDock->setWidget(log_);
    logDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::RightDockWidgetArea, logDock);
    resizeDocks({infoDock, logDock}, {340, 340}, Qt::Horizontal);
}

void MainWindow::makeActions() {
    QStyle* s = style();
    auto action = [this](const QString& text, auto slot, QKeySequence keys = {}, QIcon icon = {}) {
        auto* a = new QAction(icon, text, this);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction* openMedia = action(tr("&Open Media..."), &MainWindow::openMedia, QKeySequence::Open,
                                s->standardIcon(QStyle::SP_DialogOpenButton));
    QAction* loadProject =
        action(tr("&Load Project..."), &MainWindow::openProject, QKeySequence(tr("Ctrl+L")),
               s->standardIcon(QStyle::SP_DirOpenIcon));
    QAction* saveProject = action(tr("&Save Project..."), &MainWindow::saveProjectAs,
                                  QKeySequence::Save, s->standardIcon(QStyle::SP_DialogSaveButton));
    QAction* render = action(tr("&Render..."), &MainWindow::showRenderDialog,
                             QKeySequence(tr("Ctrl+R")), s->standardIcon(QStyle::SP_DriveFDIcon));
    QAction* quit = action(tr("&Quit"), &QWidget::close, QKeySequence::Quit);
    QAction* text =
        action(tr("Add &Text Clip..."), &MainWindow::addTextClip, QKeySequence(tr("Ctrl+T")),
               s->standardIcon(QStyle::SP_FileDialogDetailedView));
    QAction* transition = action(tr("Add T&ransition..."), &MainWindow::addTransition, {},
                                 s->standardIcon(QStyle::SP_BrowserReload));
    QAction* effect = action(tr("Add &Effect..."), &MainWindow::addEffect, {},
                             s->standardIcon(QStyle::SP_DialogApplyButton));
    QAction* remove = action(tr("&Delete Selected Clip"), &MainWindow::deleteSelected,
                             QKeySequence::Delete, s->standardIcon(QStyle::SP_TrashIcon));
    QAction* clear = action(tr("&Clear Timeline"), [this] {
        control().Clear();
        refresh();
    });
    QAction* zoomIn = action(
        tr("Zoom &In"), [this] { zoom(kZoomStep); }, QKeySequence::ZoomIn,
        s->standardIcon(QStyle::SP_ArrowUp));
    QAction* zoomOut = action(
        tr("Zoom &Out"), [this] { zoom(1 / kZoomStep); }, QKeySequence::ZoomOut,
        s->standardIcon(QStyle::SP_ArrowDown));
    QAction* zoomFit =
        action(tr("Zoom to &Fit"), &MainWindow::zoomToFit, QKeySequence(tr("Ctrl+0")),
               s->standardIcon(QStyle::SP_FileDialogContentsView));
    video2_ = action(tr("Show &Video 2"),
                     [this](bool on) { control().SetTrackVisible(kVideo2Track, on ? 1 : 0); });
    audio2_ = action(tr("Show &Audio 2"),
                     [this](bool on) { control().SetTrackVisible(kAudio2Track, on ? 1 : 0); });
    video2_->setCheckable(true);
    audio2_->setCheckable(true);
    QAction* playAction =
        action(tr("&Play"), &MainWindow::play, QKeySequence(Qt::Key_Space), GlyphIcon(Glyph::Play));
    QAction* pauseAction = action(tr("P&ause"), &MainWindow::pause, {}, GlyphIcon(Glyph::Pause));
    QAction* stopAction = action(tr("&Stop"), &MainWindow::stop, {}, GlyphIcon(Glyph::Stop));
    QAction* goToAction = action(tr("&Go To..."), &MainWindow::goTo, QKeySequence(tr("Ctrl+G")),
                                 s->standardIcon(QStyle::SP_MediaSeekForward));
    QAction* about = action(tr("&About"), [this] {
        QMessageBox::about(this, tr("About Vortrel Demo"),
                           tr("A demonstration host of the Vortrel timeline control: "
                              "Qt Widgets around one TimelineWidget."));
    });

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addActions({openMedia, loadProject, saveProject});
    file->addSeparator();
    file->addAction(render);
    file->addSeparator();
    file->addAction(quit);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({text, transition, effect});
    edit->addSeparator();
    edit->addActions({remove, clear});
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addActions({zoomIn, zoomOut, zoomFit});
    view->addSeparator();
    view->addActions({video2_, audio2_});
    QMenu* playback = menuBar()->addMenu(tr("&Playback"));
    playback->addActions({playAction, pauseAction, stopAction, goToAction});
    menuBar()->addMenu(tr("&Help"))->addAction(about);

    for (auto [a, label] : {std::pair{openMedia, tr("Open")},
                            {loadProject, tr("Load")},
                            {saveProject, tr("Save")},
                            {text, tr("Title")},
                            {transition, tr("Transition")},
                            {effect, tr("Effect")},
                            {remove, tr("Delete")},
                            {zoomIn, tr("Zoom In")},
                            {zoomOut, tr("Zoom Out")},
                            {zoomFit, tr("Fit")},
                            {render, tr("Render")}}) {
        a->setIconText(label);
    }
    QToolBar* bar = addToolBar(tr("Main"));
    bar->setObjectName("main");
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(18, 18));
    bar->addActions({openMedia, loadProject, saveProject});
    bar->addSeparator();
    bar->addActions({text, transition, effect, remove});
    bar->addSeparator();
    bar->addActions({zoomIn, zoomOut, zoomFit});
    bar->addSeparator();
    bar->addAction(render);
}

bool MainWindow::buildDemo(const QString& folder) {
    DemoTimeline::Media media;
    try {
        media = DemoTimeline::MakeMedia(folder.toStdString());
    } catch (const std::exception& error) {
        report(tr("Making the demo's media"), QString::fromUtf8(error.what()));
        return false;
    }
    control().Clear();
    const std::vector<std::string> failed = DemoTimeline::Build(control(), media);
    for (const std::string& line : failed) {
        report(tr("Building the demo timeline"), QString::fromStdString(line));
    }
    mediaInfo_->showFile(QString::fromStdString(media.intro.string()));
    workFolder_ = QFileInfo(folder).absolutePath();  // beside the media, not among them
    zoomToFit();                                     // refreshes
    statusBar()->showMessage(tr("Demo timeline built from the media in %1").arg(folder), 6000);
    return failed.empty();
}

bool MainWindow::loadProject(const QString& path) {
    if (rendering_) {
        report(tr("Loading %1").arg(path), tr("a render is running"));
        return false;
    }
    int32_t result = 0;
    control().LoadProject(path.toStdWString().c_str(), &result);
    if (const std::string reason = MemberResult::OfProject(result, true); !reason.empty()) {
        report(tr("Loading %1").arg(path), QString::fromStdString(reason));
        return false;
    }
    projectPath_ = path;
    workFolder_ = QFileInfo(path).absolutePath();
    const std::vector<MediaProblem> problems =
        SettleProjectMedia(*timeline_->timelineControl().GetModel(), path.toStdString());
    QStringList lines;
    for (const MediaProblem& problem : problems) {
        lines << QString::fromStdString(Describe(problem));
    }
    if (!lines.isEmpty()) {
        report(tr("Loading %1").arg(path), lines.join('\n'));
    }
    setWindowTitle(tr("Vortrel Demo - %1").arg(QFileInfo(path).fileName()));
    statusBar()->showMessage(tr("Loaded %1").arg(path), 6000);
    zoomToFit();  // refreshes
    return problems.empty();
}

bool MainWindow::saveProject(const QString& path) {
    int32_t result = 0;
    control().SaveProject(path.toStdWString().c_str(), &result);
    if (const std::string reason = MemberResult::OfProject(result, false); !reason.empty()) {
        report(tr("Saving %1").arg(path), QString::fromStdString(reason));
        return false;
    }
    projectPath_ = path;
    workFolder_ = QFileInfo(path).absolutePath();
    setWindowTitle(tr("Vortrel Demo - %1").arg(QFileInfo(path).fileName()));
    statusBar()->showMessage(tr("Saved %1").arg(path), 6000);
    return true;
}

bool MainWindow::addMediaFile(const QString& path, int32_t track, float start) {
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
    control().GetMediaInfo(path.toStdWString().c_str(), &duration, &width, &height, &frameRate,
                           &videoBitRate, &audioBitRate, &sampleRate, &channels, &videoStreams,
                           &audioStreams, nullptr, nullptr, nullptr);
    mediaInfo_->showFile(path);
    const QString what = tr("Adding %1").arg(QFileInfo(path).fileName());
    const bool still = IsStill(path) && width > 0;
    const bool video = !still && videoStreams > 0;
    const bool audio = !still && audioStreams > 0;
    if (!still && !video && !audio) {
        report(what, tr("the control cannot read it as media"));
        return false;
    }
    if (track < 0) {
        track = still ? kImageTrack : video ? kVideo1Track : kAudio1Track;
    }
    const bool videoRow = track == kVideo1Track || track == kVideo2Track;
    const bool audioRow = track == kAudio1Track || track == kAudio2Track;
    if (!(videoRow && video) && !(audioRow && audio) && !(track == kImageTrack && still)) {
        report(what, tr("it cannot go on the %1 track: video goes on video 1 or 2, sound on "
                        "audio 1 or 2, still pictures on the image track")
                         .arg(TrackName(track)));
        return false;
    }
    const float length = still ? kStillSeconds : duration;
    if (!(length > 0)) {
        report(what, tr("the control cannot tell its length"));
        return false;
    }
    if (start < 0) {
        start = trackEnd(track);
    }
    const std::wstring name = path.toStdWString();
    int32_t result = 0;
    if (still) {
        control().AddImageClip(track, name.c_str(), start, start + length, &result);
    } else if (videoRow) {
        control().AddVideoClip(track, name.c_str(), start, start + length, 0, &result);
    } else {
        control().AddAudioClip(track, name.c_str(), start, start + length, 0, 1.0f, &result);
    }
    if (const std::string reason = MemberResult::OfAdd(result); !reason.empty()) {
        report(what, QString::fromStdString(reason));
        return false;
    }
    if (track == kVideo2Track || track == kAudio2Track) {
        control().SetTrackVisible(track, 1);  // a hidden track would not show what was added
    }
    refresh();
    statusBar()->showMessage(
        tr("Added %1 to the %2 track at %3 s").arg(path).arg(TrackName(track)).arg(start), 6000);
    return true;
}

bool MainWindow::startRender(const RenderDialog::Settings& settings) {
    const QString what = tr("Rendering %1").arg(settings.file);
    if (rendering_) {
        report(what, tr("a render is running already"));
        return false;
    }
    if (settings.file.isEmpty()) {
        report(tr("Rendering"), tr("no output file is named"));
        return false;
    }
    if (!QFileInfo(QFileInfo(settings.file).absolutePath()).isDir()) {
        report(what, tr("there is no folder %1").arg(QFileInfo(settings.file).absolutePath()));
        return false;
    }
    RenderDialog::write(control(), settings);
    int32_t result = 0;
    control().Save(settings.file.toStdWString().c_str(), &result);
    if (const std::string reason = MemberResult::OfRender(result); !reason.empty()) {
        const std::string why = watch_ != nullptr ? watch_->LastError() : std::string();
        report(what, QString::fromStdString(why.empty() ? reason : reason + ": " + why));
        return false;
    }
    rendering_ = true;
    renderFailed_ = false;
    renderFile_ = settings.file;
    conversionWatch_->start();
    statusBar()->showMessage(tr("Rendering %1...").arg(settings.file));
    return true;
}

void MainWindow::stopRender() {
    if (!rendering_) {
        return;
    }
    control().StopConversion();  // what was written so far goes with it
    rendering_ = false;
    conversionWatch_->stop();
    const QString message = tr("Render stopped; %1 was not kept").arg(renderFile_);
    statusBar()->showMessage(message, 6000);
    emit renderFinished(false, message);
}

void MainWindow::conversionEnded() {
    if (!rendering_) {
        return;
    }
    rendering_ = false;
    conversionWatch_->stop();
    const QFileInfo output(renderFile_);
    if (renderFailed_ || !output.exists()) {
        const std::string why = watch_ != nullptr ? watch_->LastError() : std::string();
        const QString reason =
            why.empty() ? tr("the conversion failed") : QString::fromStdString(why);
        report(tr("Rendering %1").arg(renderFile_), reason);
        emit renderFinished(false, tr("Writing %1 failed: %2").arg(renderFile_, reason));
        return;
    }
    const QString message =
        tr("Wrote %1 (%2 KiB)").arg(renderFile_).arg((output.size() + 1023) / 1024);
    statusBar()->showMessage(message, 8000);
    emit renderFinished(true, message);
}

void MainWindow::seekTo(int32_t milliseconds) {
    VariantBool playing = 0;
    VariantBool paused = 0;
    control().get_IsPlaying(&playing);
    control().get_IsPause(&paused);
    // A seek moves a preview that is under way; an idle one is started, then paused there.
    if (playing == 0 && paused == 0) {
        play();
        control().get_IsPlaying(&playing);
        if (playing == 0) {
            return;
        }
    }
    timeline_->timelineControl().GetModel()->Seek(milliseconds);
}

void MainWindow::play() {
    VariantBool playing = 0;
    VariantBool paused = 0;
    control().get_IsPlaying(&playing);
    control().get_IsPause(&paused);
    // The control takes the preview window's place when a preview starts from idle; it is
    // handed over now, when the window system knows where the area lies (off-screen there is
    // no native window to play into).
    if (playing == 0 && paused == 0 && QGuiApplication::platformName() == QLatin1String("xcb")) {
        timeline_->setPreviewWindow(preview_->screen());
    }
    control().Play();
    control().get_IsPlaying(&playing);
    if (playing == 0) {
        report(tr("Playing"), tr("the timeline cannot be played (is it empty?)"));
    }
}

void MainWindow::pause() {
    control().Pause();
}

void MainWindow::stop() {
    control().Stop();
    positionChanged(0);
}

void MainWindow::goTo() {
    bool ok = false;
    const double seconds = QInputDialog::getDouble(this, tr("Go To"), tr("Time (seconds)"),
                                                   positionMs_ / 1000.0, 0, 36000, 2, &ok);
    if (ok) {
        seekTo(static_cast<int32_t>(seconds * 1000));
    }
}

void MainWindow::zoom(float factor) {
    float scale = 1;
    control().GetScale(&scale);
    control().SetScale(std::clamp(scale * factor, kLeastZoom, kMostZoom));
    refresh();
}

void MainWindow::openMedia() {
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, tr("Open Media"), QString(),
        tr("Media (*.mp4 *.mkv *.avi *.mov *.webm *.mpg *.wav *.mp3 *.flac *.ogg *.png *.jpg "
           "*.jpeg *.bmp);;All files (*)"));
    for (const QString& path : paths) {
        addMediaFile(path);
    }
}

void MainWindow::openProject() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Load Project"), projectPath_,
                                                      tr("Projects (*.xml);;All files (*)"));
    if (!path.isEmpty()) {
        loadProject(path);
    }
}

void MainWindow::saveProjectAs() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Project"),
        projectPath_.isEmpty() ? QDir(workFolder_).absoluteFilePath("project.xml") : projectPath_,
        tr("Projects (*.xml)"));
    if (!path.isEmpty()) {
        saveProject(path);
    }
}

void MainWindow::showRenderDialog() {
    if (renderDialog_ == nullptr) {
        renderDialog_ =
            new RenderDialog(control(), QDir(workFolder_).absoluteFilePath("render.mp4"), this);
        connect(renderDialog_, &RenderDialog::renderRequested, this,
                [this](const RenderDialog::Settings& settings) {
                    renderDialog_->setRunning(startRender(settings));
                });
        connect(renderDialog_, &RenderDialog::cancelRequested, this, &MainWindow::stopRender);
        connect(timeline_, &TimelineWidget::convertProgress, renderDialog_,
                &RenderDialog::showProgress);
        connect(this, &MainWindow::renderFinished, renderDialog_, &RenderDialog::showFinished);
    }
    renderDialog_->show();
    renderDialog_->raise();
}

void MainWindow::addTextClip() {
    TextClipDialog dialog(positionMs_ / 1000.0f, kPictureWidth, kPictureHeight, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const TextClipDialog::Request request = dialog.request();
    // The control copies the font's description; the handle is the host's to delete.
    const int32_t font = FontTable::Create(TextClipDialog::toLogFont(request.font));
    int32_t result = 0;
    control().AddTextClip2(kTextTrack, request.text.toStdWString().c_str(), request.start,
                           request.stop, font, request.x, request.y, request.color.red(),
                           request.color.green(), request.color.blue(), &result);
    FontTable::Delete(font);
    if (const std::string reason = MemberResult::OfAdd(result); !reason.empty()) {
        report(tr("Adding the title \"%1\"").arg(request.text), QString::fromStdString(reason));
    }
    refresh();
}

void MainWindow::addTransition() {
    TransitionEffectDialog dialog(TransitionEffectDialog::Kind::Transition, control(),
                                  positionMs_ / 1000.0f, this);
    if (!dialog.hasNames()) {
        report(tr("Adding a transition"), tr("the control lists no installed transitions"));
        return;
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const TransitionEffectDialog::Request request = dialog.request();
    int32_t result = 0;
    control().AddTransition(kTransitionTrack, request.name.toStdWString().c_str(), request.start,
                            request.stop, L"", request.mediaTrack, request.reverse ? 1 : 0,
                            &result);
    if (const std::string reason = MemberResult::OfAdd(result); !reason.empty()) {
        report(tr("Adding the transition %1").arg(request.name), QString::fromStdString(reason));
    }
    refresh();
}

void MainWindow::addEffect() {
    TransitionEffectDialog dialog(TransitionEffectDialog::Kind::Effect, control(),
                                  positionMs_ / 1000.0f, this);
    if (!dialog.hasNames()) {
        report(tr("Adding an effect"), tr("the control lists no installed effects"));
        return;
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const TransitionEffectDialog::Request request = dialog.request();
    int32_t result = 0;
    control().AddEffect(kEffectTrack, request.name.toStdWString().c_str(), request.start,
                        request.stop, L"", &result);
    if (const std::string reason = MemberResult::OfAdd(result); !reason.empty()) {
        report(tr("Adding the effect %1").arg(request.name), QString::fromStdString(reason));
    }
    refresh();
}

void MainWindow::deleteSelected() {
    if (selectedTrack_ < 0) {
        report(tr("Deleting"), tr("no clip is selected: click one on the timeline first"));
        return;
    }
    int32_t before = 0;
    int32_t after = 0;
    control().GetClipCount(selectedTrack_, &before);
    control().DeleteClip(selectedTrack_, selectedClip_);
    control().GetClipCount(selectedTrack_, &after);
    if (after != before - 1) {
        report(tr("Deleting"), tr("there is no clip %1 on the %2 track")
                                   .arg(selectedClip_)
                                   .arg(TrackName(selectedTrack_)));
    }
    selectedTrack_ = -1;
    selectedClip_ = -1;
    refresh();
}

void MainWindow::clipClicked(int track, int clip) {
    selectedTrack_ = track;
    selectedClip_ = clip;
    OutString file;
    float start = 0;
    float stop = 0;
    float media = 0;
    float volume = 0;
    if (track == kVideo1Track || track == kVideo2Track) {
        control().GetVideoClip(track, clip, &file, &start, &stop, &media);
    } else if (track == kAudio1Track || track == kAudio2Track) {
        control().GetAudioClip(track, clip, &file, &start, &stop, &media, &volume);
    } else if (track == kImageTrack) {
        control().GetImageClip(track, clip, &file, &start, &stop);
    }
    if (file && !file->empty()) {
        mediaInfo_->showFile(QString::fromStdWString(*file));
    }
    statusBar()->showMessage(tr("Selected clip %1 of the %2 track").arg(clip).arg(TrackName(track)),
                             6000);
}

float MainWindow::trackEnd(int32_t track) {
    int32_t count = 0;
    control().GetClipCount(track, &count);
    float end = 0;
    for (int32_t clip = 0; clip < count; ++clip) {
        float start = 0;
        float stop = 0;
        float media = 0;
        float volume = 0;
        int32_t font = 0;
        int32_t x = 0;
        int32_t y = 0;
        uint32_t color = 0;
        int32_t mediaTrack = 0;
        int32_t reverse = 0;
        switch (track) {
            case kTransitionTrack:
                control().GetTransition(track, clip, nullptr, &start, &stop, nullptr, &mediaTrack,
                                        &reverse);
                break;
            case kEffectTrack:
                control().GetEffect(track, clip, nullptr, &start, &stop, nullptr);
                break;
            case kImageTrack:
                control().GetImageClip(track, clip, nullptr, &start, &stop);
                break;
            case kAudio1Track:
            case kAudio2Track:
                control().GetAudioClip(track, clip, nullptr, &start, &stop, &media, &volume);
                break;
            case kTextTrack:
                control().GetTextClip(track, clip, nullptr, &start, &stop, &font, &x, &y, &color);
                if (font != 0) {
                    FontTable::Delete(font);  // the read hands out a new handle
                }
                break;
            default:
                control().GetVideoClip(track, clip, nullptr, &start, &stop, &media);
                break;
        }
        end = std::max(end, stop);
    }
    return end;
}

float MainWindow::timelineLength() {
    float length = 0;
    for (int32_t track = 0; track < kTrackCount; ++track) {
        length = std::max(length, trackEnd(track));
    }
    return length;
}

void MainWindow::refresh() {
    const int32_t length = static_cast<int32_t>(timelineLength() * 1000);
    if (position_->maximum() != length) {
        position_->setRange(0, length);
    }
    time_->setText(QString("%1 / %2").arg(Seconds(positionMs_), Seconds(length)));
    float scale = 1;
    control().GetScale(&scale);
    zoomLabel_->setText(tr("Zoom %1%").arg(static_cast<int>(scale * 100)));
    const TimelineModel* model = timeline_->timelineControl().GetModel();
    video2_->setChecked(model->GetTrack(kVideo2Track)->IsVisible());
    audio2_->setChecked(model->GetTrack(kAudio2Track)->IsVisible());
}

void MainWindow::positionChanged(int milliseconds) {
    positionMs_ = std::max(0, milliseconds);
    if (!position_->isSliderDown()) {
        position_->setValue(positionMs_);
    }
    refresh();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != timeline_) {
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const int32_t track = trackAt(drop->pos().y());
        const float start = timeAt(drop->pos().x());
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (!url.isLocalFile()) {
                continue;
            }
            if (track < 0) {
                report(tr("Dropping %1").arg(url.fileName()),
                       tr("drop media on a track's row of the timeline"));
            } else {
                addMediaFile(url.toLocalFile(), track, start);
            }
        }
        drop->acceptProposedAction();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

int32_t MainWindow::trackAt(int y) {
    // The rows as the view lays them out now: scrolled, and collapsed when hidden.
    const TimelineView* view = timeline_->timelineControl().GetView();
    for (const IPanel::Child& child : view->GetTrackStack()->GetChildren()) {
        const auto* row = dynamic_cast<const ITrackView*>(child.view.get());
        if (row != nullptr && row->GetHeight() > 0 && y >= row->GetY() &&
            y < row->GetY() + row->GetHeight()) {
            return view->GetModel().IndexOfTrack(row->GetTrack());
        }
    }
    return -1;
}

void MainWindow::zoomToFit() {
    const TimelineView* view = timeline_->timelineControl().GetView();
    const int room = timeline_->width() - view->GetTimeAxis()->GetX() - kFitMargin;
    const float length = timelineLength();
    if (room > 0 && length > 0) {
        control().SetScale(
            std::clamp(room / (length * 1000 * kPixelsPerMillisecond), kLeastZoom, kMostZoom));
    }
    refresh();
}

std::optional<QPoint> MainWindow::rowPoint(int32_t track, float seconds) {
    const TimelineView* view = timeline_->timelineControl().GetView();
    float scale = 1;
    control().GetScale(&scale);
    for (const IPanel::Child& child : view->GetTrackStack()->GetChildren()) {
        const auto* row = dynamic_cast<const ITrackView*>(child.view.get());
        if (row != nullptr && row->GetHeight() > 0 &&
            view->GetModel().IndexOfTrack(row->GetTrack()) == track) {
            return QPoint(view->GetTimeAxis()->GetX() +
                              MillisecondsToPixels(static_cast<int32_t>(seconds * 1000), scale),
                          row->GetY() + row->GetHeight() / 2);
        }
    }
    return std::nullopt;
}

float MainWindow::timeAt(int x) {
    const TimelineView* view = timeline_->timelineControl().GetView();
    float scale = 1;
    control().GetScale(&scale);
    const int32_t ms = PixelsToMilliseconds(x - view->GetTimeAxis()->GetX(), scale);
    return std::max(0, ms) / 1000.0f;
}

void MainWindow::report(const QString& what, const QString& reason) {
    ++failures_;
    log_->add(QString("failed: %1: %2").arg(what, reason));
    if (reporting_ == Reporting::Lines) {
        std::cerr << "vortrel-demo: " << what.toStdString() << ": " << reason.toStdString() << "\n";
        return;
    }
    QMessageBox::warning(this, what, tr("%1: %2").arg(what, reason));
}

}  // namespace vortrel
