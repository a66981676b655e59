#include "views/VerticalScrollbarView.h"

#include "views/ScrollBoxView.h"

namespace vortrel {

VerticalScrollbarView::VerticalScrollbarView(IPanel* target, MouseDispatcher& mouse)
    : ScrollbarView(kVertical, target, mouse) {
    SetExplicitWidth(kThickness);
    SetStretchVertical(true);
    SetHorizontalAlignment(kAlignFar);
    GetThumb()->SetExplicitWidth(kThickness);
    GetThumb()->SetStretchVertical(true);
}

void VerticalScrollbarView::ApplyScroll() {
    if (IPanel* target = GetTarget()) {
        target->SetScrollX(0);
        target->SetScrollY(GetPosition());
        target->GetLayoutEvent()->Notify();
    }
}

}  // namespace vortrel
