#include "platform/windows/com/ComPlatform.h"

#include "ports/IDeviceCatalog.h"
#include "ports/Platform.h"

namespace vortrel::com {

namespace {

// A catalogue with no devices and no profiles.
class EmptyCatalog final : public IDeviceCatalog {
  public:
    Listing List(DeviceCategory) override { return {}; }
    std::vector<OutputProfile> ListOutputProfiles() override { return {}; }
};

}  // namespace

const Platform& ComServerPlatform() {
    static const Platform* platform = [] {
        auto* made = new Platform();  // lives as long as the process
        made->devices = new EmptyCatalog();
        InstallPlatform(*made);
        return made;
    }();
    return *platform;
}

}  // namespace vortrel::com
