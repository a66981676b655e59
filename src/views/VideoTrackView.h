#pragma once

#include "model/VideoClip.h"
#include "views/ITrackView.h"
#include "views/VideoView.h"

namespace vortrel {

// The row of a video track: video clips, each with its poster thumbnail.
class VideoTrackView : public ContentTrackView<VideoClip, VideoView> {
  public:
    /// A row for a track (not owned) whose clips follow a time scale (not owned), with a
    /// view for every content the track holds already.
    VideoTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ContentTrackView(track, timeScale, mouse) {}
};

}  // namespace vortrel
