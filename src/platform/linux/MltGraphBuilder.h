#pragma once

#include <memory>
#include <string>

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
// picture, the text track keyed by the alpha of its bitmaps, clip volumes applied.
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

    /// Writes the graph of the timeline as MLT XML; false when the file cannot be written.
    bool ExportXml(const EditTimeline& timeline, const std::string& path) const;

  private:
    const MltCatalog& catalog_;
};

}  // namespace vortrel
