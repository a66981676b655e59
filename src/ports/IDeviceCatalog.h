#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vortrel {

/// The categories of installed devices the system asks the platform about.
enum class DeviceCategory {
    VideoEffects,      // one-input video effects
    VideoTransitions,  // two-input video transitions
    VideoCompressors,
    AudioCompressors,
};

// One installed device as the platform lists it. A property that could not be read is none;
// a device whose property bag could not be opened at all has bound = false.
struct DeviceMoniker {
    bool bound = true;
    std::optional<std::wstring> friendlyName;
    std::optional<std::wstring> guid;  // braced registry form
};

// One of the platform's output profiles for Windows Media files: its streams and the
// encoder settings the conversion uses.
struct OutputProfile {
    std::wstring name;
    std::wstring description;
    std::wstring id;  // braced registry form; all zeros when the profile has none
    int32_t videoStreams = 0;
    int32_t audioStreams = 0;
    int32_t width = 0;  // pixels, 0 without video
    int32_t height = 0;
    double frameRate = 0.0;
    int32_t videoBitrate = 0;  // bits per second
    int32_t audioBitrate = 0;
    int32_t audioSampleRate = 0;
    int32_t audioChannels = 0;
};

// The platform's catalogue of installed devices, listed by category in the platform's own
// order. Listing a category can fail at three points, each its own failure.
class IDeviceCatalog {
  public:
    enum class Failure {
        None,
        SystemDeviceEnum,  // the device enumerator could not be made
        ClassEnumerator,   // the category could not be enumerated
        BindContext,       // the devices could not be bound
    };
    struct Listing {
        Failure failure = Failure::None;
        std::vector<DeviceMoniker> devices;
    };

    virtual ~IDeviceCatalog() = default;

    /// Lists the devices of a category.
    virtual Listing List(DeviceCategory category) = 0;

    /// Lists the platform's output profiles for Windows Media files in their own order; a
    /// profile that cannot be loaded ends the list.
    virtual std::vector<OutputProfile> ListOutputProfiles() = 0;
};

}  // namespace vortrel
