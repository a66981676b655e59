#include "views/ScrollBoxView.h"

#include "views/BorderView.h"
#include "views/MouseDispatcher.h"
#include "views/ScrollbarView.h"
#include "views/ThemeColors.h"

namespace vortrel {

ScrollBoxView::ScrollBoxView(int32_t orientation, ScrollbarView* scrollbar, MouseDispatcher& mouse)
    : orientation_(orientation), scrollbar_(scrollbar), mouse_(mouse) {
    mouse_.GetDown()->Attach(GetMouseDownEventHandler());
}

ScrollBoxView::~ScrollBoxView() {
    mouse_.GetDown()->Detach(GetMouseDownEventHandler());
}

void ScrollBoxView::Draw(IDrawContext& context) {
    ThemeColors& theme = ThemeColors::Instance();
    BorderView box(GetBounds(), theme.Border(ThemeKey::kScrollButton),
                   GetVisualState() == kPressed ? theme.Shadow(ThemeKey::kScrollButton)
                                                : theme.Background(ThemeKey::kScrollButton));
    box.Render(context);
}

void ScrollBoxView::OnMouseDown(int32_t /*x*/, int32_t /*y*/) {
    SetVisualState(kPressed);
}

void ScrollBoxView::OnMouseDragged(int32_t dx, int32_t dy) {
    if (scrollbar_ != nullptr) {
        scrollbar_->DragBy(dx, dy);
    }
}

void ScrollBoxView::OnMouseUp() {
    SetVisualState(kNormal);
}

}  // namespace vortrel
