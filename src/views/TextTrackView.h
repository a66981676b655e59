#pragma once

#include "model/TextClip.h"
#include "views/ITrackView.h"
#include "views/PageView.h"

namespace vortrel {

// The row of the text track: text clips, each with its text.
class TextTrackView : public ContentTrackView<TextClip, PageView> {
  public:
    /// A row for a track (not owned) whose clips follow a time scale (not owned), with a
    /// view for every content the track holds already.
    TextTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ContentTrackView(track, timeScale, mouse) {}
};

}  // namespace vortrel
