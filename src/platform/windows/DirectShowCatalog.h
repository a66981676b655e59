#pragma once

#include <vector>

#include "ports/IDeviceCatalog.h"

namespace vortrel {

// The Windows catalogue of installed devices: video effects, transitions and compressors
// through the system device enumerator's categories, and the system's output profiles for
// Windows Media files through the Windows Media profile manager (loaded at run time; a system
// without it has no profiles). COM is initialised for the call where the caller has not.
class DirectShowCatalog final : public IDeviceCatalog {
  public:
    Listing List(DeviceCategory category) override;
    std::vector<OutputProfile> ListOutputProfiles() override;
};

}  // namespace vortrel
