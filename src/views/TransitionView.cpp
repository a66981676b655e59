#include "views/TransitionView.h"

#include "model/TransitionEffect.h"

namespace vortrel {

TransitionView::TransitionView(TransitionEffect* content, TimeScale* timeScale)
    : IContentView(content, timeScale) {}

void TransitionView::Draw(IDrawContext& context) {
    DrawBody(context);
}

void TransitionView::OnContentChanged() {
    OnScaleChanged();
}

}  // namespace vortrel
