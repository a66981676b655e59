#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vortrel::testing {

/// An opaque 8-bit RGB colour of generated media.
struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kGreen{0, 255, 0};
inline constexpr Colour kBlue{0, 0, 255};

/// A span of a generated video filled with one colour.
struct ColourSegment {
    Colour colour;
    double seconds = 1.0;  // rounded to whole frames, at least one
};

/// What a generated video holds.
struct ColourVideo {
    std::vector<ColourSegment> segments;
    int width = 64;  // even, as 4:2:0 pictures need
    int height = 48;
    int fps = 25;
    std::optional<int> toneHz;  // a sine tone of this frequency on an audio track
};

/// A rectangle of a second colour painted over a generated picture, in pixels from its top
/// left corner.
struct Patch {
    Colour colour;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

/// Raised when a file cannot be generated; the message holds the command and its output.
class GeneratedMediaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A temporary folder of small media files made with the melt command, for tests that need
// real files. Everything in it is removed when it is destroyed. Each file takes a fraction
// of a second to make and a few tens of kilobytes at most.
class MediaFolder {
  public:
    /// Creates an empty folder under the system's temporary folder.
    MediaFolder();
    ~MediaFolder();
    MediaFolder(const MediaFolder&) = delete;
    MediaFolder& operator=(const MediaFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Each Make call returns the file already made under its name, if there is one.

    /// Writes a video of coloured segments. The extension picks the format: ".mkv" is
    /// lossless FFV1 (FLAC audio); ".mp4" is MPEG-4 video with a keyframe every 10 frames and
    /// B-frames, so frames between keyframes must be decoded forward (AAC audio).
    std::filesystem::path MakeVideo(const std::string& name, const ColourVideo& video);
    /// Writes an audio-only file of a sine tone: ".mka" (FLAC) or ".wav" (16-bit PCM), 48 kHz
    /// mono unless told otherwise. The length is rounded to whole 25 fps frames.
    std::filesystem::path MakeTone(const std::string& name, double seconds, int hz = 440,
                                   int sampleRate = 48000, int channels = 1);
    /// Writes a 440 Hz sine at half of full scale in every channel (-9.03 dB RMS) with the
    /// ffmpeg tool, 44.1 kHz, coded as the arguments say ({"-c:a", "pcm_u8"}).
    std::filesystem::path MakeSine(const std::string& name, double seconds, int channels,
                                   const std::vector<std::string>& codec);
    /// Writes a PNG picture of one colour, with an optional patch of another.
    std::filesystem::path MakeImage(const std::string& name, int width, int height, Colour colour,
                                    const std::optional<Patch>& patch = {});
    /// Writes a file with the ffmpeg tool: the arguments name its inputs and how to write
    /// them (codecs, "-f FORMAT" where the name's extension should not tell).
    std::filesystem::path MakeWithFfmpeg(const std::string& name,
                                         const std::vector<std::string>& arguments);
    /// Writes a bare MPEG-1 video stream of a moving pattern, whose container has no length
    /// but the one FFmpeg guesses from its bit rate.
    std::filesystem::path MakeMpegVideoStream(const std::string& name, double seconds, int fps,
                                              int width = 64, int height = 48);
    /// Writes a Matroska file that holds subtitles alone: two lines, from 0 to 2.5 s and from
    /// 3 to 5 s.
    std::filesystem::path MakeSubtitlesOnly(const std::string& name);
    /// Writes bytes to a file, for files that are not media at all.
    std::filesystem::path WriteFile(const std::string& name, const std::string& bytes);
    /// Copies the first fraction (0 to 1) of a file's bytes, as an interrupted copy leaves it.
    std::filesystem::path WriteTruncatedCopy(const std::filesystem::path& source,
                                             const std::string& name, double fraction);

    /// Files that are not media, made once: a missing name, the folder itself, a named pipe
    /// (which blocks whoever opens it until someone writes to it), an empty file, text, noise
    /// named as a video and as a picture, and the first halves of a video and a picture (an
    /// MP4's index is at its end).
    std::vector<std::filesystem::path> MakeNonMedia(const std::filesystem::path& video,
                                                    const std::filesystem::path& picture);

  private:
    std::filesystem::path Profile(int width, int height, int fps);
    void RunMelt(const std::vector<std::string>& arguments, const std::filesystem::path& output);

    std::filesystem::path path_;
};

/// A file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

/// The bytes of a 16-bit PCM WAV file of interleaved samples, for MediaFolder::WriteFile. Its
/// header declares the true byte rate unless told another, as some writers get it wrong.
std::string PcmWave(int rate, int channels, const std::vector<int16_t>& samples,
                    uint32_t declaredByteRate = 0);

/// A path as the wide string that the model's interfaces take, its bytes read as UTF-8.
std::wstring ToWide(const std::filesystem::path& path);

}  // namespace vortrel::testing
