#pragma once

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
};

}  // namespace vortrel
