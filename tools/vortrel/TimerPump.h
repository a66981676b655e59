#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>

#include "ports/ITimerHost.h"

namespace vortrel {

// The timers of a control's window in a process that runs no window system's message loop:
// it remembers when each running timer is next due and, while pumped, fires each one
// through the process's TimerDispatcher as its period elapses, sleeping in between and
// letting Qt handle its pending events.
class TimerPump : public ITimerHost {
  public:
    using Clock = std::chrono::steady_clock;

    /// Starts (or restarts) a timer: first due one period from now.
    void SetTimer(int32_t timerId, int32_t milliseconds) override;
    /// Stops a timer; unknown ids are ignored.
    void KillTimer(int32_t timerId) override;

    /// Fires a running timer at once, as the window system may deliver a tick early; its
    /// next tick is due one period later. Unknown ids are ignored.
    void FireNow(int32_t timerId);

    /// The running timers: id → period in milliseconds.
    const std::map<int32_t, int32_t>& Periods() const { return periods_; }

    /// Fires the timers as they fall due until a span has passed or done() holds (checked
    /// first and after every tick); true when done() held.
    bool Pump(std::chrono::milliseconds span, const std::function<bool()>& done = {});

  private:
    std::map<int32_t, int32_t> periods_;
    std::map<int32_t, Clock::time_point> due_;
};

}  // namespace vortrel
