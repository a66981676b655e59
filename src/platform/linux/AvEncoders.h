#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/Guid.h"
#include "ports/IDeviceCatalog.h"

namespace vortrel {

/// One compressor of the catalogue and the FFmpeg encoder, with its settings, that performs it.
struct AvCompressorEntry {
    DeviceCategory category = DeviceCategory::VideoCompressors;
    std::wstring friendlyName;
    Guid classId;
    std::string encoder;  // the libavcodec encoder name
    std::string format;   // the pixel or sample format it takes, as FFmpeg names it
    std::vector<std::pair<std::string, std::string>> options;  // for avcodec_open2
};

// The FFmpeg encoders the installed libavcodec provides for AVI files, listed as video and
// audio compressors with stable class ids, and our own output profiles for ASF files. The
// conversion looks a compressor up by its class id to learn which encoder to open and how.
class AvEncoders {
  public:
    /// The container and encoders of every output profile.
    static constexpr const char* kProfileContainer = "asf";
    static constexpr const char* kProfileVideoEncoder = "wmv2";
    static constexpr const char* kProfileAudioEncoder = "wmav2";

    /// The compressors that open on this system, video first, in listing order. The audio
    /// compressor listed first is the output's default. Probed once per process.
    static const std::vector<AvCompressorEntry>& Compressors();

    /// Our output profiles from small to large; none when an encoder they need is missing.
    static std::vector<OutputProfile> OutputProfiles();
};

}  // namespace vortrel
