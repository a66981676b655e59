#include "views/MouseDispatcher.h"

namespace vortrel {

namespace {

// Writes a point into an event, clears its flag and notifies it; answers whether some
// observer took it.
bool NotifyAt(MouseEvent& event, int32_t x, int32_t y, bool buttonDown) {
    event.SetPosition(x, y);
    event.SetButtonDown(buttonDown);
    event.SetHandled(false);
    event.Notify();
    return event.IsHandled();
}

}  // namespace

MouseDispatcher::MouseDispatcher()
    : down_(std::make_shared<MouseEvent>(*this)),
      up_(std::make_shared<MouseEvent>(*this)),
      dragged_(std::make_shared<MouseEvent>(*this)),
      active_(std::make_shared<MouseEvent>(*this)),
      unhandledDown_(std::make_shared<MouseEvent>(*this)) {}

bool MouseDispatcher::OnMouseDown(int32_t x, int32_t y) {
    buttonDown_ = true;
    lastX_ = x;
    lastY_ = y;
    const bool taken = NotifyAt(*down_, x, y, false);
    const bool active = NotifyAt(*active_, x, y, false);
    if (taken) {
        return true;
    }
    return NotifyAt(*unhandledDown_, x, y, false) || active;
}

bool MouseDispatcher::OnMouseUp(int32_t x, int32_t y) {
    buttonDown_ = false;
    lastX_ = x;
    lastY_ = y;
    const bool taken = NotifyAt(*up_, x, y, false);
    const bool active = NotifyAt(*active_, x, y, false);
    return taken || active;
}

bool MouseDispatcher::OnMouseMove(int32_t x, int32_t y) {
    bool dragged = false;
    if (buttonDown_) {
        dragged_->SetMovement(x - lastX_, y - lastY_);
        lastX_ = x;
        lastY_ = y;
        dragged_->SetButtonDown(true);
        dragged_->SetHandled(false);
        dragged_->Notify();
        dragged = dragged_->IsHandled();
    }
    const bool active = NotifyAt(*active_, x, y, buttonDown_);
    return dragged || active;
}

}  // namespace vortrel
