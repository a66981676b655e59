#pragma once

#include <memory>

#include "editing/EditNode.h"

namespace vortrel {

class DesGroup;
class DesTimeline;

// One track of a group: a layer of the video composition or a channel of the audio mix,
// appended after the group's other tracks when it is made.
class DesTrack {
  public:
    /// Makes a track node and appends it to the group.
    explicit DesTrack(DesGroup& group);
    DesTrack(const DesTrack&) = delete;
    DesTrack& operator=(const DesTrack&) = delete;
    ~DesTrack();

    /// The timeline the track belongs to.
    DesTimeline* GetTimeline() const { return timeline_; }
    /// The track node.
    const std::shared_ptr<EditNode>& GetTrackObject() const { return trackObject_; }

  private:
    DesTimeline* timeline_;
    std::shared_ptr<EditNode> trackObject_;
};

}  // namespace vortrel
