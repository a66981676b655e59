#include "TimerPump.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>
#include <thread>

#include "model/TimerDispatcher.h"

namespace vortrel {

namespace {

// Longest sleep between two looks at Qt's events.
constexpr std::chrono::milliseconds kSlice(10);

void HandleEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace

void TimerPump::SetTimer(int32_t timerId, int32_t milliseconds) {
    const int32_t period = std::max(milliseconds, 1);
    periods_[timerId] = period;
    due_[timerId] = Clock::now() + std::chrono::milliseconds(period);
}

void TimerPump::KillTimer(int32_t timerId) {
    periods_.erase(timerId);
    due_.erase(timerId);
}

void TimerPump::FireNow(int32_t timerId) {
    const auto period = periods_.find(timerId);
    if (period == periods_.end()) {
        return;
    }
    due_[timerId] = Clock::now() + std::chrono::milliseconds(period->second);
    Tick(timerId);
}

void TimerPump::Tick(int32_t timerId) {
    if (tickHandler_) {
        tickHandler_(timerId);
    } else {
        TimerDispatcher::Instance().Fire(timerId);
    }
}

bool TimerPump::Pump(std::chrono::milliseconds span, const std::function<bool()>& done) {
    const Clock::time_point end = Clock::now() + span;
    while (true) {
        HandleEvents();
        if (done && done()) {
            return true;
        }
        const Clock::time_point now = Clock::now();
        // The earliest timer that is due fires; a tick may set or kill timers, so the
        // schedule is looked at afresh after each one.
        std::optional<int32_t> next;
        for (const auto& [id, due] : due_) {
            if (due <= now && (!next || due < due_.at(*next))) {
                next = id;
            }
        }
        if (next) {
            const std::chrono::milliseconds period(periods_.at(*next));
            due_[*next] += period;
            if (due_[*next] <= now) {
                due_[*next] = now + period;  // ticks missed while busy do not pile up
            }
            Tick(*next);
            continue;
        }
        if (now >= end) {
            return false;
        }
        Clock::time_point wake = std::min(end, now + kSlice);
        for (const auto& [id, due] : due_) {
            wake = std::min(wake, due);
        }
        std::this_thread::sleep_until(wake);
    }
}

}  // namespace vortrel
