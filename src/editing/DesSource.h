#pragma once

#include <memory>

#include "editing/EditNode.h"

namespace vortrel {

class DesTimeline;
class DesTrack;

// One source on a track: a span of a media file placed on the timeline. The owner's set-up
// gives it its times, file and media times.
class DesSource {
  public:
    /// Makes a source node and adds it to the track.
    explicit DesSource(DesTrack& track);
    DesSource(const DesSource&) = delete;
    DesSource& operator=(const DesSource&) = delete;
    ~DesSource();

    /// The timeline the source belongs to.
    DesTimeline* GetTimeline() const { return timeline_; }
    /// The source node.
    const std::shared_ptr<EditNode>& GetSourceObject() const { return sourceObject_; }

  private:
    DesTimeline* timeline_;
    std::shared_ptr<EditNode> sourceObject_;
};

}  // namespace vortrel
