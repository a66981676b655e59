#pragma once

#include <cstdint>

#include "model/ISubject.h"

namespace vortrel {

class ITrackView;

// A track row announcing that its title image changed: the row and its track's index.
class TrackViewEvent : public ISubject {
  public:
    /// Writes the row and the index and notifies every observer.
    void Notify(ITrackView* trackView, int32_t index) {
        trackView_ = trackView;
        index_ = index;
        ISubject::Notify();
    }
    using ISubject::Notify;

    ITrackView* GetTrackView() const { return trackView_; }
    int32_t GetIndex() const { return index_; }

  private:
    ITrackView* trackView_ = nullptr;
    int32_t index_ = 0;
};

}  // namespace vortrel
