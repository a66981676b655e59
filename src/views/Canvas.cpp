#include "views/Canvas.h"

#include <algorithm>

namespace vortrel {

void Canvas::StretchChild(IView& child) {
    if (child.GetStretchHorizontal()) {
        const int32_t right =
            GetX() + GetEffectiveWidth() - child.GetMarginRight() - GetInsetRight();
        child.SetWidth(std::max(child.GetX() + child.GetEffectiveWidth(), right) - child.GetX());
    }
    if (child.GetStretchVertical()) {
        const int32_t bottom =
            GetY() + GetEffectiveHeight() - child.GetMarginBottom() - GetInsetBottom();
        child.SetHeight(std::max(child.GetY() + child.GetEffectiveHeight(), bottom) - child.GetY());
    }
}

void Canvas::AlignChild(IView& child) {
    if (child.GetHorizontalAlignment() == kAlignFar) {
        child.SetX(GetX() + GetEffectiveWidth() - child.GetEffectiveWidth());
    }
    if (child.GetVerticalAlignment() == kAlignFar) {
        child.SetY(GetY() + GetEffectiveHeight() - child.GetEffectiveHeight());
    }
}

void Canvas::AlignPanelChild(IPanel& child) {
    AlignChild(child);
    child.Arrange();
}

}  // namespace vortrel
