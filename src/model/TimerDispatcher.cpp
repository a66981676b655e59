#include "model/TimerDispatcher.h"

#include <algorithm>

namespace vortrel {

TimerDispatcher& TimerDispatcher::Instance() {
    static TimerDispatcher dispatcher;
    return dispatcher;
}

TimerDispatcher::TimerDispatcher() : timerEvent_(std::make_shared<TimerEvent>()) {}

int32_t TimerDispatcher::TakeTimerId() {
    return nextTimerId_++;
}

void TimerDispatcher::RegisterHost(ITimerHost* host) {
    if (host == nullptr) {
        return;
    }
    ITimerHost* previous = GetHost();
    hosts_.erase(std::remove(hosts_.begin(), hosts_.end(), host), hosts_.end());
    hosts_.push_back(host);
    if (previous != host) {
        for (auto [id, milliseconds] : running_) {
            if (previous != nullptr) {
                previous->KillTimer(id);
            }
            host->SetTimer(id, milliseconds);
        }
    }
}

void TimerDispatcher::UnregisterHost(ITimerHost* host) {
    const bool wasCurrent = host != nullptr && GetHost() == host;
    hosts_.erase(std::remove(hosts_.begin(), hosts_.end(), host), hosts_.end());
    if (wasCurrent) {
        // The window is going away with its timers; they go on on the next window.
        if (ITimerHost* next = GetHost()) {
            for (auto [id, milliseconds] : running_) {
                next->SetTimer(id, milliseconds);
            }
        }
    }
}

void TimerDispatcher::SetTimer(int32_t timerId, int32_t milliseconds) {
    running_[timerId] = milliseconds;
    if (ITimerHost* host = GetHost()) {
        host->SetTimer(timerId, milliseconds);
    }
}

void TimerDispatcher::KillTimer(int32_t timerId) {
    running_.erase(timerId);
    if (ITimerHost* host = GetHost()) {
        host->KillTimer(timerId);
    }
}

void TimerDispatcher::Fire(int32_t timerId) {
    timerEvent_->Notify(timerId);
}

}  // namespace vortrel
