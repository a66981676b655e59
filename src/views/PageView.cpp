#include "views/PageView.h"

#include "model/TextClip.h"

namespace vortrel {

PageView::PageView(TextClip* clip, TimeScale* timeScale)
    : IContentView(clip, timeScale), clip_(clip) {}

void PageView::Draw(IDrawContext& context) {
    DrawBody(context);
}

void PageView::OnContentChanged() {}

}  // namespace vortrel
