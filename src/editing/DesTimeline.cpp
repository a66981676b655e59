#include "editing/DesTimeline.h"

#include <stdexcept>

#include "editing/DesError.h"

namespace vortrel {

namespace {

std::wstring NameAt(const DesCatalog& catalog, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= catalog.size()) {
        return {};
    }
    return std::next(catalog.begin(), index)->first;
}

}  // namespace

void FillDesCatalog(IDeviceCatalog& devices, DeviceCategory category, DesCatalog& catalog) {
    catalog.clear();
    const IDeviceCatalog::Listing listing = devices.List(category);
    switch (listing.failure) {
        case IDeviceCatalog::Failure::None:
            break;
        case IDeviceCatalog::Failure::SystemDeviceEnum:
            throw DesError("Could not create system device enum");
        case IDeviceCatalog::Failure::ClassEnumerator:
            throw DesError("Could not create class enumerator");
        case IDeviceCatalog::Failure::BindContext:
            throw DesError("Could not create bind ctx");
    }
    for (const DeviceMoniker& device : listing.devices) {
        if (!device.bound || !device.friendlyName || !device.guid) {
            continue;
        }
        const std::optional<Guid> classId = Guid::Parse(*device.guid);
        if (!classId) {
            continue;
        }
        const std::wstring name =
            device.friendlyName->empty() ? L"[Unknown]" : *device.friendlyName;
        catalog.insert_or_assign(name, *classId);
    }
}

DesTimeline::DesTimeline(IDeviceCatalog& devices, std::shared_ptr<EditFailures> failures)
    : timeline_(EditTimeline::Create(std::move(failures))) {
    if (!timeline_) {
        throw DesError("Could not create timeline");
    }
    FillDesCatalog(devices, DeviceCategory::VideoEffects, effectCatalog_);
    FillDesCatalog(devices, DeviceCategory::VideoTransitions, transitionCatalog_);
}

DesTimeline::~DesTimeline() = default;

std::wstring DesTimeline::GetEffectName(int32_t index) const {
    return NameAt(effectCatalog_, index);
}

std::wstring DesTimeline::GetTransitionName(int32_t index) const {
    return NameAt(transitionCatalog_, index);
}

Guid DesTimeline::FindEffect(const std::wstring& name) const {
    return effectCatalog_.at(name);
}

Guid DesTimeline::FindTransition(const std::wstring& name) const {
    return transitionCatalog_.at(name);
}

}  // namespace vortrel
