#pragma once

#include "views/IContentView.h"

namespace vortrel {

class MouseDispatcher;

class AudioClip;

// An audio clip drawn as its waveform over the body: one column a few level pairs wide,
// from the zero line up to the loudest and down to the quietest sample of the column. Only
// the columns inside the clip box are drawn.
class WaveformView : public IContentView {
  public:
    /// A view of a clip (not owned) at the zoom of a time scale (not owned).
    WaveformView(AudioClip* clip, TimeScale* timeScale, MouseDispatcher& mouse);

    /// The body, the zero line and the waveform's columns.
    void Draw(IDrawContext& context) override;
    /// Follows the content's times.
    void OnContentChanged() override;

  private:
    AudioClip* clip_;
};

}  // namespace vortrel
