#pragma once

#include <cstdint>

#include "views/IView.h"

namespace vortrel {

class MouseDispatcher;

class ScrollbarView;

// The thumb of a scroll bar: dragging it moves the bar's position by the drag scaled from
// bar pixels to target pixels.
class ScrollBoxView : public IView {
  public:
    /// A thumb along a bar of an orientation (0 horizontal, 1 vertical), taking presses
    /// from a dispatcher that outlives it.
    ScrollBoxView(int32_t orientation, ScrollbarView* scrollbar, MouseDispatcher& mouse);
    ~ScrollBoxView() override;

    /// Draws the thumb, darker while pressed.
    void Draw(IDrawContext& context) override;
    /// Shows the thumb pressed.
    void OnMouseDown(int32_t x, int32_t y) override;
    /// Drags the bar's position.
    void OnMouseDragged(int32_t dx, int32_t dy) override;
    /// Shows the thumb released.
    void OnMouseUp() override;

    int32_t GetOrientation() const { return orientation_; }

  private:
    int32_t orientation_;
    ScrollbarView* scrollbar_;
    MouseDispatcher& mouse_;
};

}  // namespace vortrel
