#pragma once

#include <cstdint>
#include <memory>

#include "views/MouseEvent.h"

namespace vortrel {

// The hub of one control's mouse input. The control's window hands it every press, release
// and move in client coordinates; it announces them through five subjects that the views of
// that control subscribe to, and says whether some view took the input (the window then
// repaints). It never holds views. Each timeline view owns one, so that several controls in
// one process never see each other's input.
class MouseDispatcher {
  public:
    MouseDispatcher();
    // The events are the identity views subscribe to: a copy would lose them.
    MouseDispatcher(const MouseDispatcher&) = delete;
    MouseDispatcher& operator=(const MouseDispatcher&) = delete;

    /// The button went down: announces down, then active; unhandledDown when no view took
    /// the press. True when some view handled it.
    bool OnMouseDown(int32_t x, int32_t y);
    /// The button came up: announces up, then active. True when some view handled it.
    bool OnMouseUp(int32_t x, int32_t y);
    /// The mouse moved: announces dragged while the button is held, then active. True when
    /// some view handled it.
    bool OnMouseMove(int32_t x, int32_t y);

    /// Every press.
    const std::shared_ptr<MouseEvent>& GetDown() const { return down_; }
    /// Every release.
    const std::shared_ptr<MouseEvent>& GetUp() const { return up_; }
    /// Every move with the button held, with the movement since the last point.
    const std::shared_ptr<MouseEvent>& GetDragged() const { return dragged_; }
    /// Every press, release and move.
    const std::shared_ptr<MouseEvent>& GetActive() const { return active_; }
    /// A press that no subscriber of down took.
    const std::shared_ptr<MouseEvent>& GetUnhandledDown() const { return unhandledDown_; }

    /// Whether the button is held.
    bool IsButtonDown() const { return buttonDown_; }

  private:
    bool buttonDown_ = false;
    int32_t lastX_ = 0;
    int32_t lastY_ = 0;
    std::shared_ptr<MouseEvent> down_;
    std::shared_ptr<MouseEvent> up_;
    std::shared_ptr<MouseEvent> dragged_;
    std::shared_ptr<MouseEvent> active_;
    std::shared_ptr<MouseEvent> unhandledDown_;
};

}  // namespace vortrel
