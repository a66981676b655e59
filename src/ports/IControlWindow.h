#pragma once

namespace vortrel {

/// The cursors the control shows on its window.
enum class ControlCursor { Arrow, Wait };

// The control's own window as the portable control sees it: it can be asked to repaint, to
// show a cursor and to keep the mouse while a button is held. Timers run on it through the
// TimerDispatcher.
class IControlWindow {
  public:
    virtual ~IControlWindow() = default;

    /// Asks for the whole client area to be painted again (without erasing).
    virtual void Invalidate() = 0;
    /// Shows a cursor over the window.
    virtual void SetCursor(ControlCursor cursor) = 0;
    /// Sends every mouse message to the window, wherever the pointer is, until released.
    virtual void SetCapture() = 0;
    /// Gives the mouse back to whatever window lies under the pointer.
    virtual void ReleaseCapture() = 0;
};

}  // namespace vortrel
