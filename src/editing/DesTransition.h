#pragma once

#include <memory>

#include "base/Guid.h"
#include "editing/EditNode.h"

namespace vortrel {

class DesTrack;

// A transition on a track: it blends the track into the tracks beneath it over its span.
// The node is made on the first Apply. A change of track or direction marks the wrapper
// dirty, and the next Apply then makes a new node even for the same class.
class DesTransition {
  public:
    /// A transition on a track, or on none until SetTrack gives it one.
    explicit DesTransition(DesTrack* track);
    DesTransition(const DesTransition&) = delete;
    DesTransition& operator=(const DesTransition&) = delete;
    ~DesTransition();

    /// Makes sure the node exists on the track with the given class (see the class comment).
    void Apply(const Guid& classId);

    /// The track the transition is placed on, or none.
    DesTrack* GetTrack() const { return track_; }
    /// Moves the transition to another track at the next Apply.
    void SetTrack(DesTrack* track);
    /// Whether the inputs are swapped.
    bool GetReverse() const { return reverse_; }
    /// Swaps the inputs (or not) from the next Apply on.
    void SetReverse(bool reverse);
    /// True when a change waits for the next Apply.
    bool IsDirty() const { return dirty_; }

    /// The transition node, or none before the first Apply.
    const std::shared_ptr<EditNode>& GetTransitionObject() const { return transitionObject_; }

  private:
    void RemoveObject();

    DesTrack* track_;
    std::shared_ptr<EditNode> transitionObject_;
    bool reverse_ = false;
    bool dirty_ = false;
};

}  // namespace vortrel
