#include "views/StackPanel.h"

namespace vortrel {

void StackPanel::AdvanceOrigin(DrawPoint& origin, IView& child) {
    if (orientation_ == kVertical) {
        origin.y = ClampPixels(int64_t{origin.y} + child.GetMarginTop() +
                               child.GetEffectiveHeight() + child.GetMarginBottom());
    } else {
        origin.x = ClampPixels(int64_t{origin.x} + child.GetMarginLeft() +
                               child.GetEffectiveWidth() + child.GetMarginRight());
    }
}

void StackPanel::StretchChild(IView& child) {
    if (orientation_ == kVertical) {
        if (child.GetStretchHorizontal()) {
            const int64_t width = int64_t{GetX()} + GetEffectiveWidth() - GetInsetRight() -
                                  child.GetMarginRight() - child.GetX();
            if (width >= 0) {
                child.SetWidth(ClampPixels(width));
            }
        }
    } else if (child.GetStretchVertical()) {
        const int64_t height = int64_t{GetY()} + GetEffectiveHeight() - GetInsetBottom() -
                               child.GetMarginBottom() - child.GetY();
        if (height >= 0) {
            child.SetHeight(ClampPixels(height));
        }
    }
}

void StackPanel::AlignChild(IView& /*child*/) {}

void StackPanel::AlignPanelChild(IPanel& /*child*/) {}

}  // namespace vortrel
