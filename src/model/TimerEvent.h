#pragma once

#include <cstdint>

#include "model/ValueEvent.h"

namespace vortrel {

// A notification that a window timer fired, carrying the timer's id.
class TimerEvent : public ValueEvent<int32_t> {
  public:
    /// The timer id of the last notification.
    int32_t GetTimerId() const { return value_; }
};

}  // namespace vortrel
