#pragma once

#include <cstdint>

#include "model/ISubject.h"

namespace vortrel {

class ITrack;

// A notification about one track and its index in the model: added, or its image changed.
class TrackEvent : public ISubject {
  public:
    /// Writes the track and its index and notifies every observer.
    void Notify(ITrack* track, int32_t index) {
        track_ = track;
        index_ = index;
        ISubject::Notify();
    }
    using ISubject::Notify;

    /// The track of the last notification.
    ITrack* GetTrack() const { return track_; }
    /// The track's index in the model.
    int32_t GetIndex() const { return index_; }

  private:
    ITrack* track_ = nullptr;
    int32_t index_ = 0;
};

}  // namespace vortrel
