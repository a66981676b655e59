#pragma once

#include <QDir>
#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>

#include "RenderDialog.h"

class QAction;
class QLabel;
class QSlider;
class QTimer;

namespace vortrel {

class ConverterWatch;
class EventLog;
class ITimelineControl;
class MediaInfoPanel;
class PreviewArea;
class TimelineWidget;

// The demo's main window, an editing program around the timeline widget: the preview above
// the timeline with the transport controls, the media information and the event log beside
// them, menus and a tool bar for opening media, titles, transitions, effects, zoom, playback,
// projects and rendering. Media files dropped on a row of the timeline go onto that row's
// track. Every failing member result is told to the user: in a message box, or as a line on
// standard error when the window runs without anyone watching (the tour).
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    /// How failures reach the user.
    enum class Reporting { Dialogs, Lines };

    /// A window whose renders report their reasons through the watch (none: no reasons).
    MainWindow(ConverterWatch* watch, Reporting reporting, QWidget* parent = nullptr);
    ~MainWindow() override;

    TimelineWidget& timeline() { return *timeline_; }
    ITimelineControl& control();
    EventLog& eventLog() { return *log_; }
    MediaInfoPanel& mediaInfo() { return *mediaInfo_; }
    /// How many failures were reported so far.
    int failures() const { return failures_; }

    /// Makes the demo's media in a folder and puts the demo timeline on a cleared control.
    bool buildDemo(const QString& folder);
    /// Loads a project; its clips' relative media names are taken from the project's folder.
    bool loadProject(const QString& path);
    /// Saves the timeline as a project.
    bool saveProject(const QString& path);
    /// Adds a media file: to a track (-1: by the file's kind) at a time (below 0: after the
    /// track's last content).
    bool addMediaFile(const QString& path, int32_t track = -1, float start = -1);
    /// Starts a render; false (reported) when it did not start.
    bool startRender(const RenderDialog::Settings& settings);
    /// Stops the running render; its file is not kept.
    void stopRender();
    bool isRendering() const { return rendering_; }
    /// Moves the preview to a time, starting it paused when it is idle.
    void seekTo(int32_t milliseconds);
    /// The end of the timeline's last content, in seconds.
    float timelineLength();
    /// Zooms the timeline so that all of it fits the widget's width.
    void zoomToFit();
    /// The middle of a track's row at a time, in the timeline widget's coordinates, as the
    /// views lay them out now; none when the row is hidden.
    std::optional<QPoint> rowPoint(int32_t track, float seconds);

  signals:
    /// A render ended: written or not, with a line saying so.
    void renderFinished(bool written, const QString& message);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void makeActions();
    void makeDocks();
    void openMedia();
    void openProject();
    void saveProjectAs();
    void showRenderDialog();
    void addTextClip();
    void addTransition();
    void addEffect();
    void deleteSelected();
    void zoom(float factor);
    void play();
    void pause();
    void stop();
    void goTo();
    void clipClicked(int track, int clip);
    void refresh();
    void positionChanged(int milliseconds);
    void conversionEnded();
    void report(const QString& what, const QString& reason);
    int32_t trackAt(int y);
    float timeAt(int x);
    float trackEnd(int32_t track);

    ConverterWatch* watch_;
    Reporting reporting_;
    int failures_ = 0;
    TimelineWidget* timeline_ = nullptr;
    PreviewArea* preview_ = nullptr;
    MediaInfoPanel* mediaInfo_ = nullptr;
    EventLog* log_ = nullptr;
    QSlider* position_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QAction* video2_ = nullptr;
    QAction* audio2_ = nullptr;
    QTimer* conversionWatch_ = nullptr;
    RenderDialog* renderDialog_ = nullptr;
    QString projectPath_;
    QString workFolder_ = QDir::currentPath();  // where projects and renders go first
    QString renderFile_;
    int32_t selectedTrack_ = -1;
    int32_t selectedClip_ = -1;
    int32_t positionMs_ = 0;
    bool rendering_ = false;
    bool renderFailed_ = false;
};

}  // namespace vortrel
