#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/TimerDispatcher.h"
#include "ports/ITimerHost.h"

namespace vortrel::testing {

// A window for the process's timers with a clock of its own: it registers itself with the
// TimerDispatcher for its lifetime, keeps each running timer's period and next tick, and
// Advance moves the clock on, firing every tick that falls due in time order, as a window
// with periodic timers would. Setting a running timer again restarts its period.
class FakeTimerHost : public ITimerHost {
  public:
    FakeTimerHost() { TimerDispatcher::Instance().RegisterHost(this); }
    ~FakeTimerHost() override { TimerDispatcher::Instance().UnregisterHost(this); }
    FakeTimerHost(const FakeTimerHost&) = delete;
    FakeTimerHost& operator=(const FakeTimerHost&) = delete;

    void SetTimer(int32_t timerId, int32_t milliseconds) override {
        timers_[timerId] = {milliseconds, now_ + milliseconds};
    }
    void KillTimer(int32_t timerId) override { timers_.erase(timerId); }

    /// Moves the clock on by some milliseconds, firing the ticks due on the way.
    void Advance(int64_t milliseconds) {
        const int64_t end = now_ + milliseconds;
        for (;;) {
            auto next = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it) {
                if (it->second.due <= end &&
                    (next == timers_.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == timers_.end()) {
                break;
            }
            now_ = next->second.due;
            // A period below 1 ms still advances, so a zero-period timer cannot hang a test.
            next->second.due += next->second.period > 0 ? next->second.period : 1;
            const int32_t id = next->first;
            fired.push_back({now_, id});
            TimerDispatcher::Instance().Fire(id);
        }
        now_ = end;
    }

    /// Whether a timer runs, and its period.
    bool IsRunning(int32_t timerId) const { return timers_.count(timerId) != 0; }
    int32_t PeriodOf(int32_t timerId) const {
        auto it = timers_.find(timerId);
        return it == timers_.end() ? 0 : it->second.period;
    }
    /// The clock in milliseconds since the host was made.
    int64_t Now() const { return now_; }

    /// Every tick fired: when and which timer.
    struct Tick {
        int64_t at;
        int32_t timerId;
    };
    std::vector<Tick> fired;

  private:
    struct Timer {
        int32_t period;
        int64_t due;
    };
    std::map<int32_t, Timer> timers_;
    int64_t now_ = 0;
};

}  // namespace vortrel::testing
