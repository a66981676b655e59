#pragma once

#include "model/MediaEffect.h"
#include "views/EffectView.h"
#include "views/ITrackView.h"

namespace vortrel {

// The row of the effect track: video effects.
class EffectTrackView : public ContentTrackView<MediaEffect, EffectView> {
  public:
    /// A row for a track (not owned) whose clips follow a time scale (not owned), with a
    /// view for every content the track holds already.
    EffectTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ContentTrackView(track, timeScale, mouse) {}
};

}  // namespace vortrel
