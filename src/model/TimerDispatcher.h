#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "model/TimerEvent.h"
#include "ports/ITimerHost.h"

namespace vortrel {

// The process-wide hub of window timers. Every part of the system takes its timer ids from
// one counter, so ids are unique in the process; every tick of any timer is announced
// through one TimerEvent, and each handler picks out its own ids. Timers run on the window
// registered last; when that window goes, the running timers move to the one before it.
class TimerDispatcher {
  public:
    /// The dispatcher of this process, made on first use.
    static TimerDispatcher& Instance();

    /// Takes the next timer id (the first is 1).
    int32_t TakeTimerId();
    /// The subject notified with the timer id at every tick.
    const std::shared_ptr<TimerEvent>& GetTimerEvent() const { return timerEvent_; }

    /// Makes a window the one timers run on; the running timers move to it.
    void RegisterHost(ITimerHost* host);
    /// Forgets a window; if timers ran on it they move to the window registered before it.
    void UnregisterHost(ITimerHost* host);
    /// The window timers run on, or none.
    ITimerHost* GetHost() const { return hosts_.empty() ? nullptr : hosts_.back(); }

    /// Starts a periodic timer on the current window (remembered until killed, so that it
    /// runs as soon as a window is there).
    void SetTimer(int32_t timerId, int32_t milliseconds);
    /// Stops a timer.
    void KillTimer(int32_t timerId);
    /// Announces one tick of a timer.
    void Fire(int32_t timerId);

  private:
    TimerDispatcher();

    std::shared_ptr<TimerEvent> timerEvent_;
    int32_t nextTimerId_ = 1;
    std::vector<ITimerHost*> hosts_;
    std::map<int32_t, int32_t> running_;  // timer id → period in milliseconds
};

}  // namespace vortrel
