#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/Guid.h"
#include "ports/IDeviceCatalog.h"
#include "ports/Platform.h"

namespace vortrel::testing {

// A device catalogue that lists what a test put into it.
class FakeDeviceCatalog : public IDeviceCatalog {
  public:
    Listing List(DeviceCategory category) override { return listings[category]; }
    std::vector<OutputProfile> ListOutputProfiles() override { return profiles; }

    /// A platform of this catalogue alone (its ports are whatever the test installs).
    Platform AsPlatform() {
        Platform platform;
        platform.devices = this;
        return platform;
    }

    /// Adds a readable device with a name-derived class id; returns that id.
    Guid Add(DeviceCategory category, const std::wstring& name) {
        const Guid id = Guid::FromName(std::string(name.begin(), name.end()));
        listings[category].devices.push_back({true, name, id.ToString()});
        return id;
    }

    std::map<DeviceCategory, Listing> listings;
    std::vector<OutputProfile> profiles;
};

}  // namespace vortrel::testing
