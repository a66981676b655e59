// vortrel: the command-line face of the timeline control.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "NameSuggestions.h"
#include "OutputGuide.h"
#include "SelfCheck.h"

int main(int argc, char** argv) {
    CLI::App app("vortrel: the command-line face of the timeline control", "vortrel");
    app.set_version_flag("--version", std::string("vortrel ") + VORTREL_VERSION);
    app.require_subcommand(1);
    app.fallthrough();  // the global flags may also follow the command
    bool verbose = false;
    bool quiet = false;
    CLI::Option* verboseFlag =
        app.add_flag("--verbose", verbose, "let MLT, FFmpeg and Qt print their warnings and notes");
    app.add_flag("--quiet", quiet, "print no progress (errors still show)")->excludes(verboseFlag);

    app.add_subcommand("selfcheck", "build a timeline skeleton in memory, print it and check it");

    std::string scriptFile;
    std::string workdir;
    CLI::App* script = app.add_subcommand("script", "run a call script against a fresh control");
    script->add_option("file", scriptFile, "the script, or - for standard input")->required();
    script->add_option("--workdir", workdir,
                       "working folder for relative file names, made when missing (default: "
                       "the current directory)");

    std::string infoFile;
    CLI::App* info = app.add_subcommand("info", "print what the control reports about a file");
    info->add_option("file", infoFile, "a media file")->required();
    bool infoJson = false;
    info->add_flag("--json", infoJson, "print one JSON object, without units");

    app.add_subcommand("catalog", "list the transitions, effects, compressors and profiles");

    vortrel::TestSourceArguments source;
    double seconds = 0.0;
    CLI::App* testsrc = app.add_subcommand("testsrc", "write a test media file");
    testsrc->add_option("path", source.path, "the file; .mp4, .mkv, .avi, .wav or .png")
        ->required();
    CLI::Option* secondsOption =
        testsrc->add_option("--seconds", seconds, "length in seconds (not for a picture)");
    testsrc->add_option("--kind", source.kind, "video, audio, av or image")->capture_default_str();
    testsrc->add_option("--size", source.size, "picture size WxH")->capture_default_str();
    testsrc->add_option("--fps", source.fps, "frames per second")->capture_default_str();

    vortrel::RenderArguments render;
    CLI::App* renderCommand =
        app.add_subcommand("render", "convert a project's timeline to a media file");
    renderCommand->add_option("project", render.project, "the project file")->required();
    renderCommand->add_option("output", render.output, "the media file to write")->required();
    renderCommand->add_option("--type", render.type, "OutputType, 0 to 12")->required();
    renderCommand
        ->add_option("--set", render.settings, "an output property as PROPERTY=VALUE (repeatable)")
        ->allow_extra_args(false);
    renderCommand->add_option("--timeout", render.timeoutSeconds,
                              "give up after this many seconds (default: no limit)");
    renderCommand->add_option("--size", render.size,
                              "the timeline's picture WxH, 1 to 8192 a side (default 320x240); "
                              "AVI is written at it");
    renderCommand
        ->add_option("--fps", render.fps,
                     "the timeline's frame rate, 1 to 240 (default 15); AVI is written at it")
        ->check(CLI::Range(1.0, 240.0));
    renderCommand->add_flag("--allow-missing", render.allowMissing,
                            "render clips whose media is missing or unreadable as gaps");

    std::ostringstream guide;
    vortrel::PrintOutputGuide(guide);
    renderCommand->footer(guide.str());

    vortrel::PlayArguments play;
    CLI::App* playCommand =
        app.add_subcommand("play", "preview a project, in a window of its own on a display");
    playCommand->add_option("project", play.project, "the project file")->required();
    playCommand
        ->add_option("--seconds", play.seconds, "stop after this many seconds (default: the end)")
        ->check(CLI::NonNegativeNumber);

    std::string exportProject;
    std::string exportOutput;
    CLI::App* exportMlt =
        app.add_subcommand("export-mlt", "write the MLT graph of a project's timeline");
    exportMlt->add_option("project", exportProject, "the project file")->required();
    exportMlt->add_option("output", exportOutput, "the MLT XML file to write")->required();
    bool exportAllowMissing = false;
    exportMlt->add_flag("--allow-missing", exportAllowMissing,
                        "write the graph without the clips whose media is missing or unreadable");

    vortrel::SnapshotArguments snapshot;
    CLI::App* snapshotCommand = app.add_subcommand(
        "snapshot", "paint a project's timeline as the control shows it, to a PNG");
    snapshotCommand->add_option("project", snapshot.project, "the project file")->required();
    snapshotCommand->add_option("output", snapshot.output, "the PNG file to write")->required();
    snapshotCommand->add_option("--size", snapshot.size, "the window's client area WxH")
        ->capture_default_str();
    snapshotCommand
        ->add_option("--zoom", snapshot.zoom,
                     "the time scale, above 0 to 100 (default 1: a second is 250 pixels)")
        ->check(CLI::Range(0.0001, 100.0));
    snapshotCommand
        ->add_option("--position", snapshot.position, "the play head in milliseconds (default 0)")
        ->check(CLI::NonNegativeNumber);

    // A first word that names no command gets the list of commands, not a parse error.
    std::vector<std::string> commands;
    for (const CLI::App* command : app.get_subcommands({})) {
        commands.push_back(command->get_name());
    }
    for (int index = 1; index < argc; ++index) {
        const std::string word = argv[index];
        if (word.empty() || word.front() == '-') {
            continue;  // a global flag
        }
        if (std::find(commands.begin(), commands.end(), word) == commands.end()) {
            std::string list;
            for (const std::string& command : commands) {
                list += (list.empty() ? "" : ", ") + command;
            }
            std::cerr << "vortrel: unknown command '" << word << "'"
                      << vortrel::DidYouMean(word, commands) << "; the commands are " << list
                      << "\n";
            return vortrel::kExitUsage;
        }
        break;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);  // --help, --version
        }
        std::cerr << "vortrel: " << error.what() << "\n";
        return vortrel::kExitUsage;
    }

    const vortrel::Verbosity verbosity = quiet     ? vortrel::Verbosity::Quiet
                                         : verbose ? vortrel::Verbosity::Verbose
                                                   : vortrel::Verbosity::Normal;
    vortrel::QuietLibraries(verbosity);
    render.verbosity = verbosity;
    play.verbosity = verbosity;

    try {
        if (app.got_subcommand("selfcheck")) {
            return vortrel::RunSelfCheck(std::cout) ? vortrel::kExitOk : vortrel::kExitFailure;
        }
        if (script->parsed()) {
            return vortrel::RunScriptCommand(scriptFile, workdir, std::cout, std::cerr);
        }
        if (info->parsed()) {
            return vortrel::RunInfoCommand(infoFile, infoJson, std::cout, std::cerr);
        }
        if (app.got_subcommand("catalog")) {
            return vortrel::RunCatalogCommand(std::cout, std::cerr);
        }
        if (renderCommand->parsed()) {
            return vortrel::RunRenderCommand(render, std::cout, std::cerr);
        }
        if (playCommand->parsed()) {
            return vortrel::RunPlayCommand(play, std::cout, std::cerr);
        }
        if (snapshotCommand->parsed()) {
            return vortrel::RunSnapshotCommand(snapshot, std::cerr);
        }
        if (exportMlt->parsed()) {
            return vortrel::RunExportMltCommand(exportProject, exportOutput, exportAllowMissing,
                                                std::cerr);
        }
        if (testsrc->parsed()) {
            if (secondsOption->count() > 0) {
                source.seconds = seconds;
            }
            return vortrel::RunTestSourceCommand(source, std::cerr);
        }
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "vortrel: " << error.what() << "\n";
        return vortrel::kExitFailure;
    }
    return vortrel::kExitUsage;
}
