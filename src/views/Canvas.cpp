#include "views/Canvas.h"

#include <algorithm>

namespace vortrel {

void Canvas::StretchChild(IView& child) {
    if (child.GetStretchHorizontal()) {
        const int64_t right =
            int64_t{GetX()} + GetEffectiveWidth() - child.GetMarginRight() - GetInsetRight();
        child.SetWidth(ClampPixels(
            std::max(int64_t{child.GetX()} + child.GetEffectiveWidth(), right) - child.GetX()));
    }
    if (child.GetStretchVertical()) {
        const int64_t bottom =
            int64_t{GetY()} + GetEffectiveHeight() - child.GetMarginBottom() - GetInsetBottom();
        child.SetHeight(ClampPixels(
            std::max(int64_t{child.GetY()} + child.GetEffectiveHeight(), bottom) - child.GetY()));
    }
}

void Canvas::AlignChild(IView& child) {
    if (child.GetHorizontalAlignment() == kAlignFar) {
        child.SetX(ClampPixels(int64_t{GetX()} + GetEffectiveWidth() - child.GetEffectiveWidth()));
    }
    if (child.GetVerticalAlignment() == kAlignFar) {
        child.SetY(
            ClampPixels(int64_t{GetY()} + GetEffectiveHeight() - child.GetEffectiveHeight()));
    }
}

void Canvas::AlignPanelChild(IPanel& child) {
    AlignChild(child);
    child.Arrange();
}

}  // namespace vortrel
