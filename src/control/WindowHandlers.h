#pragma once

#include <cstdint>
#include <memory>

#include "ports/IDrawContext.h"

namespace vortrel {

class IControlWindow;
class IView;
class MouseDispatcher;

// The control's window half, written once for every build: the platform's window only
// translates its messages into these calls. It sizes the root view to the client area,
// paints the whole tree through one off-screen surface and one blit, hands presses, releases
// and moves to the control's own mouse dispatcher and timer ticks to the process's timer
// dispatcher, holds the mouse from a press to its release, and asks the window to repaint
// when the input changed something.
class WindowHandlers {
  public:
    /// Handlers for a root view and the dispatcher of its views' mouse input, which both
    /// outlive them.
    WindowHandlers(IView& root, MouseDispatcher& mouse) : root_(root), mouse_(mouse) {}

    /// The window to capture the mouse on and to repaint; none while there is no window.
    void SetWindow(IControlWindow* window) { window_ = window; }

    /// The client area has a new size: the root takes it and lays itself out again. A size
    /// below 1 either way (a minimised window) changes nothing. Paints follow by themselves.
    void OnSize(int16_t width, int16_t height);
    /// Paints the part `update` of a client area of the given size onto the window's
    /// context: the tree is drawn once into an off-screen surface of the client size,
    /// limited to that part, which is then copied to the window in one piece.
    void OnPaint(IDrawContext& target, int32_t clientWidth, int32_t clientHeight,
                 const DrawRect& update);
    /// The left button went down at a client point.
    void OnLeftButtonDown(int16_t x, int16_t y);
    /// The left button came up at a client point.
    void OnLeftButtonUp(int16_t x, int16_t y);
    /// The mouse moved to a client point.
    void OnMouseMove(int16_t x, int16_t y);
    /// A timer of the window ticked.
    void OnTimer(int32_t timerId);

  private:
    void Repaint() const;

    IView& root_;
    MouseDispatcher& mouse_;
    IControlWindow* window_ = nullptr;
    // Kept from paint to paint while the client size stays: a repaint then allocates nothing.
    std::unique_ptr<IDrawSurface> buffer_;
};

}  // namespace vortrel
