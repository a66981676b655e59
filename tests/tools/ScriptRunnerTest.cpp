#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
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

// The line and message of the fault that checking a script raises, or "none".
std::string CheckFault(const std::string& text) {
    std::ostringstream out;
    ScriptRunner runner(out);
    try {
        runner.Check(ParseScript(text));
    } catch (const ScriptError& error) {
        EXPECT_TRUE(out.str().empty());
        return std::to_string(error.Line()) + ": " + error.what();
    }
    return "none";
}

TEST(ScriptChecks, FaultsAreFoundBeforeAnythingRuns) {
    EXPECT_EQ(CheckFault("Clear\nAddVideoClp 1 \"a\" 0 1 0"), "2: unknown member 'AddVideoClp'");
    EXPECT_EQ(CheckFault("get Nothing"), "1: unknown property 'Nothing'");
    EXPECT_EQ(CheckFault("put IsPause 1"), "1: property 'IsPause' cannot be written");
    EXPECT_EQ(CheckFault("get AddVideoClip"), "1: unknown property 'AddVideoClip'");
    EXPECT_EQ(CheckFault("GetScale 1"), "1: GetScale takes 0 arguments, got 1");
    EXPECT_EQ(CheckFault("put MPEGWidth"), "1: put MPEGWidth takes 1 argument, got 0");
    EXPECT_EQ(CheckFault("GetClipCount \"1\""),
              "1: argument 1 of GetClipCount: expected an integer, got '1'");
    EXPECT_EQ(CheckFault("GetClipCount $n"),
              "1: argument 1 of GetClipCount: $n is not captured before");
    EXPECT_EQ(CheckFault("GetScale => $s\nGetClipCount $s"),
              "2: argument 1 of GetClipCount: $s holds a float, not an integer");
    EXPECT_EQ(CheckFault("Clear => $c"), "1: Clear has no output to capture");
    EXPECT_EQ(CheckFault("!nothing 1"), "1: unknown directive '!nothing'");
    EXPECT_EQ(CheckFault("!testsrc a.mkv 1"), "1: usage: !testsrc PATH SECONDS KIND [WxH]");
    EXPECT_EQ(CheckFault("!testsrc a.mkv one video"), "1: expected a length in seconds, got 'one'");
    EXPECT_EQ(CheckFault("!testsrc a.mkv 1 video 2x"), "1: a frame size is written WxH, not '2x'");
    EXPECT_EQ(CheckFault("!font f \"Sans\" 10 400"), "1: !font names its capture first, as $name");
    EXPECT_EQ(CheckFault("!font $f Sans 10 400"), "1: !font takes the face name in quotes");
    EXPECT_EQ(CheckFault("!font $f \"Sans\" 10 400\nAddTextClip 7 \"t\" 0 1 $f 0 0 0\n"
                         "GetScale => $s\nGetTextClip $f $s"),
              "4: argument 2 of GetTextClip: $s holds a float, not an integer");
    // Captures are known from their line on, whatever the member returns.
    EXPECT_EQ(CheckFault("GetClipCount 1 => $n\nGetScale => $s\nSetScale $n\nSetScale $s"), "none");
}

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

TEST_F(ScriptRuns, AddedDirectivesRunInOrderAndSeeTheHost) {
    Directive repaints;
    repaints.minArgs = 0;
    repaints.maxArgs = 0;
    repaints.usage = "!repaints";
    repaints.run = [](const Statement&, ScriptSession& session) {
        session.Out() << "!repaints -> " << (session.Host().Repaints() > 0 ? "some" : "none")
                      << "\n";
    };
    runner.AddDirective("!repaints", repaints);
    EXPECT_EQ(Run("!repaints\nSetScale 2\n!repaints\nGetScale\n"),
              "!repaints -> none\nSetScale ->\n!repaints -> some\nGetScale -> 2\n");
}

TEST_F(ScriptRuns, AFailureWhileRunningStopsAtItsLine) {
    try {
        Run("GetTrackCount\n!testsrc no/such/folder/a.wav 1 audio\nGetTrackCount\n");
        ADD_FAILURE() << "the script ran through";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.Line(), 2);
        EXPECT_EQ(error.GetKind(), ScriptError::Kind::Failure);
    }
    EXPECT_EQ(out.str(), "GetTrackCount -> 8\n");
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

    std::ostringstream freshOut;
    EXPECT_EQ(RunScriptCommand(script.string(), "", freshOut, err), kExitOk) << err.str();
    EXPECT_EQ(freshOut.str(), out.str());
    EXPECT_EQ(fs::current_path(), previous);
    EXPECT_FALSE(fs::exists(previous / "tone.wav"));
}

TEST_F(ScriptCommand, FaultsGiveOneLineAndTheirExitCode) {
    const fs::path bad = folder.Path() / "bad.vts";
    std::ofstream(bad) << "GetTrackCount\n\nGetTrackCount 1\n";
    std::ostringstream err;
    EXPECT_EQ(RunScriptCommand(bad.string(), "", out, err), kExitUsage);
    EXPECT_EQ(err.str(), "error: 3: GetTrackCount takes 0 arguments, got 1\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(fs::exists(folder.Path() / "made"));

    std::ostringstream missingErr;
    EXPECT_EQ(RunScriptCommand((folder.Path() / "none.vts").string(), "", out, missingErr),
              kExitFailure);
    const std::string message = missingErr.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

}  // namespace
}  // namespace vortrel::script
