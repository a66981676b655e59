#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "base/Guid.h"
#include "base/Utf16Less.h"
#include "editing/EditTimeline.h"
#include "ports/IDeviceCatalog.h"

namespace vortrel {

/// Friendly name → class id, ordered by the names' UTF-16 code units.
using DesCatalog = std::map<std::wstring, Guid, Utf16Less>;

// The one editing timeline of a control, with the catalogues of the video effects and
// transitions installed on the platform. The catalogues are filled once, when it is made.
class DesTimeline {
  public:
    /// Creates the timeline (consulting the failure plan; none: nothing fails) and fills the
    /// effect catalogue, then the transition catalogue, from the platform's devices.
    DesTimeline(IDeviceCatalog& devices, std::shared_ptr<EditFailures> failures = nullptr);
    DesTimeline(const DesTimeline&) = delete;
    DesTimeline& operator=(const DesTimeline&) = delete;
    ~DesTimeline();

    /// The name at a position of the effect catalogue; empty out of range.
    std::wstring GetEffectName(int32_t index) const;
    /// The name at a position of the transition catalogue; empty out of range.
    std::wstring GetTransitionName(int32_t index) const;
    /// The class id of an effect by its exact name; std::out_of_range when unknown.
    Guid FindEffect(const std::wstring& name) const;
    /// The class id of a transition by its exact name; std::out_of_range when unknown.
    Guid FindTransition(const std::wstring& name) const;

    const DesCatalog& GetEffectCatalog() const { return effectCatalog_; }
    const DesCatalog& GetTransitionCatalog() const { return transitionCatalog_; }

    /// The editing timeline itself, for preview and conversion.
    EditTimeline& GetTimeline() const { return *timeline_; }

  private:
    std::shared_ptr<EditTimeline> timeline_;
    DesCatalog effectCatalog_;
    DesCatalog transitionCatalog_;
};

/// Fills a catalogue from one category of devices; raises DesError when the category cannot
/// be listed. Devices with an unreadable name or class id are skipped, an empty name is
/// listed as "[Unknown]", and a later device replaces an earlier one of the same name.
void FillDesCatalog(IDeviceCatalog& devices, DeviceCategory category, DesCatalog& catalog);

}  // namespace vortrel
