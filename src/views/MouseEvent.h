#pragma once

#include <cstdint>

#include "model/ISubject.h"

namespace vortrel {

class MouseDispatcher;

// A mouse notification of a MouseDispatcher. The dispatcher writes the position or the
// movement and clears handled before notifying; an observer that takes the input sets
// handled, and later observers see it.
class MouseEvent : public ISubject {
  public:
    /// An event of the dispatcher that announces it.
    explicit MouseEvent(MouseDispatcher& dispatcher) : dispatcher_(&dispatcher) {}

    /// The dispatcher that announces this event: a view that takes a press captures the
    /// mouse there.
    MouseDispatcher& GetDispatcher() const { return *dispatcher_; }
    /// Writes the point in client coordinates.
    void SetPosition(int32_t x, int32_t y) {
        x_ = x;
        y_ = y;
    }
    /// Writes the movement since the last point.
    void SetMovement(int32_t dx, int32_t dy) {
        dx_ = dx;
        dy_ = dy;
    }
    /// Writes whether the button is held.
    void SetButtonDown(bool down) { buttonDown_ = down; }
    /// Marks the input taken (or not).
    void SetHandled(bool handled) { handled_ = handled; }

    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    int32_t GetDx() const { return dx_; }
    int32_t GetDy() const { return dy_; }
    bool IsButtonDown() const { return buttonDown_; }
    bool IsHandled() const { return handled_; }

  private:
    MouseDispatcher* dispatcher_;
    int32_t x_ = 0;
    int32_t y_ = 0;
    int32_t dx_ = 0;
    int32_t dy_ = 0;
    bool buttonDown_ = false;
    bool handled_ = false;
};

}  // namespace vortrel
