#include "views/StackPanel.h"

namespace vortrel {

void StackPanel::AdvanceOrigin(DrawPoint& origin, IView& child) {
    if (orientation_ == kVertical) {
        origin.y += child.GetMarginTop() + child.GetEffectiveHeight() + child.GetMarginBottom();
    } else {
        origin.x += child.GetMarginLeft() + child.GetEffectiveWidth() + child.GetMarginRight();
    }
}

void StackPanel::StretchChild(IView& child) {
    if (orientation_ == kVertical) {
        if (child.GetStretchHorizontal()) {
            const int32_t width = GetX() + GetEffectiveWidth() - GetInsetRight() -
                                  child.GetMarginRight() - child.GetX();
            if (width >= 0) {
                child.SetWidth(width);
            }
        }
    } else if (child.GetStretchVertical()) {
        const int32_t height = GetY() + GetEffectiveHeight() - GetInsetBottom() -
                               child.GetMarginBottom() - child.GetY();
        if (height >= 0) {
            child.SetHeight(height);
        }
    }
}

void StackPanel::AlignChild(IView& /*child*/) {}

void StackPanel::AlignPanelChild(IPanel& /*child*/) {}

}  // namespace vortrel
