#pragma once

#include "model/ValueEvent.h"

namespace vortrel {

// A notification that something was shown or hidden.
class VisibilityEvent : public ValueEvent<bool> {
  public:
    /// The flag of the last notification.
    bool IsVisible() const { return value_; }
};

}  // namespace vortrel
