// The render and export-mlt commands: a project converted to a media file through the
// control, as a host program would do it, or its MLT graph written out.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "ConverterWatch.h"
#include "HostedControl.h"
#include "OutputGuide.h"
#include "ScriptValue.h"
#include "TestSource.h"
#include "TimerPump.h"
#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "control/ControlMembers.h"
#include "editing/DesTimeline.h"
#include "model/TimelineModel.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltGraphBuilder.h"
#include "ports/IControlWindow.h"

namespace vortrel {

namespace fs = std::filesystem;

namespace {

// Results of Save.
constexpr int32_t kSaveStarted = 1;
constexpr int32_t kSaveEmptyName = -1;
constexpr int32_t kSaveBadType = -3;

constexpr int kProgressBarWidth = 40;

// The timeline's picture as a control starts with it, and its largest side.
constexpr int kTimelineWidth = 320;
constexpr int kTimelineHeight = 240;
constexpr int kMostSide = 8192;

// How a render shows its progress.
enum class ProgressStyle {
    Bar,    // one line redrawn in place, on a terminal
    Lines,  // "NN%" lines, for a file or a pipe, or beside what the libraries print
    None,
};

// The host of a control that renders: a window that draws nothing, the timers, and the
// event sink that shows the progress.
class RenderHost : public IControlWindow, public ITimelineControlEvents {
  public:
    RenderHost(std::ostream& out, ProgressStyle style) : out_(out), style_(style) {}

    void Invalidate() override {}
    void SetCursor(ControlCursor) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}

    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override {}
    void OnPlaying(int32_t) override {}
    void OnPlayingCompleted() override {}
    void OnConvertProgress(int32_t progress) override {
        if (progress == kConversionFailed) {
            failed_ = true;
            return;
        }
        Show(progress);
    }
    void OnConvertCompleted() override {
        completed_ = true;
        if (!failed_) {
            Show(100);
        }
        EndLine();
    }

    TimerPump& Timers() { return timers_; }
    bool Completed() const { return completed_; }
    /// Whether the conversion ended without its file.
    bool Failed() const { return failed_; }
    /// Ends a progress bar, so that what follows starts on a line of its own.
    void EndLine() {
        if (style_ == ProgressStyle::Bar && shown_ >= 0) {
            out_ << "\n";
            out_.flush();
            shown_ = -1;
        }
    }

  private:
    void Show(int32_t progress) {
        if (progress == shown_ || style_ == ProgressStyle::None) {
            return;
        }
        shown_ = progress;
        if (style_ == ProgressStyle::Lines) {
            out_ << progress << "%\n";
            out_.flush();
            return;
        }
        const int filled = std::clamp(progress, 0, 100) * kProgressBarWidth / 100;
        out_ << "\r[" << std::string(filled, '#') << std::string(kProgressBarWidth - filled, ' ')
             << "] " << progress << "%";
        out_.flush();
    }

    std::ostream& out_;
    ProgressStyle style_;
    TimerPump timers_;
    bool completed_ = false;
    bool failed_ = false;
    int32_t shown_ = -1;
};

// Puts one property, given as text, through the control's member table; false (with the
// reason) when no such property can be written or the value does not fit it.
bool PutProperty(CTimelineControl& control, const std::string& name, const std::string& text,
                 std::string& reason) {
    const ControlMember* member = FindControlMember(name, MemberKind::PropertyPut);
    if (member == nullptr || member->ins.size() != 1) {
        reason = "no property " + name + " to set";
        return false;
    }
    try {
        const std::vector<script::Token> tokens = script::Tokenize(text);
        if (tokens.size() != 1) {
            reason = name + " takes one value, got '" + text + "'";
            return false;
        }
        std::vector<ControlValue> outs;
        member->invoke(control, {script::ToControlValue(tokens.front(), member->ins.front())},
                       outs);
    } catch (const script::ValueError& error) {
        reason = name + ": " + error.what();
        return false;
    }
    return true;
}

}  // namespace

int RunRenderCommand(const RenderArguments& arguments, std::ostream& out, std::ostream& err) {
    ConverterWatch watch;  // first: the control makes its converter when it is made
    // Beside the libraries' own lines (verbose) a bar redrawn in place would be broken up.
    const ProgressStyle style =
        arguments.verbosity == Verbosity::Quiet ? ProgressStyle::None
        : arguments.verbosity == Verbosity::Normal && isatty(STDOUT_FILENO) != 0
            ? ProgressStyle::Bar
            : ProgressStyle::Lines;
    RenderHost host(out, style);
    HostedControl hosted(host, host.Timers(), host);
    CTimelineControl& control = *hosted;
    if (!LoadProjectInto(control, arguments.project, err, "render",
                         arguments.allowMissing ? MissingMedia::Allow : MissingMedia::Refuse)) {
        return kExitFailure;
    }

    if (!arguments.size.empty() || arguments.fps > 0) {
        int width = kTimelineWidth;
        int height = kTimelineHeight;
        if (!arguments.size.empty()) {
            try {
                ParseFrameSize(arguments.size, width, height);
            } catch (const TestSourceRequestError& error) {
                err << "vortrel: render: --size: " << error.what() << "\n";
                return kExitUsage;
            }
            if (width < 1 || height < 1 || width > kMostSide || height > kMostSide) {
                err << "vortrel: render: --size " << arguments.size << " is not from 1x1 to "
                    << kMostSide << "x" << kMostSide << "\n";
                return kExitUsage;
            }
        }
        // A frame rate takes effect with the next picture size given to the timeline.
        if (arguments.fps > 0) {
            control.SetVideoTrackFrameRate(static_cast<float>(arguments.fps));
        }
        control.SetVideoTrackResolution(width, height);
    }

    std::vector<std::pair<std::string, std::string>> settings = {
        {"OutputType", std::to_string(arguments.type)}};
    for (const std::string& setting : arguments.settings) {
        const size_t equals = setting.find('=');
        if (equals == std::string::npos || equals == 0) {
            err << "vortrel: render: --set takes PROPERTY=VALUE, got '" << setting << "'\n";
            return kExitUsage;
        }
        settings.emplace_back(setting.substr(0, equals), setting.substr(equals + 1));
    }
    for (const auto& [name, value] : settings) {
        std::string reason;
        if (!PutProperty(control, name, value, reason)) {
            err << "vortrel: render: " << reason << "\n";
            return kExitUsage;
        }
    }

    const fs::path folder = fs::absolute(fs::path(arguments.output)).parent_path();
    if (std::error_code error; !fs::is_directory(folder, error)) {
        err << "vortrel: render: cannot write " << arguments.output << ": there is no folder "
            << folder.string() << "\n";
        return kExitFailure;
    }
    if (const std::string warning = ExtensionWarning(arguments.type, arguments.output);
        !warning.empty()) {
        err << "vortrel: render: warning: " << warning << "\n";
    }

    InterruptWatch interrupt;  // from the start on, a signal stops the render cleanly
    int32_t result = 0;
    control.Save(FromUtf8(arguments.output).c_str(), &result);
    if (result != kSaveStarted) {
        const std::string reason = watch.LastError();
        err << "vortrel: render: "
            << (result == kSaveEmptyName ? "the output file name is empty"
                : result == kSaveBadType
                    ? "the output type " + std::to_string(arguments.type) + " is not from 0 to 12"
                : !reason.empty() ? "cannot write " + arguments.output + ": " + reason
                                  : "the conversion did not start")
            << "\n";
        return result == kSaveBadType ? kExitUsage : kExitFailure;
    }

    // The conversion runs on threads of its own; the control's timer reports on it.
    const auto limit =
        arguments.timeoutSeconds > 0
            ? std::chrono::milliseconds(static_cast<int64_t>(arguments.timeoutSeconds * 1000.0))
            : std::chrono::milliseconds(std::chrono::hours(24 * 365));
    const int32_t convertTimer = control.GetModel()->GetConvertTimerId();
    host.Timers().Pump(limit, [&] {
        // The control tells of the end at its next tick, up to a second later; a host that
        // knows the conversion has ended lets that tick come now.
        if (!host.Completed() && watch.Ended()) {
            host.Timers().FireNow(convertTimer);
        }
        return host.Completed() || interrupt.Interrupted();
    });
    if (host.Completed() && host.Failed()) {
        const std::string reason = watch.LastError();
        err << "vortrel: render: writing " << arguments.output << " failed ("
            << (reason.empty() ? "the disk may be full" : reason) << "); nothing was kept\n";
        return kExitFailure;
    }
    if (host.Completed()) {
        return kExitOk;
    }
    control.StopConversion();  // removes what was written so far
    host.EndLine();
    if (interrupt.Interrupted()) {
        err << "vortrel: render: stopped by " << interrupt.SignalName() << "; " << arguments.output
            << " was not written\n";
        return interrupt.ExitCode();
    }
    err << "vortrel: render: timed out after "
        << script::FormatFloat(static_cast<float>(arguments.timeoutSeconds)) << " s\n";
    return kExitFailure;
}

int RunExportMltCommand(const std::string& project, const std::string& output, bool allowMissing,
                        std::ostream& err) {
    RenderHost host(err, ProgressStyle::None);
    HostedControl hosted(host, host.Timers(), host);
    if (!LoadProjectInto(*hosted, project, err, "export-mlt",
                         allowMissing ? MissingMedia::Allow : MissingMedia::Refuse)) {
        return kExitFailure;
    }
    const MltCatalog& catalog = *InstallLinuxPlatform().catalog;
    const TimelineModel* model = hosted->GetModel();
    if (model == nullptr ||
        !MltGraphBuilder(catalog).ExportXml(model->GetDesTimeline()->GetTimeline(), output)) {
        err << "vortrel: export-mlt: cannot write " << output << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vortrel
