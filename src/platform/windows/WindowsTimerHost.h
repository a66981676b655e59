#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "ports/ITimerHost.h"

namespace vortrel {

// Timers on a window: SetTimer and KillTimer with the timer id as the event id. Given a window,
// its own window procedure hands each WM_TIMER on (to the control's OnTimer). Without one, it
// makes a hidden message-only window of its own whose ticks go to a callback, by default the
// process's TimerDispatcher; such a host must live on a thread that dispatches messages.
class WindowsTimerHost final : public ITimerHost {
  public:
    using Tick = std::function<void(int32_t timerId)>;

    /// Timers on the given window.
    explicit WindowsTimerHost(HWND window);
    /// Timers on a message-only window of its own; none when that window cannot be made.
    explicit WindowsTimerHost(Tick tick = {});
    ~WindowsTimerHost() override;
    WindowsTimerHost(const WindowsTimerHost&) = delete;
    WindowsTimerHost& operator=(const WindowsTimerHost&) = delete;

    void SetTimer(int32_t timerId, int32_t milliseconds) override;
    void KillTimer(int32_t timerId) override;

    /// The window the timers run on (null when it could not be made).
    HWND Window() const { return window_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool owned_ = false;
    Tick tick_;
};

}  // namespace vortrel
