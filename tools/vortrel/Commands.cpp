#include "Commands.h"

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "OutputGuide.h"
#include "ScriptRunner.h"
#include "ScriptSyntax.h"
#include "ScriptValue.h"
#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/MltRuntime.h"

namespace vortrel {

namespace fs = std::filesystem;

namespace {

// Makes a chosen folder (made when missing) the current directory for as long as it lives,
// then goes back; without a choice the current directory stays.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::string& chosen) : previous_(fs::current_path()) {
        if (!chosen.empty()) {
            fs::create_directories(chosen);
            fs::current_path(chosen);
        }
    }

    ~WorkingFolder() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
    }

    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

  private:
    fs::path previous_;
};

bool ReadScript(const std::string& file, std::string& text) {
    if (file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int Report(const script::ScriptError& error, std::ostream& out, std::ostream& err) {
    out.flush();
    err << "error: " << error.Line() << ": " << error.what() << "\n";
    return error.GetKind() == script::ScriptError::Kind::Script ? kExitUsage : kExitFailure;
}

// Keeps Qt's notes (a missing runtime folder, fonts) off standard error; its critical
// messages still show.
void DropQtNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << "\n";
    }
}

}  // namespace

void QuietLibraries(Verbosity verbosity) {
    const bool verbose = verbosity == Verbosity::Verbose;
    if (!verbose) {
        qInstallMessageHandler(DropQtNotes);
    }
    MltRuntime::SetVerbose(verbose);
}

int RunScriptCommand(const std::string& file, const std::string& workdir, std::ostream& out,
                     std::ostream& err) {
    std::string text;
    if (!ReadScript(file, text)) {
        err << "vortrel: cannot read the script " << file << "\n";
        return kExitFailure;
    }
    script::ScriptRunner runner(out);
    try {
        const std::vector<script::Statement> statements = script::ParseScript(text);
        runner.Check(statements);  // before the working folder is made
        WorkingFolder folder(workdir);
        runner.Run(statements);
    } catch (const script::ScriptError& error) {
        return Report(error, out, err);
    }
    return kExitOk;
}

int RunCatalogCommand(std::ostream& out, std::ostream& /*err*/) {
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    using Lister = HResult (ITimelineControl::*)(int32_t, OutString*);
    struct List {
        const char* label;
        Lister lister;
    };
    const List lists[] = {
        {"transition", &ITimelineControl::GetDESTransition},
        {"effect", &ITimelineControl::GetDESEffect},
        {"video compressor", &ITimelineControl::GetVideoEncoder},
        {"audio compressor", &ITimelineControl::GetAudioEncoder},
        {"wmv profile", &ITimelineControl::GetWMVProfile},
    };
    // Every list ends at its first empty name; the bound only guards against a list that
    // never ends.
    constexpr int32_t kMostEntries = 100000;
    for (const List& list : lists) {
        for (int32_t index = 0; index < kMostEntries; ++index) {
            OutString name;
            ((*control).*list.lister)(index, &name);
            if (!name || name->empty()) {
                break;
            }
            out << list.label << " " << index << ": " << ToUtf8(*name) << "\n";
        }
    }
    PrintOutputGuide(out);
    return kExitOk;
}

int RunTestSourceCommand(const TestSourceArguments& arguments, std::ostream& err) {
    TestSourceSpec spec;
    try {
        spec.kind = ParseTestSourceKind(arguments.kind);
        ParseFrameSize(arguments.size, spec.width, spec.height);
        spec.fps = arguments.fps;
        if (arguments.seconds) {
            spec.seconds = *arguments.seconds;
        } else if (spec.kind != TestSourceKind::Image) {
            throw TestSourceRequestError("--seconds is required");
        }
        CheckTestSource(arguments.path, spec);
    } catch (const TestSourceRequestError& error) {
        err << "vortrel: testsrc: " << error.what() << "\n";
        return kExitUsage;
    }
    try {
        WriteTestSource(arguments.path, spec);
    } catch (const TestSourceWriteError& error) {
        err << "vortrel: testsrc: " << error.what() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vortrel
