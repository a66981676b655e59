#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Guid.h"
#include "platform/linux/AvEncoders.h"
#include "platform/linux/LumaMaps.h"
#include "ports/IDeviceCatalog.h"

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

// The video effects and transitions that the installed MLT can perform and the compressors
// the installed FFmpeg provides, listed as devices with stable class ids, and our output
// profiles. The engine looks an effect or transition of the timeline up by its class id to
// learn which MLT service to build and how to set it up, and a compressor to learn which
// encoder to open.
class MltCatalog final : public IDeviceCatalog {
  public:
    /// Collects the entries whose service MLT provides, writing the wipe maps they need, and
    /// the compressors FFmpeg provides.
    MltCatalog();

    /// Lists the devices of a category.
    Listing List(DeviceCategory category) override;
    /// Lists our output profiles for ASF files, from small to large.
    std::vector<OutputProfile> ListOutputProfiles() override;

    /// Every available entry, effects first, in listing order.
    const std::vector<MltServiceEntry>& Entries() const { return entries_; }
    /// The entry with a class id, or null.
    const MltServiceEntry* Find(const Guid& classId) const;
    /// Writes the entry's wipe map again if it has gone since; false when it could not.
    static bool EnsureFiles(const MltServiceEntry& entry);

    /// Every available compressor, video first, in listing order.
    const std::vector<AvCompressorEntry>& Compressors() const { return compressors_; }
    /// The compressor with a class id, or null.
    const AvCompressorEntry* FindCompressor(const Guid& classId) const;
    /// The compressor at a position of its category's listing, or null.
    const AvCompressorEntry* Compressor(DeviceCategory category, size_t index) const;

  private:
    Failure failure_ = Failure::None;
    std::vector<MltServiceEntry> entries_;
    std::vector<AvCompressorEntry> compressors_;
};

}  // namespace vortrel
