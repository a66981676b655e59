#include "views/TransitionView.h"

#include "model/TransitionEffect.h"

namespace vortrel {

TransitionView::TransitionView(TransitionEffect* content, TimeScale* timeScale,
                               MouseDispatcher& mouse)
    : IContentView(content, timeScale, mouse) {}

void TransitionView::Draw(IDrawContext& context) {
    DrawBody(context);
}

void TransitionView::OnContentChanged() {
    OnScaleChanged();
}

}  // namespace vortrel
