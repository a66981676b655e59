#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "TestSource.h"

namespace vortrel {

/// The tool's exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

/// How much the tool and its libraries say besides results and errors.
enum class Verbosity {
    Quiet,    // no progress
    Normal,   // progress; the libraries' errors only
    Verbose,  // progress as lines, and the libraries' warnings and notes
};

/// Lets MLT, FFmpeg and Qt print their warnings and notes only when verbose.
void QuietLibraries(Verbosity verbosity);

/// Runs a call script (a file, or standard input for "-") in a working folder: the given one
/// (made when missing) or, when empty, the current directory, so that relative names mean
/// what they mean to the caller and what the script saves stays. Returns the exit code.
int RunScriptCommand(const std::string& file, const std::string& workdir, std::ostream& out,
                     std::ostream& err);

/// Prints what the control's GetMediaInfo reports about a media file: one "name: value unit"
/// line each, or with `json` one JSON object of the same names and values. A missing file, or
/// one that is not media, is refused with one line on err.
int RunInfoCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err);

/// Prints the control's transitions, effects, compressors and output profiles by position,
/// then the output types and the output properties with their ranges.
int RunCatalogCommand(std::ostream& out, std::ostream& err);

/// The arguments of the testsrc command as given.
struct TestSourceArguments {
    std::string path;
    std::optional<double> seconds;  // required except for a picture
    std::string kind = "av";
    std::string size = "320x240";
    double fps = 25.0;
};

/// Writes a test file.
int RunTestSourceCommand(const TestSourceArguments& arguments, std::ostream& err);

/// The arguments of the render command as given.
struct RenderArguments {
    std::string project;
    std::string output;
    int32_t type = 0;
    std::vector<std::string> settings;  // PROPERTY=VALUE, put in order after OutputType
    double timeoutSeconds = 0.0;        // 0: wait as long as it takes
    bool allowMissing = false;          // render clips that lack their media as gaps
    std::string size;                   // the timeline's picture as WxH; empty: as it is
    double fps = 0.0;                   // the timeline's frame rate; 0: as it is
    Verbosity verbosity = Verbosity::Normal;
};

/// Loads a project into a fresh control, sets the output properties, saves the timeline to
/// a media file and runs the control's timers until the conversion completes, showing its
/// progress on out.
int RunRenderCommand(const RenderArguments& arguments, std::ostream& out, std::ostream& err);

/// The arguments of the play command as given.
struct PlayArguments {
    std::string project;
    double seconds = 0.0;  // 0: to the end
    Verbosity verbosity = Verbosity::Normal;
};

/// Loads a project into a fresh control and plays it, in a window of its own when there is a
/// display, printing the position once a second until the end or until the time is up.
int RunPlayCommand(const PlayArguments& arguments, std::ostream& out, std::ostream& err);

/// The arguments of the snapshot command as given.
struct SnapshotArguments {
    std::string project;
    std::string output;
    std::string size = "800x400";     // the window's client area, WxH
    std::optional<float> zoom;        // the time scale; none: 1, as a control starts
    std::optional<int32_t> position;  // the play head in milliseconds; none: where it is
};

/// Loads a project into a fresh control in a window of the given size, sets the zoom and
/// the play head, paints the window and writes what it shows as a PNG file (replacing it in
/// one step). Clips whose media is missing are named on err and drawn all the same.
int RunSnapshotCommand(const SnapshotArguments& arguments, std::ostream& err);

/// Loads a project into a fresh control and writes the MLT graph of its editing timeline
/// as MLT XML; a clip that lacks its media fails it unless allowMissing.
int RunExportMltCommand(const std::string& project, const std::string& output, bool allowMissing,
                        std::ostream& err);

}  // namespace vortrel
