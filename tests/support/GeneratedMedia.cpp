#include "support/GeneratedMedia.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numeric>
#include <sstream>

#include "support/Descriptor.h"

extern char** environ;

namespace vortrel::testing {

namespace {

// melt finishes these files in well under a second; this only stops a stuck one.
// A file takes a fraction of a second to make; melt now and then hangs at its end when the
// machine is busy, so a run that takes this long is ended and tried again.
constexpr int kMeltTimeoutMs = 10000;
constexpr int kMeltAttempts = 3;

std::string ColourArgument(Colour colour) {
    char text[32];
    std::snprintf(text, sizeof text, "color:0x%02x%02x%02xff", colour.red, colour.green,
                  colour.blue);
    return text;
}

std::string CommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        const bool plain =
            !argument.empty() && argument.find_first_of(" '\"\\$") == std::string::npos;
        line += plain ? argument : "'" + argument + "'";
    }
    return line;
}

int FramesOf(double seconds, int fps) {
    const long frames = std::lround(seconds * fps);
    if (!(frames >= 1 && frames <= 100000)) {
        throw GeneratedMediaError(
            "A generated span must last at least one frame: " + std::to_string(seconds) + " s at " +
            std::to_string(fps) + " fps");
    }
    return static_cast<int>(frames);
}

std::string Extension(const std::string& name) {
    return std::filesystem::path(name).extension().string();
}

struct CommandResult {
    int status = 0;  // the exit code; -1 when it was killed or did not exit normally
    std::string output;
    bool timedOut = false;
};

// Runs a program found on the PATH, collecting what it writes to stdout and stderr.
CommandResult Run(const std::vector<std::string>& arguments) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw GeneratedMediaError("Could not make a pipe for: " + CommandLine(arguments));
    }
    Descriptor readEnd(fds[0]);
    Descriptor writeEnd(fds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw GeneratedMediaError("Could not start " + CommandLine(arguments) + ": " +
                                  std::strerror(spawned));
    }
    writeEnd.Reset();

    CommandResult result;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kMeltTimeoutMs);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            kill(child, SIGKILL);
            break;
        }
        pollfd watched{readEnd.Get(), POLLIN, 0};
        const int ready = poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;  // the deadline check above ends the wait
        }
        const ssize_t got = read(readEnd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // the child closed its output
        }
        result.output.append(buffer, static_cast<size_t>(got));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

MediaFolder::MediaFolder() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        base = "/tmp";
    }
    std::string pattern = (base / "vortrel-media-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw GeneratedMediaError("Could not create a temporary folder from " + pattern + ": " +
                                  std::strerror(errno));
    }
    path_ = pattern;
}

MediaFolder::~MediaFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path MediaFolder::Profile(int width, int height, int fps) {
    if (width <= 0 || height <= 0 || width % 2 != 0 || height % 2 != 0 || fps <= 0) {
        throw GeneratedMediaError(
            "Generated pictures need an even size and a positive rate: " + std::to_string(width) +
            "x" + std::to_string(height) + " at " + std::to_string(fps) + " fps");
    }
    const std::filesystem::path file = path_ / ("profile-" + std::to_string(width) + "x" +
                                                std::to_string(height) + "-" + std::to_string(fps));
    if (std::filesystem::exists(file)) {
        return file;
    }
    const int divisor = std::gcd(width, height);
    std::ofstream out(file);
    // melt 7 crashes on a profile without a description.
    out << "description=generated " << width << "x" << height << " " << fps << " fps\n"
        << "frame_rate_num=" << fps << "\nframe_rate_den=1\n"
        << "width=" << width << "\nheight=" << height << "\nprogressive=1\n"
        << "sample_aspect_num=1\nsample_aspect_den=1\n"
        << "display_aspect_num=" << width / divisor << "\ndisplay_aspect_den=" << height / divisor
        << "\ncolorspace=601\n";
    if (!out.flush()) {
        throw GeneratedMediaError("Could not write the profile " + file.string());
    }
    return file;
}

void MediaFolder::RunMelt(const std::vector<std::string>& arguments,
                          const std::filesystem::path& output) {
    std::vector<std::string> command = {"melt", "-silent"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    // Frames are never dropped to keep up with the clock, however busy the machine is.
    command.push_back("real_time=-1");
    std::error_code error;
    CommandResult result;
    for (int attempt = 0; attempt < kMeltAttempts; ++attempt) {
        std::filesystem::remove(output, error);
        result = Run(command);
        if (!result.timedOut) {
            break;
        }
    }
    const bool written = std::filesystem::file_size(output, error) > 0 && !error;
    if (result.timedOut || result.status != 0 || !written) {
        const std::string reason = result.timedOut ? "timed out"
                                   : result.status != 0
                                       ? "exited with " + std::to_string(result.status)
                                       : "wrote no " + output.string();
        throw GeneratedMediaError("melt " + reason + ": " + CommandLine(command) + "\n" +
                                  result.output);
    }
}

std::filesystem::path MediaFolder::MakeVideo(const std::string& name, const ColourVideo& video) {
    const std::string extension = Extension(name);
    std::vector<std::string> codecs;
    if (extension == ".mkv") {
        codecs = {"vcodec=ffv1", "acodec=flac"};
    } else if (extension == ".mp4") {
        codecs = {"vcodec=mpeg4", "g=10", "bf=2", "qscale=2", "acodec=aac"};
    } else {
        throw GeneratedMediaError("No video format for " + name + ": use .mkv or .mp4");
    }
    if (video.segments.empty()) {
        throw GeneratedMediaError("A generated video needs at least one segment: " + name);
    }
    const std::filesystem::path output = path_ / name;
    std::vector<std::string> arguments = {"-profile",
                                          Profile(video.width, video.height, video.fps)};
    int frames = 0;
    for (const ColourSegment& segment : video.segments) {
        const int length = FramesOf(segment.seconds, video.fps);
        arguments.push_back(ColourArgument(segment.colour));
        arguments.push_back("out=" + std::to_string(length - 1));
        frames += length;
    }
    if (video.toneHz) {
        arguments.insert(arguments.end(),
                         {"-audio-track", "tone:", "frequency=" + std::to_string(*video.toneHz),
                          "out=" + std::to_string(frames - 1), "-transition", "mix", "a_track=0",
                          "b_track=1", "always_active=1", "sum=1"});
    }
    arguments.insert(arguments.end(), {"-consumer", "avformat:" + output.string()});
    arguments.insert(arguments.end(), codecs.begin(), codecs.end());
    if (video.toneHz) {
        arguments.insert(arguments.end(), {"ar=48000", "ac=1"});
    } else {
        arguments.push_back("an=1");
    }
    RunMelt(arguments, output);
    return output;
}

std::filesystem::path MediaFolder::MakeTone(const std::string& name, double seconds, int hz,
                                            int sampleRate, int channels) {
    const std::string extension = Extension(name);
    std::string codec;
    if (extension == ".mka") {
        codec = "acodec=flac";
    } else if (extension == ".wav") {
        codec = "acodec=pcm_s16le";
    } else {
        throw GeneratedMediaError("No audio format for " + name + ": use .mka or .wav");
    }
    const int fps = 25;
    const std::filesystem::path output = path_ / name;
    RunMelt({"-profile", Profile(64, 48, fps), "tone:", "frequency=" + std::to_string(hz),
             "out=" + std::to_string(FramesOf(seconds, fps) - 1), "-consumer",
             "avformat:" + output.string(), "vn=1", codec, "ar=" + std::to_string(sampleRate),
             "ac=" + std::to_string(channels)},
            output);
    return output;
}

std::filesystem::path MediaFolder::MakeImage(const std::string& name, int width, int height,
                                             Colour colour, const std::optional<Patch>& patch) {
    if (Extension(name) != ".png") {
        throw GeneratedMediaError("Generated pictures are PNG files: " + name);
    }
    const std::filesystem::path output = path_ / name;
    std::vector<std::string> arguments = {"-profile", Profile(width, height, 25),
                                          ColourArgument(colour), "out=0"};
    if (patch) {
        // The patch is a second track composited over the first, stretched to its rectangle.
        const std::string geometry = std::to_string(patch->x) + "/" + std::to_string(patch->y) +
                                     ":" + std::to_string(patch->width) + "x" +
                                     std::to_string(patch->height);
        arguments.insert(arguments.end(), {"-track", ColourArgument(patch->colour), "out=0",
                                           "-transition", "composite", "a_track=0", "b_track=1",
                                           "geometry=" + geometry, "distort=1"});
    }
    arguments.insert(arguments.end(), {"-consumer", "avformat:" + output.string(), "f=image2",
                                       "vcodec=png", "update=1", "an=1"});
    RunMelt(arguments, output);
    return output;
}

std::filesystem::path MediaFolder::WriteFile(const std::string& name, const std::string& bytes) {
    const std::filesystem::path output = path_ / name;
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw GeneratedMediaError("Could not write " + output.string());
    }
    return output;
}

std::filesystem::path MediaFolder::WriteTruncatedCopy(const std::filesystem::path& source,
                                                      const std::string& name, double fraction) {
    std::ifstream in(source, std::ios::binary);
    std::ostringstream contents;
    if (!(in && contents << in.rdbuf())) {
        throw GeneratedMediaError("Could not read " + source.string());
    }
    const std::string bytes = contents.str();
    if (bytes.empty()) {
        throw GeneratedMediaError("Could not read " + source.string());
    }
    const double kept = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(bytes.size());
    return WriteFile(name, bytes.substr(0, static_cast<size_t>(kept)));
}

std::wstring ToWide(const std::filesystem::path& path) {
    // std::filesystem converts through the C locale, which knows no UTF-8 in a test binary.
    const std::string& bytes = path.native();
    std::wstring wide;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + static_cast<size_t>(k) < bytes.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        }
        wide += static_cast<wchar_t>(code);
        i += static_cast<size_t>(extra) + 1;
    }
    return wide;
}

}  // namespace vortrel::testing
