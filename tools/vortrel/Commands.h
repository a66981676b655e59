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

/// Runs a call script (a file, or standard input for "-") with the working folder as the
/// current directory: the given one (made when missing, kept afterwards) or, when empty, a
/// fresh temporary one that is removed afterwards. Returns the exit code.
int RunScriptCommand(const std::string& file, const std::string& workdir, std::ostream& out,
                     std::ostream& err);

/// Prints what the control's GetMediaInfo reports about a file, one "name: value" line each.
int RunInfoCommand(const std::string& file, std::ostream& out, std::ostream& err);

/// Prints the control's transitions, effects, compressors and output profiles by position.
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
};

/// Loads a project into a fresh control, sets the output properties, saves the timeline to
/// a media file and runs the control's timers until the conversion completes, showing its
/// progress on out.
int RunRenderCommand(const RenderArguments& arguments, std::ostream& out, std::ostream& err);

/// Loads a project into a fresh control and writes the MLT graph of its editing timeline
/// as MLT XML.
int RunExportMltCommand(const std::string& project, const std::string& output, std::ostream& err);

}  // namespace vortrel
