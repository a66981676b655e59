#include "views/WaveformView.h"

#include "model/AudioClip.h"

namespace vortrel {

WaveformView::WaveformView(AudioClip* clip, TimeScale* timeScale)
    : IContentView(clip, timeScale), clip_(clip) {}

void WaveformView::Draw(IDrawContext& context) {
    DrawBody(context);
}

}  // namespace vortrel
