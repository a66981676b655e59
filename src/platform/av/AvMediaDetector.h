#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ports/IMediaDetector.h"

namespace vortrel {

// The media detector of the Linux back end, on FFmpeg's libraries: probes one local file,
// lists its audio and video streams and decodes poster frames of its first video stream.
// Still images have no length and show the same picture at every time. Lengths that the
// container only guesses are measured.
class AvMediaDetector final : public IMediaDetector {
  public:
    AvMediaDetector();
    ~AvMediaDetector() override;
    AvMediaDetector(const AvMediaDetector&) = delete;
    AvMediaDetector& operator=(const AvMediaDetector&) = delete;

    /// Opens and probes a local file; false when it is missing, unreadable or not media. A
    /// file of subtitles or data alone opens with no streams.
    bool SetFilename(const std::wstring& path) override;
    /// Gives the number of audio and video streams of the open file.
    bool GetOutputStreams(int32_t& count) override;
    /// Makes an audio or video stream current (the first one is current after opening).
    bool SetCurrentStream(int32_t index) override;
    /// Gives whether the current stream is audio or video.
    bool GetStreamType(MediaStreamType& type) override;
    /// Gives the length of the current stream in seconds; false for stills and unknown lengths.
    bool GetStreamLength(double& seconds) override;
    /// Gives the picture size of the current stream when it is video.
    bool GetVideoFormat(int32_t& width, int32_t& height) override;
    /// Decodes the frame of the first video stream showing at a time into a bottom-up
    /// 24-bit bitmap of the given size.
    bool GetBitmapBits(double seconds, int32_t width, int32_t height,
                       std::vector<uint8_t>& bitmap) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

/// Largest width or height of a bitmap the detector hands out.
inline constexpr int32_t kMaxBitmapSide = 16384;

}  // namespace vortrel
