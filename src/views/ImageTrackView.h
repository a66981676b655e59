#pragma once

#include "model/ImageClip.h"
#include "views/ITrackView.h"
#include "views/ImageStripView.h"

namespace vortrel {

// The row of the image track: image clips, each with its tiled picture.
class ImageTrackView : public ContentTrackView<ImageClip, ImageStripView> {
  public:
    /// A row for a track (not owned) whose clips follow a time scale (not owned), with a
    /// view for every content the track holds already.
    ImageTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ContentTrackView(track, timeScale, mouse) {}
};

}  // namespace vortrel
