#include "views/HorizontalScrollbarView.h"

#include "views/ScrollBoxView.h"

namespace vortrel {

HorizontalScrollbarView::HorizontalScrollbarView(IPanel* target, MouseDispatcher& mouse)
    : ScrollbarView(kHorizontal, target, mouse) {
    SetExplicitHeight(kThickness);
    SetStretchHorizontal(true);
    SetVerticalAlignment(kAlignFar);
    GetThumb()->SetExplicitHeight(kThickness);
    GetThumb()->SetStretchHorizontal(true);
}

void HorizontalScrollbarView::ApplyScroll() {
    if (IPanel* target = GetTarget()) {
        target->SetScrollX(GetPosition());
        target->SetScrollY(0);
        target->GetLayoutEvent()->Notify();
    }
}

}  // namespace vortrel
