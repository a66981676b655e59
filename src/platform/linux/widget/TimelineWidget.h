#pragma once

#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>

#include "control/ITimelineControl.h"

class QImage;

namespace vortrel {

class CTimelineControl;

// A Qt widget that hosts one timeline control on the Linux back ends: it paints the control
// without erasing, hands it the left button, the pointer's moves, its size and its timers,
// and tells the control's six host events as Qt signals, in the order the control fires them.
class TimelineWidget : public QWidget {
    Q_OBJECT

  public:
    /// A widget with a control made and initialised on the Linux platform (installed on
    /// first use); a QApplication must exist.
    explicit TimelineWidget(QWidget* parent = nullptr);
    ~TimelineWidget() override;

    /// The control's members, as a host calls them.
    ITimelineControl& control();
    /// The control itself, for the window half and the model.
    CTimelineControl& timelineControl();
    /// Shows the preview's video inside a native child window of the host (SetPreviewWnd
    /// with its window id).
    void setPreviewWindow(QWidget& previewWindow);

  signals:
    /// The user pressed on a clip: its track and its position in the track.
    void clipClicked(int track, int clip);
    /// Something changed; comes first, before every other signal.
    void updated();
    /// The preview played on to a position, in milliseconds.
    void playing(int ms);
    /// The preview reached the end.
    void playingCompleted();
    /// A conversion got on, in percent.
    void convertProgress(int progress);
    /// A conversion ended.
    void convertCompleted();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    class Host;
    class Sink;

    std::unique_ptr<Host> host_;
    std::unique_ptr<Sink> sink_;
    // Last: it goes first, while its window and sink are still there.
    std::unique_ptr<CTimelineControl> control_;
    // The picture as last painted, of the widget's size.
    std::unique_ptr<QImage> backing_;
    std::map<int, int32_t> controlTimers_;  // Qt timer id → control timer id
};

}  // namespace vortrel
