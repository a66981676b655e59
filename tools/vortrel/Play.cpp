// The play command: a project previewed through the control, as a host program would do it,
// in a window of its own when there is a display.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "Commands.h"
#include "HostedControl.h"
#include "TimerPump.h"
#include "platform/linux/LinuxPlatform.h"
#include "ports/IControlWindow.h"

namespace vortrel {

namespace {

constexpr int kAreaWidth = 480;
constexpr int kAreaHeight = 360;
constexpr int kMargin = 8;

// The host of a control that previews: a control window that draws nothing, the timers, and
// the event sink that prints each position and the completion.
class PlayHost : public IControlWindow, public ITimelineControlEvents {
  public:
    explicit PlayHost(std::ostream& out) : out_(out) {}

    void Invalidate() override {}
    void SetCursor(ControlCursor) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}

    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override {}
    void OnPlaying(int32_t position) override {
        if (quiet_) {
            return;  // the stop after the end or the time asked for reports the start again
        }
        char text[32];
        std::snprintf(text, sizeof text, "%d.%03d s", position / 1000, std::abs(position % 1000));
        out_ << "position " << text << "\n";
        out_.flush();
    }
    void OnPlayingCompleted() override {
        completed_ = true;
        quiet_ = true;
        out_ << "completed\n";
        out_.flush();
    }
    void OnConvertProgress(int32_t) override {}
    void OnConvertCompleted() override {}

    TimerPump& Timers() { return timers_; }
    bool Completed() const { return completed_; }
    /// Prints no more positions.
    void Quiet() { quiet_ = true; }

  private:
    std::ostream& out_;
    TimerPump timers_;
    bool completed_ = false;
    bool quiet_ = false;
};

// The window of its own the preview plays in: a dark frame around the area that the
// control is handed as its preview window.
class PreviewFrame : public QRasterWindow {
  public:
    explicit PreviewFrame(const std::string& title) {
        setTitle(QString::fromStdString(title));
        resize(kAreaWidth + 2 * kMargin, kAreaHeight + 2 * kMargin);
        area_.setParent(this);
        area_.setGeometry(kMargin, kMargin, kAreaWidth, kAreaHeight);
    }
    /// The native id of the area.
    WId Area() { return area_.winId(); }
    void ShowAll() {
        show();
        area_.show();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(0, 0), size()), QColor(32, 32, 32));
    }

  private:
    QWindow area_;
};

}  // namespace

int RunPlayCommand(const PlayArguments& arguments, std::ostream& out, std::ostream& err) {
    PlayHost host(out);
    if (arguments.verbosity == Verbosity::Quiet) {
        host.Quiet();
    }
    HostedControl hosted(host, host.Timers(), host);
    CTimelineControl& control = *hosted;
    if (!LoadProjectInto(control, arguments.project, err, "play", MissingMedia::Allow)) {
        return kExitFailure;
    }

    // Qt runs on the display when there is one, off-screen otherwise.
    std::unique_ptr<PreviewFrame> frame;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        frame = std::make_unique<PreviewFrame>("vortrel play " + arguments.project);
        frame->ShowAll();
        QGuiApplication::processEvents();
        control.SetPreviewWnd(static_cast<int32_t>(frame->Area()));
    }

    InterruptWatch interrupt;
    control.Play();
    VariantBool playing = 0;
    control.get_IsPlaying(&playing);
    if (playing == 0) {
        err << "vortrel: play: the timeline cannot be played\n";
        return kExitFailure;
    }
    const auto limit =
        arguments.seconds > 0
            ? std::chrono::milliseconds(static_cast<int64_t>(arguments.seconds * 1000.0))
            : std::chrono::milliseconds(std::chrono::hours(24 * 365));
    bool closed = false;
    host.Timers().Pump(limit, [&] {
        closed = frame && !frame->isVisible();
        return host.Completed() || interrupt.Interrupted() || closed;
    });
    if (host.Completed()) {
        return kExitOk;
    }
    host.Quiet();
    control.Stop();
    if (interrupt.Interrupted()) {
        err << "vortrel: play: stopped by " << interrupt.SignalName() << "\n";
        return interrupt.ExitCode();
    }
    return kExitOk;  // the time asked for is up, or the window was closed
}

}  // namespace vortrel
