#include "views/BorderView.h"

namespace vortrel {

BorderView::BorderView(const DrawRect& bounds, ColorRef penColor, ColorRef fillColor)
    : penColor_(penColor), fillColor_(fillColor) {
    SetX(bounds.left);
    SetY(bounds.top);
    SetWidth(bounds.Width());
    SetHeight(bounds.Height());
}

void BorderView::Draw(IDrawContext& context) {
    context.SetPen(penColor_, penWidth_);
    if (hollow_) {
        context.SetNullBrush();
    } else {
        context.SetBrush(fillColor_);
    }
    const DrawRect bounds = GetBounds();
    context.Rectangle(bounds);
    switch (edgeStyle_) {
        case kBumpEdge:
            context.DrawEdge(bounds, EdgeStyle::Bump);
            break;
        case kRaisedEdge:
            context.DrawEdge(bounds, EdgeStyle::Raised);
            break;
        case kSunkenEdge:
            context.DrawEdge(bounds, EdgeStyle::Sunken);
            break;
        default:
            break;
    }
}

}  // namespace vortrel
