#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/des/Guid.h"
#include "engine/des/IDeviceCatalog.h"
#include "engine/mlt/LumaMaps.h"

namespace vortrel {

/// One device of the catalogue and the MLT service, with its settings, that performs it.
struct MltServiceEntry {
    DeviceCategory category = DeviceCategory::VideoEffects;
    std::wstring friendlyName;
    Guid classId;
    std::string service;  // an MLT filter for an effect, an MLT transition for a transition
    std::vector<std::pair<std::string, std::string>> properties;
    std::optional<LumaShape> lumaMap;  // the map file a wipe names in its "resource"
};

// The video effects and transitions that the installed MLT can perform, listed as devices
// with stable class ids. The engine looks an effect or transition of the timeline up by its
// class id to learn which MLT service to build and how to set it up.
class MltCatalog final : public IDeviceCatalog {
  public:
    /// Collects the entries whose service MLT provides; writes the wipe maps they need.
    MltCatalog();

    /// Lists the devices of a category; compressors are not listed yet.
    Listing List(DeviceCategory category) override;

    /// Every available entry, effects first, in listing order.
    const std::vector<MltServiceEntry>& Entries() const { return entries_; }
    /// The entry with a class id, or null.
    const MltServiceEntry* Find(const Guid& classId) const;
    /// Writes the entry's wipe map again if it has gone since; false when it could not.
    static bool EnsureFiles(const MltServiceEntry& entry);

  private:
    Failure failure_ = Failure::None;
    std::vector<MltServiceEntry> entries_;
};

}  // namespace vortrel
