#pragma once

#include <cstdint>

namespace vortrel {

// The window on which the process's timers run: it sets and kills a timer by id, and calls
// TimerDispatcher::Fire with the id at each tick.
class ITimerHost {
  public:
    virtual ~ITimerHost() = default;

    /// Starts (or restarts) a periodic timer.
    virtual void SetTimer(int32_t timerId, int32_t milliseconds) = 0;
    /// Stops a timer; unknown ids are ignored.
    virtual void KillTimer(int32_t timerId) = 0;
};

}  // namespace vortrel
