// The snapshot command: a project's timeline as the control's window paints it, as a PNG.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>

#include "Commands.h"
#include "HostedControl.h"
#include "TestSource.h"
#include "TimerPump.h"
#include "WindowPicture.h"
#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "model/TimelineModel.h"
#include "ports/IControlWindow.h"

namespace vortrel {

namespace fs = std::filesystem;

namespace {

// The largest side of a snapshot: a window message carries sizes in 16 bits, and a picture
// this size already takes 256 MB.
constexpr int kMostSide = 8192;

// The host of a control that is only looked at: a window and a sink that ignore everything.
class SnapshotHost : public IControlWindow, public ITimelineControlEvents {
  public:
    void Invalidate() override {}
    void SetCursor(ControlCursor) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}

    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override {}
    void OnPlaying(int32_t) override {}
    void OnPlayingCompleted() override {}
    void OnConvertProgress(int32_t) override {}
    void OnConvertCompleted() override {}

    TimerPump& Timers() { return timers_; }

  private:
    TimerPump timers_;
};

}  // namespace

int RunSnapshotCommand(const SnapshotArguments& arguments, std::ostream& err) {
    int width = 0;
    int height = 0;
    try {
        ParseFrameSize(arguments.size, width, height);
    } catch (const TestSourceRequestError& error) {
        err << "vortrel: snapshot: --size: " << error.what() << "\n";
        return kExitUsage;
    }
    if (width < 1 || height < 1 || width > kMostSide || height > kMostSide) {
        err << "vortrel: snapshot: --size " << arguments.size << " is not from 1x1 to " << kMostSide
            << "x" << kMostSide << "\n";
        return kExitUsage;
    }
    const fs::path folder = fs::absolute(fs::path(arguments.output)).parent_path();
    if (std::error_code error; !fs::is_directory(folder, error)) {
        err << "vortrel: snapshot: cannot write " << arguments.output << ": there is no folder "
            << folder.string() << "\n";
        return kExitFailure;
    }

    SnapshotHost host;
    HostedControl hosted(host, host.Timers(), host);
    CTimelineControl& control = *hosted;
    control.OnSize(static_cast<int16_t>(width), static_cast<int16_t>(height));
    // A clip without its media is still drawn where it lies: the picture shows the timeline.
    if (!LoadProjectInto(control, arguments.project, err, "snapshot", MissingMedia::Allow)) {
        return kExitFailure;
    }
    if (arguments.zoom) {
        control.SetScale(*arguments.zoom);
    }
    if (arguments.position) {
        // As a preview's report of its position would: the play head moves there and the
        // view scrolls to it when it lies outside.
        control.GetModel()->GetPlaybackPosition()->Notify(*arguments.position);
    }

    const std::unique_ptr<IDrawSurface> window = PaintWindow(control, width, height);
    std::string reason = "there is no memory for a picture of " + arguments.size;
    if (!window || !WritePng(*window, ToPath(FromUtf8(arguments.output)), reason)) {
        err << "vortrel: snapshot: cannot write " << arguments.output << ": " << reason << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vortrel
