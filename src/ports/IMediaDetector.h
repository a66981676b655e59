#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/PortFactory.h"

namespace vortrel {

/// The kind of one stream of a media file.
enum class MediaStreamType { Video, Audio, Other };

/// Size of the BITMAPINFOHEADER that opens every frame a detector hands out.
inline constexpr size_t kBitmapInfoHeaderSize = 40;

// The platform's media detector: opens one media file and answers questions about its
// streams (audio and video streams only; others are not counted). The model asks it for the
// length of a clip's source and for poster frames; each question makes a new detector, which
// the platform may fail to provide.
class IMediaDetector {
  public:
    virtual ~IMediaDetector() = default;

    /// Opens the file; false when the platform cannot read it.
    virtual bool SetFilename(const std::wstring& path) = 0;
    /// Gives the number of output streams; false when it cannot be read.
    virtual bool GetOutputStreams(int32_t& count) = 0;
    /// Makes the stream at an index (0 to count - 1) the current one.
    virtual bool SetCurrentStream(int32_t index) = 0;
    /// Gives the type of the current stream.
    virtual bool GetStreamType(MediaStreamType& type) = 0;
    /// Gives the length of the current stream in seconds; false when it cannot be read.
    virtual bool GetStreamLength(double& seconds) = 0;
    /// Gives the picture size of the current stream when it is a video stream with a usable
    /// format; false otherwise.
    virtual bool GetVideoFormat(int32_t& width, int32_t& height) = 0;
    /// Gives the frame of the file's video at a time in seconds, scaled to width x height, as
    /// a device-independent bitmap: a 40-byte BITMAPINFOHEADER (biSizeImage set), then 24-bit
    /// BGR rows, bottom row first, each padded to a multiple of 4 bytes. False when no frame
    /// can be had, and always for a time at or beyond the end of the video stream.
    virtual bool GetBitmapBits(double seconds, int32_t width, int32_t height,
                               std::vector<uint8_t>& bitmap) = 0;
};

/// The maker of the platform's media detectors.
using MediaDetectorFactory = PortFactory<IMediaDetector>;

}  // namespace vortrel
