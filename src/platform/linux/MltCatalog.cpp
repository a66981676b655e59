#include "platform/linux/MltCatalog.h"

#include <mlt++/Mlt.h>

#include <exception>
#include <memory>

#include "platform/linux/MltRuntime.h"

namespace vortrel {

namespace {

using Properties = std::vector<std::pair<std::string, std::string>>;

// An entry the catalogue offers when MLT has its service.
struct Candidate {
    DeviceCategory category;
    // The class id derives from the key: a key must never change once it has shipped, or
    // saved timelines lose their effects. The friendly name may change.
    const char* key;
    const wchar_t* name;
    const char* service;
    Properties properties;
    std::optional<LumaShape> lumaMap = std::nullopt;
};

// Each entry renders on a picture of any size with no setting beyond its own, and needs no
// window system or OpenGL; frei0r is left out because our set-up does not install it.
const std::vector<Candidate>& Candidates() {
    constexpr auto kEffect = DeviceCategory::VideoEffects;
    constexpr auto kTransition = DeviceCategory::VideoTransitions;
    // Light from the top left on a mid-grey ground; the three colour planes share the kernel
    // and the alpha plane keeps its own.
    constexpr const char* kEmboss = "-2 -1 0 -1 0 1 0 1 2";
    // Four levels spread over the whole range.
    constexpr const char* kPosterize = "floor(val/64)*85";
    // The luma transition draws each field of an interlaced picture at its own time; the
    // timeline is progressive, so the wipes draw whole frames.
    const Properties progressive = {{"progressive", "1"}};
    static const std::vector<Candidate> candidates = {
        {kEffect, "effect/grayscale", L"Grayscale", "greyscale", {}},
        {kEffect, "effect/sepia", L"Sepia", "sepia", {}},
        {kEffect, "effect/invert", L"Invert", "invert", {}},
        // The radii are a percentage of the picture, so preview and render look alike.
        {kEffect, "effect/blur", L"Blur", "box_blur", {{"hradius", "10"}, {"vradius", "10"}}},
        {kEffect, "effect/mirror", L"Mirror", "mirror", {{"mirror", "horizontal"}}},
        {kEffect, "effect/flip-horizontal", L"Flip Horizontally", "mirror", {{"mirror", "flip"}}},
        {kEffect, "effect/flip-vertical", L"Flip Vertically", "mirror", {{"mirror", "flop"}}},
        {kEffect, "effect/brighten", L"Brighten", "brightness", {{"level", "1.4"}}},
        {kEffect, "effect/darken", L"Darken", "brightness", {{"level", "0.6"}}},
        {kEffect, "effect/charcoal", L"Charcoal", "charcoal", {}},
        {kEffect, "effect/threshold", L"Threshold", "threshold", {{"midpoint", "128"}}},
        {kEffect, "effect/old-film", L"Old Film", "oldfilm", {}},
        {kEffect, "effect/film-grain", L"Film Grain", "grain", {}},
        {kEffect, "effect/film-scratches", L"Film Scratches", "lines", {}},
        {kEffect, "effect/vignette", L"Vignette", "vignette", {}},
        {kEffect, "effect/wave", L"Wave", "wave", {}},
        {kEffect, "effect/sharpen", L"Sharpen", "avfilter.unsharp", {}},
        {kEffect, "effect/edge-detect", L"Edge Detect", "avfilter.edgedetect", {}},
        {kEffect,
         "effect/emboss",
         L"Emboss",
         "avfilter.convolution",
         {{"av.0m", kEmboss},
          {"av.1m", kEmboss},
          {"av.2m", kEmboss},
          {"av.0bias", "128"},
          {"av.1bias", "128"},
          {"av.2bias", "128"}}},
        {kEffect,
         "effect/pixelate",
         L"Pixelate",
         "avfilter.pixelize",
         {{"av.width", "16"}, {"av.height", "16"}}},
        {kEffect,
         "effect/posterize",
         L"Posterize",
         "avfilter.lutrgb",
         {{"av.r", kPosterize}, {"av.g", kPosterize}, {"av.b", kPosterize}}},
        {kEffect, "effect/hue-shift", L"Hue Shift", "avfilter.hue", {{"av.h", "90"}}},
        {kEffect,
         "effect/increase-saturation",
         L"Increase Saturation",
         "avfilter.eq",
         {{"av.saturation", "1.5"}}},
        {kEffect,
         "effect/increase-contrast",
         L"Increase Contrast",
         "avfilter.eq",
         {{"av.contrast", "1.3"}}},

        // Without a map the luma transition cross-fades.
        {kTransition, "transition/dissolve", L"Dissolve", "luma", {}},
        {kTransition, "transition/wipe-left-to-right", L"Wipe Left to Right", "luma", progressive,
         LumaShape::LeftToRight},
        {kTransition, "transition/wipe-right-to-left", L"Wipe Right to Left", "luma", progressive,
         LumaShape::RightToLeft},
        {kTransition, "transition/wipe-top-to-bottom", L"Wipe Top to Bottom", "luma", progressive,
         LumaShape::TopToBottom},
        {kTransition, "transition/wipe-bottom-to-top", L"Wipe Bottom to Top", "luma", progressive,
         LumaShape::BottomToTop},
        {kTransition, "transition/wipe-top-left-to-bottom-right", L"Wipe Top Left to Bottom Right",
         "luma", progressive, LumaShape::TopLeftToBottomRight},
        {kTransition, "transition/wipe-top-right-to-bottom-left", L"Wipe Top Right to Bottom Left",
         "luma", progressive, LumaShape::TopRightToBottomLeft},
        {kTransition, "transition/box-wipe", L"Box Wipe", "luma", progressive, LumaShape::Box},
        {kTransition, "transition/circle-wipe", L"Circle Wipe", "luma", progressive,
         LumaShape::Circle},
        {kTransition, "transition/barn-door-wipe", L"Barn Door Wipe", "luma", progressive,
         LumaShape::BarnDoor},
        {kTransition, "transition/clock-wipe", L"Clock Wipe", "luma", progressive,
         LumaShape::Clock},

        // The incoming picture moves over the outgoing one; -1 is the transition's last frame.
        {kTransition,
         "transition/slide-in-from-left",
         L"Slide In from Left",
         "affine",
         {{"rect", "0=-100% 0% 100% 100%;-1=0% 0% 100% 100%"}}},
        {kTransition,
         "transition/slide-in-from-right",
         L"Slide In from Right",
         "affine",
         {{"rect", "0=100% 0% 100% 100%;-1=0% 0% 100% 100%"}}},
        {kTransition,
         "transition/slide-in-from-top",
         L"Slide In from Top",
         "affine",
         {{"rect", "0=0% -100% 100% 100%;-1=0% 0% 100% 100%"}}},
        {kTransition,
         "transition/slide-in-from-bottom",
         L"Slide In from Bottom",
         "affine",
         {{"rect", "0=0% 100% 100% 100%;-1=0% 0% 100% 100%"}}},
        {kTransition,
         "transition/zoom-from-centre",
         L"Zoom from Centre",
         "affine",
         {{"rect", "0=50% 50% 0% 0%;-1=0% 0% 100% 100%"}}},
    };
    return candidates;
}

}  // namespace

MltCatalog::MltCatalog() : compressors_(AvEncoders::Compressors()) {
    std::unique_ptr<Mlt::Properties> filters;
    std::unique_ptr<Mlt::Properties> transitions;
    try {
        Mlt::Repository& repository = MltRuntime::Repository();
        filters.reset(repository.filters());
        transitions.reset(repository.transitions());
    } catch (const std::exception&) {
        failure_ = Failure::SystemDeviceEnum;
        return;
    }
    if (!filters || !filters->is_valid() || !transitions || !transitions->is_valid()) {
        failure_ = Failure::ClassEnumerator;
        return;
    }

    for (const Candidate& candidate : Candidates()) {
        Mlt::Properties& services =
            candidate.category == DeviceCategory::VideoEffects ? *filters : *transitions;
        if (!services.property_exists(candidate.service)) {
            continue;
        }
        MltServiceEntry entry{candidate.category,
                              candidate.name,
                              Guid::FromName(std::string("vortrel/") + candidate.key),
                              candidate.service,
                              candidate.properties,
                              candidate.lumaMap};
        if (entry.lumaMap) {
            // A wipe whose map is missing would quietly dissolve instead: leave it out.
            if (!LumaMaps::Ensure(*entry.lumaMap)) {
                continue;
            }
            entry.properties.emplace_back("resource", LumaMaps::PathOf(*entry.lumaMap).string());
        }
        entries_.push_back(std::move(entry));
    }
}

IDeviceCatalog::Listing MltCatalog::List(DeviceCategory category) {
    Listing listing;
    auto add = [&](const std::wstring& name, const Guid& classId) {
        DeviceMoniker moniker;
        moniker.friendlyName = name;
        moniker.guid = classId.ToString();
        listing.devices.push_back(std::move(moniker));
    };
    if (category == DeviceCategory::VideoCompressors ||
        category == DeviceCategory::AudioCompressors) {
        // Compressors come from FFmpeg, so a failure of MLT does not touch them.
        for (const AvCompressorEntry& entry : compressors_) {
            if (entry.category == category) {
                add(entry.friendlyName, entry.classId);
            }
        }
        return listing;
    }
    listing.failure = failure_;
    for (const MltServiceEntry& entry : entries_) {
        if (entry.category == category) {
            add(entry.friendlyName, entry.classId);
        }
    }
    return listing;
}

std::vector<OutputProfile> MltCatalog::ListOutputProfiles() {
    return AvEncoders::OutputProfiles();
}

const MltServiceEntry* MltCatalog::Find(const Guid& classId) const {
    for (const MltServiceEntry& entry : entries_) {
        if (entry.classId == classId) {
            return &entry;
        }
    }
    return nullptr;
}

const AvCompressorEntry* MltCatalog::FindCompressor(const Guid& classId) const {
    for (const AvCompressorEntry& entry : compressors_) {
        if (entry.classId == classId) {
            return &entry;
        }
    }
    return nullptr;
}

const AvCompressorEntry* MltCatalog::Compressor(DeviceCategory category, size_t index) const {
    for (const AvCompressorEntry& entry : compressors_) {
        if (entry.category == category && index-- == 0) {
            return &entry;
        }
    }
    return nullptr;
}

bool MltCatalog::EnsureFiles(const MltServiceEntry& entry) {
    return !entry.lumaMap || LumaMaps::Ensure(*entry.lumaMap);
}

}  // namespace vortrel
