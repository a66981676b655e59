#pragma once

namespace vortrel {

/// The cursors the control shows on its window.
enum class ControlCursor { Arrow, Wait };

// The control's own window as the portable control sees it: it can be asked to repaint and
// to show a cursor. Timers run on it through the TimerDispatcher.
class IControlWindow {
  public:
    virtual ~IControlWindow() = default;

    /// Asks for the whole client area to be painted again (without erasing).
    virtual void Invalidate() = 0;
    /// Shows a cursor over the window.
    virtual void SetCursor(ControlCursor cursor) = 0;
};

}  // namespace vortrel
