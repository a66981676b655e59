#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "ScriptRunner.h"
#include "ScriptSyntax.h"
#include "support/GeneratedMedia.h"

namespace vortrel::script {
namespace {

namespace fs = std::filesystem;

using Folder = testing::MediaFolder;  // a temporary folder, removed with what it holds

// A runner on a fresh control, whose scripts run in a folder of their own.
class ScriptRuns : public ::testing::Test {
  protected:
    // Runs a script; returns everything printed so far.
    std::string Run(const std::string& text) {
        const fs::path previous = fs::current_path();
        fs::current_path(folder.Path());
        try {
            runner.Run(ParseScript(text));
        } catch (...) {
            fs::current_path(previous);
            throw;
        }
        fs::current_path(previous);
        return out.str();
    }

    Folder folder;
    std::ostringstream out;
    ScriptRunner runner{out};
};

// An added directive runs in its place among the others and sees the host. The window's timers
// tick through the control, which repaints after each tick as a window does: the hover tip's
// wait over an empty row shows nothing but still repaints.
TEST_F(ScriptRuns, TimerTicksReachTheControlAndRepaint) {
    Directive repaints;
    repaints.run = [](const Statement&, ScriptSession& session) {
        session.Out() << "!repaints -> " << session.Host().Repaints() << "\n";
    };
    runner.AddDirective("!repaints", repaints);
    EXPECT_EQ(Run("!mouse move 400 100\n!repaints\n!wait 900\n!repaints\n!pixel 402 122\n"),
              "!mouse ->\n!repaints -> 0\n!wait ->\n!repaints -> 1\n!pixel -> #14141E\n");
}

TEST_F(ScriptRuns, AwaitRunsTheTimersUntilThePreviewReportsOrTheTimeIsUp) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string printed =
        Run("!await OnPlaying 0\n"
            "!testsrc clip.mkv 0.5 video 64x48\n"
            "AddVideoClip 1 \"clip.mkv\" 0 0.5 0\n"
            "Play\n"
            "!await OnPlaying 5000\n"
            "!await OnPlayingCompleted 5000\n"
            "get IsPlaying\n");
    // Play reports the start; ticks report the position (how far it got depends on the
    // machine's speed) until the one after the end completes and stops, which reports the
    // start twice more.
    const std::string start =
        "!await OnPlaying -> timeout\n"
        "!testsrc ->\n"
        "AddVideoClip -> 0\n"
        "event OnUpdate\nevent OnPlaying 0\n"
        "Play ->\n"
        "event OnUpdate\nevent OnPlaying ";
    const std::string end =
        "event OnUpdate\nevent OnPlayingCompleted\n"
        "event OnUpdate\nevent OnPlaying 0\n"
        "event OnUpdate\nevent OnPlaying 0\n"
        "!await OnPlayingCompleted -> ok\n"
        "get IsPlaying -> 0\n";
    ASSERT_GT(printed.size(), start.size() + end.size()) << printed;
    EXPECT_EQ(printed.substr(0, start.size()), start) << printed;
    EXPECT_EQ(printed.substr(printed.size() - end.size()), end) << printed;
    const std::string ticks =
        printed.substr(start.size(), printed.size() - start.size() - end.size());
    EXPECT_NE(ticks.find("\n!await OnPlaying -> ok\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("OnPlaying 466\n"), std::string::npos) << printed;  // the last frame
}

using ScriptCommand = ScriptRuns;

TEST_F(ScriptCommand, RelativeNamesResolveInTheWorkingFolder) {
    const fs::path script = folder.Path() / "make.vts";
    std::ofstream(script)
        << "!testsrc tone.wav 0.5 audio\nAddAudioClip 5 \"tone.wav\" 0 0.25 0 1\n";
    const fs::path previous = fs::current_path();

    std::ostringstream err;
    const fs::path chosen = folder.Path() / "made" / "here";
    EXPECT_EQ(RunScriptCommand(script.string(), chosen.string(), out, err), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "!testsrc ->\nAddAudioClip -> 0\n");
    EXPECT_TRUE(fs::exists(chosen / "tone.wav"));  // a chosen folder is kept
    EXPECT_EQ(fs::current_path(), previous);

    // Without a chosen folder the script works in the current one, and what it makes stays.
    const fs::path current = folder.Path() / "current";
    fs::create_directories(current);
    fs::current_path(current);
    std::ostringstream hereOut;
    const int code = RunScriptCommand(script.string(), "", hereOut, err);
    fs::current_path(previous);
    EXPECT_EQ(code, kExitOk) << err.str();
    EXPECT_EQ(hereOut.str(), out.str());
    EXPECT_TRUE(fs::exists(current / "tone.wav"));
}

}  // namespace
}  // namespace vortrel::script
