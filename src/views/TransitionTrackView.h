#pragma once

#include "model/TransitionEffect.h"
#include "views/ITrackView.h"
#include "views/TransitionView.h"

namespace vortrel {

// The row of the transition track: transitions.
class TransitionTrackView : public ContentTrackView<TransitionEffect, TransitionView> {
  public:
    /// A row for a track (not owned) whose clips follow a time scale (not owned), with a
    /// view for every content the track holds already.
    TransitionTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ContentTrackView(track, timeScale, mouse) {}
};

}  // namespace vortrel
