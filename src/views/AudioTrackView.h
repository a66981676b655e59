#pragma once

#include "model/AudioClip.h"
#include "views/ITrackView.h"
#include "views/WaveformView.h"

namespace vortrel {

// The row of an audio track: audio clips, each with its waveform.
class AudioTrackView : public ContentTrackView<AudioClip, WaveformView> {
  public:
    /// A row for a track (not owned) whose clips follow a time scale (not owned), with a
    /// view for every content the track holds already.
    AudioTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ContentTrackView(track, timeScale, mouse) {}
};

}  // namespace vortrel
