#include "support/GeneratedMedia.h"

#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>

namespace vortrel::testing {

namespace {

// A file takes a fraction of a second to make, a second or two on a busy machine; there melt
// also hangs now and then (as often as one run in four), so a run that takes this long (in
// seconds) is ended and tried again.
constexpr int kMeltTimeout = 5;
constexpr int kMeltAttempts = 8;

std::string ColourArgument(Colour colour) {
    char text[32];
    std::snprintf(text, sizeof text, "color:0x%02x%02x%02xff", colour.red, colour.green,
                  colour.blue);
    return text;
}

// The arguments as one shell command line, each quoted.
std::string CommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        line += " '";
        for (char c : argument) {
            line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        line += '\'';
    }
    return line;
}

int FramesOf(double seconds, int fps) {
    return std::max(1, static_cast<int>(std::lround(seconds * fps)));
}

std::string Extension(const std::string& name) {
    return std::filesystem::path(name).extension().string();
}

struct CommandResult {
    int status = 0;  // the exit code; -1 when it did not exit normally
    std::string output;
    bool timedOut = false;
};

#ifdef _WIN32
// The Windows build runs no host tools: its tests take media the Linux build makes (see
// tests/mediafile/check-same-answers.sh), and every Make call here fails.
CommandResult Run(const std::vector<std::string>& arguments) {
    return {-1, "the Windows build makes no media:" + CommandLine(arguments), false};
}
#else
// Runs a program found on the PATH under timeout(1), collecting its stdout and stderr.
CommandResult Run(const std::vector<std::string>& arguments) {
    const std::string command = "timeout -k 2 " + std::to_string(kMeltTimeout) +
                                CommandLine(arguments) + " 2>&1 </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw GeneratedMediaError("Could not start" + command + ": " + std::strerror(errno));
    }
    CommandResult result;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // timeout(1) exits with 124 when it ended the program, 137 when it had to kill it.
    result.timedOut = result.status == 124 || result.status == 137;
    return result;
}
#endif

}  // namespace

MediaFolder::MediaFolder() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        base = "/tmp";
    }
#ifdef _WIN32
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::filesystem::path candidate =
            base / ("vortrel-media-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
        }
    }
    if (path_.empty()) {
        throw GeneratedMediaError("Could not create a temporary folder in " + base.string());
    }
#else
    std::string pattern = (base / "vortrel-media-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw GeneratedMediaError("Could not create a temporary folder from " + pattern + ": " +
                                  std::strerror(errno));
    }
    path_ = pattern;
#endif
}

MediaFolder::~MediaFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path MediaFolder::Profile(int width, int height, int fps) {
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
    bool written = false;
    // A busy machine now and then also makes melt end without writing its one frame.
    for (int attempt = 0; attempt < kMeltAttempts && !written; ++attempt) {
        std::filesystem::remove(output, error);
        result = Run(command);
        written = !result.timedOut && std::filesystem::file_size(output, error) > 0 && !error;
    }
    if (result.timedOut || result.status != 0 || !written) {
        const std::string reason = result.timedOut ? "timed out"
                                   : result.status != 0
                                       ? "exited with " + std::to_string(result.status)
                                       : "wrote no " + output.string();
        throw GeneratedMediaError("melt " + reason + ":" + CommandLine(command) + "\n" +
                                  result.output);
    }
}

std::filesystem::path MediaFolder::MakeVideo(const std::string& name, const ColourVideo& video) {
    const std::filesystem::path output = path_ / name;
    if (std::filesystem::exists(output)) {
        return output;
    }
    const std::string extension = Extension(name);
    std::vector<std::string> codecs;
    if (extension == ".mkv") {
        codecs = {"vcodec=ffv1", "acodec=flac"};
    } else if (extension == ".mp4") {
        codecs = {"vcodec=mpeg4", "g=10", "bf=2", "qscale=2", "acodec=aac"};
    } else {
        throw GeneratedMediaError("No video format for " + name + ": use .mkv or .mp4");
    }
    std::vector<std::string> arguments = {"-profile",
                                          Profile(video.width, video.height, video.fps).string()};
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
    const std::filesystem::path output = path_ / name;
    if (std::filesystem::exists(output)) {
        return output;
    }
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
    RunMelt({"-profile", Profile(64, 48, fps).string(), "tone:", "frequency=" + std::to_string(hz),
             "out=" + std::to_string(FramesOf(seconds, fps) - 1), "-consumer",
             "avformat:" + output.string(), "vn=1", codec, "ar=" + std::to_string(sampleRate),
             "ac=" + std::to_string(channels)},
            output);
    return output;
}

std::filesystem::path MediaFolder::MakeSine(const std::string& name, double seconds, int channels,
                                            const std::vector<std::string>& codec) {
    const std::filesystem::path output = path_ / name;
    if (std::filesystem::exists(output)) {
        return output;
    }
    const std::string sine = "0.5*sin(2*PI*440*t)";
    std::string expressions = sine;
    for (int channel = 1; channel < channels; ++channel) {
        expressions += "|" + sine;
    }
    std::vector<std::string> command = {
        "ffmpeg", "-nostdin", "-v",
        "error",  "-y",       "-f",
        "lavfi",  "-i",       "aevalsrc=" + expressions + ":s=44100:d=" + std::to_string(seconds)};
    command.insert(command.end(), codec.begin(), codec.end());
    command.push_back(output.string());
    const CommandResult result = Run(command);
    std::error_code error;
    if (result.status != 0 || std::filesystem::file_size(output, error) == 0 || error) {
        throw GeneratedMediaError("ffmpeg could not write " + output.string() + ":" +
                                  CommandLine(command) + "\n" + result.output);
    }
    return output;
}

std::filesystem::path MediaFolder::MakeImage(const std::string& name, int width, int height,
                                             Colour colour, const std::optional<Patch>& patch) {
    const std::filesystem::path output = path_ / name;
    if (std::filesystem::exists(output)) {
        return output;
    }
    std::vector<std::string> arguments = {"-profile", Profile(width, height, 25).string(),
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

std::filesystem::path MediaFolder::MakeWithFfmpeg(const std::string& name,
                                                  const std::vector<std::string>& arguments) {
    const std::filesystem::path output = path_ / name;
    if (std::filesystem::exists(output)) {
        return output;
    }
    std::vector<std::string> command = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.push_back(output.string());
    const CommandResult result = Run(command);
    std::error_code error;
    if (result.status != 0 || std::filesystem::file_size(output, error) == 0 || error) {
        throw GeneratedMediaError("ffmpeg failed:" + CommandLine(command) + "\n" + result.output);
    }
    return output;
}

std::filesystem::path MediaFolder::MakeMpegVideoStream(const std::string& name, double seconds,
                                                       int fps, int width, int height) {
    const std::string pattern = "testsrc=d=" + std::to_string(seconds) +
                                ":r=" + std::to_string(fps) + ":s=" + std::to_string(width) + "x" +
                                std::to_string(height);
    return MakeWithFfmpeg(name,
                          {"-f", "lavfi", "-i", pattern, "-c:v", "mpeg1video", "-f", "mpeg1video"});
}

std::filesystem::path MediaFolder::MakeSubtitlesOnly(const std::string& name) {
    const std::filesystem::path lines = WriteFile(
        name + ".srt",
        "1\n00:00:00,000 --> 00:00:02,500\nFirst\n\n2\n00:00:03,000 --> 00:00:05,000\nSecond\n");
    return MakeWithFfmpeg(name, {"-i", lines.string(), "-c:s", "srt", "-f", "matroska"});
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
    const std::string bytes = ReadFile(source);
    if (bytes.empty()) {
        throw GeneratedMediaError("Could not read " + source.string());
    }
    const double kept = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(bytes.size());
    return WriteFile(name, bytes.substr(0, static_cast<size_t>(kept)));
}

std::vector<std::filesystem::path> MediaFolder::MakeNonMedia(const std::filesystem::path& video,
                                                             const std::filesystem::path& picture) {
    std::string noise;
    for (uint32_t x = 7, i = 0; i < 20000; ++i) {
        x = x * 1664525u + 1013904223u;
        noise += static_cast<char>(x >> 24);
    }
    std::vector<std::filesystem::path> files = {path_ / "missing.mkv", path_};
#ifndef _WIN32  // Windows has no named pipes in the file system
    const std::filesystem::path pipe = path_ / "pipe.mkv";
    if (mkfifo(pipe.c_str(), 0600) != 0) {
        throw GeneratedMediaError("Could not make the named pipe " + pipe.string());
    }
    files.push_back(pipe);
#endif
    const std::string extension = video.extension().string();
    for (std::filesystem::path file :
         {WriteFile("empty.mkv", ""), WriteFile("text.mp4", std::string(4000, 'x')),
          WriteFile("noise.mkv", noise), WriteFile("noise.png", noise),
          WriteTruncatedCopy(video, "half" + extension, 0.5),
          WriteTruncatedCopy(picture, "half.png", 0.5)}) {
        files.push_back(std::move(file));
    }
    return files;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string PcmWave(int rate, int channels, const std::vector<int16_t>& samples,
                    uint32_t declaredByteRate) {
    const auto data = static_cast<uint32_t>(samples.size() * 2);
    const auto frameBytes = static_cast<uint32_t>(channels * 2);
    std::string out;
    const auto put = [&out](const char* tag, uint32_t value, int bytes) {
        out += tag;
        for (int i = 0; i < bytes; ++i) {
            out += static_cast<char>(value >> (8 * i));
        }
    };
    put("RIFF", 36 + data, 4);
    put("WAVEfmt ", 16, 4);
    put("", 1 + (frameBytes / 2 << 16), 4);  // PCM, then the channels
    put("", static_cast<uint32_t>(rate), 4);
    put("", declaredByteRate != 0 ? declaredByteRate : rate * frameBytes, 4);
    put("", frameBytes + (16 << 16), 4);  // the bytes of a frame, then the bits of a sample
    put("data", data, 4);
    return out.append(reinterpret_cast<const char*>(samples.data()), data);
}

std::wstring ToWide(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();  // the native name is already wide
#else
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
#endif
}

}  // namespace vortrel::testing
