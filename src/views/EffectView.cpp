#include "views/EffectView.h"

#include "model/MediaEffect.h"

namespace vortrel {

EffectView::EffectView(MediaEffect* content, TimeScale* timeScale, MouseDispatcher& mouse)
    : IContentView(content, timeScale, mouse) {}

void EffectView::Draw(IDrawContext& context) {
    DrawBody(context);
}

void EffectView::OnContentChanged() {
    OnScaleChanged();
}

}  // namespace vortrel
