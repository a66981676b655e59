#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "ports/ITimerHost.h"

namespace vortrel {

// The timers of a control's window in a process that runs no window system's message loop:
// it remembers when each running timer is next due and, while pumped, delivers each tick as
// its period elapses (to the process's TimerDispatcher, or to the window's own handler once
// one is given), sleeping in between and letting Qt handle its pending events.
class TimerPump : public ITimerHost {
  public:
    using Clock = std::chrono::steady_clock;

    /// Starts (or restarts) a timer: first due one period from now.
    void SetTimer(int32_t timerId, int32_t milliseconds) override;
    /// Stops a timer; unknown ids are ignored.
    void KillTimer(int32_t timerId) override;

    /// Delivers every tick from now on to a handler of the window (such as the control's
    /// OnTimer, which also repaints) instead of straight to the TimerDispatcher.
    void SetTickHandler(std::function<void(int32_t)> handler) { tickHandler_ = std::move(handler); }

    /// Fires a running timer at once, as the window system may deliver a tick early; its
    /// next tick is due one period later. Unknown ids are ignored.
    void FireNow(int32_t timerId);

    /// The running timers: id → period in milliseconds.
    const std::map<int32_t, int32_t>& Periods() const { return periods_; }

    /// Fires the timers as they fall due until a span has passed or done() holds (checked
    /// first and after every tick); true when done() held.
    bool Pump(std::chrono::milliseconds span, const std::function<bool()>& done = {});

  private:
    void Tick(int32_t timerId);

    std::function<void(int32_t)> tickHandler_;
    std::map<int32_t, int32_t> periods_;
    std::map<int32_t, Clock::time_point> due_;
};

}  // namespace vortrel
