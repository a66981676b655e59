#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/linux/KeyedBitmaps.h"

namespace Mlt {
class Profile;
class Tractor;
}  // namespace Mlt

namespace vortrel {

class EditTimeline;
class MltCatalog;

// Turns the editing timeline into an MLT graph that plays or renders it: the video group's
// tracks layered in order (later ones on top), the audio group's tracks mixed, sources
// placed by their times with their media in-points, muted tracks left out, transitions
// blending their track over what lies beneath for their span, group effects over the whole
// picture, the text track keyed by the alpha of its bitmaps, clip volumes applied. Every
// picture fills the whole frame, whatever its shape. The keyed copies of text bitmaps it
// makes live as long as the builder.
class MltGraphBuilder {
  public:
    /// A builder that finds the engine services of class ids in the catalogue.
    explicit MltGraphBuilder(const MltCatalog& catalog);

    /// The profile of the timeline's video group: its picture size and output frame rate
    /// (15 fps while none was set), square pixels, progressive.
    std::unique_ptr<Mlt::Profile> MakeProfile(const EditTimeline& timeline) const;

    /// Builds the graph of the whole timeline on a profile; its length is the end of the
    /// latest source, transition or effect (the text key excepted), and an empty timeline is
    /// one frame of black silence. Never fails on odd content: a source that cannot be
    /// opened plays as black silence for its span, an effect or transition of an unknown
    /// class is left out. None only when MLT cannot make even a colour. Every clip sounds at
    /// its source's level times its volume in a graph played in the given channels.
    std::unique_ptr<Mlt::Tractor> Build(const EditTimeline& timeline, Mlt::Profile& profile,
                                        int channels = 2) const;

    /// Writes the graph of the timeline as MLT XML that plays the same from any folder: media
    /// by absolute paths, and the files the system made for itself (wipe maps, text pictures)
    /// copied into a folder beside it (AssetsFolder); false when something cannot be written.
    bool ExportXml(const EditTimeline& timeline, const std::string& path) const;

    /// The folder beside an exported file that holds its made files: OUT.mlt -> OUT.assets.
    static std::filesystem::path AssetsFolder(const std::filesystem::path& xml);

  private:
    const MltCatalog& catalog_;
    // Building is no change of the builder that callers see, but the copies stay held.
    mutable KeyedBitmaps keyedBitmaps_;
};

}  // namespace vortrel
