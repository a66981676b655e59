#pragma once

#include <cstdint>

#include "model/ValueEvent.h"

namespace vortrel {

// A notification that carries one integer: a position, a progress or a result, depending on
// which of the model's subjects it is.
class SeekEvent : public ValueEvent<int32_t> {
  public:
    /// The value of the last notification.
    int32_t GetValue() const { return value_; }
};

}  // namespace vortrel
