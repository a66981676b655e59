#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/IContent.h"

namespace vortrel {

class DesTrack;

// A content that plays a source: a media file (video, audio, image) or, for a text clip,
// the text itself. Besides its span on the timeline a clip has a media segment, the part of
// the source it plays; a resize keeps that part within the source's length.
class IClip : public IContent {
  public:
    explicit IClip(std::shared_ptr<DesSource> desSource);
    ~IClip() override;

    /// Moves or resizes the clip; a new length resizes the media segment from its start.
    void SetPixelRange(int32_t xStart, int32_t xStop) override;

    /// The file path, or the text of a text clip.
    const std::wstring& GetSource() const { return source_; }
    /// Sets the file path, or the text of a text clip.
    void SetSource(std::wstring source) { source_ = std::move(source); }

    /// The span inside the source that the clip plays.
    const std::shared_ptr<TimeSegment>& GetMediaSegment() const { return media_; }

    /// A source wrapper on the given editing-timeline track, or none without a track.
    static std::shared_ptr<DesSource> MakeDesSource(DesTrack* track);

    /// The length of the source in milliseconds, as the media detector reports it; 0 when
    /// it cannot tell.
    int32_t GetMediaLength() const;

  protected:
    /// Puts the clip's times, a media name and the media span from mediaStart (as long as
    /// the clip) into its source node; raises DesError with the failure message when the
    /// clip has no source node or the node refuses any of the three.
    void PlaceSource(const std::wstring& mediaName, int32_t mediaStart, const char* failure) const;
    /// The set-up shared by video and audio clips: cuts the clip to the media left in its
    /// file, then places its source. A file that cannot be read, or a media start at or
    /// beyond its end, raises the failure message before any time changes.
    void SetupMediaSource(const char* failure);

    /// Reads Source, Start and Stop and, for a clip that plays a span of its file,
    /// MediaStart; the media stop then follows from the clip's length.
    bool ReadClipFields(const tinyxml2::XMLElement& element, bool withMediaStart);
    /// Writes Source, Start, Stop and, when asked, MediaStart.
    void WriteClipFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element,
                         bool withMediaStart) const;

  private:
    std::wstring source_;
    std::shared_ptr<TimeSegment> media_;
};

}  // namespace vortrel
