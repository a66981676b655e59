#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "ports/IControlWindow.h"

namespace vortrel {
class CTimelineControl;
class IDrawing;
class WindowsTimerHost;
}  // namespace vortrel

namespace vortrel::com {

// The control's own child window: it only translates its messages into the portable
// control's window calls (size, left button with the mouse held from press to release,
// moves, paints through the GDI drawing, timer ticks) and lets the OLE side hear of mouse
// activation and focus. Its window class belongs to the module. After a timer tick every
// control window of the process repaints, as a tick on one window may belong to another
// control's views.
class ControlWindow final : public IControlWindow {
  public:
    /// What the OLE side is told: a press asks for activation, focus comes and goes.
    struct Listener {
        std::function<void()> mouseActivate;
        std::function<void(bool)> focus;
    };

    ControlWindow(CTimelineControl& control, Listener listener);
    ~ControlWindow() override;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    /// Makes the window as a child of parent at rect (parent client pixels); false when the
    /// system refuses it. A window that exists already is kept.
    bool Create(HWND parent, const RECT& rect);
    /// Destroys the window; the control then has none.
    void Destroy();
    /// The window, or null.
    HWND Handle() const { return window_; }

    // IControlWindow.
    void Invalidate() override;
    void SetCursor(ControlCursor cursor) override;
    void SetCapture() override;
    void ReleaseCapture() override;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    CTimelineControl& control_;
    Listener listener_;
    std::shared_ptr<IDrawing> drawing_;
    HWND window_ = nullptr;
    std::unique_ptr<WindowsTimerHost> timers_;
    HCURSOR arrowCursor_;
    HCURSOR waitCursor_;
};

}  // namespace vortrel::com
