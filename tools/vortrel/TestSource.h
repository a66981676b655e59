#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vortrel {

/// What a test file holds.
enum class TestSourceKind { Video, Audio, AudioVideo, Image };

/// The shape of a test file.
struct TestSourceSpec {
    TestSourceKind kind = TestSourceKind::AudioVideo;
    double seconds = 1.0;  // video has round(seconds × fps) frames, audio round(seconds × 44100)
    int width = 320;
    int height = 240;
    double fps = 25.0;
};

/// Raised for a request that cannot be met as asked: an unknown extension, a kind that the
/// format cannot hold, a size or length out of range.
class TestSourceRequestError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

/// Raised when a valid request could not be written (FFmpeg refused, the disk failed).
class TestSourceWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Sample rate and channels of every test file's audio.
inline constexpr int kTestSourceSampleRate = 44100;
inline constexpr int kTestSourceChannels = 2;

/// The kind named video, audio, av or image; raises TestSourceRequestError otherwise.
TestSourceKind ParseTestSourceKind(std::string_view name);

/// A frame size written WxH (for instance 320x240); raises TestSourceRequestError otherwise.
void ParseFrameSize(std::string_view text, int& width, int& height);

/// Raises TestSourceRequestError when a file of this name and shape cannot be made.
void CheckTestSource(const std::filesystem::path& path, const TestSourceSpec& spec);

// Writes a synthetic media file with FFmpeg's libraries, for tests and demonstrations:
// colour bars crossed by a moving white bar, with a row of black and white squares that
// counts the frames in binary (so no two frames are alike), and a 440 Hz sine tone in
// stereo. The extension picks the format: .mp4 (MPEG-4 video, AAC), .mkv (FFV1, FLAC),
// .avi (Motion JPEG, 16-bit PCM), .wav (16-bit PCM, audio only) and .png (a still picture).
void WriteTestSource(const std::filesystem::path& path, const TestSourceSpec& spec);

}  // namespace vortrel
