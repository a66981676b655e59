#include "views/ViewEventHandler.h"

#include "model/TimerEvent.h"
#include "views/IView.h"
#include "views/MouseEvent.h"
#include "views/SelectionEvent.h"

namespace vortrel {

void LayoutChangedHandler::Handle(ISubject& /*subject*/) {
    view_->OnLayoutChanged();
}

void SelectionChangedHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<SelectionEvent*>(&subject)) {
        view_->OnSelectionChanged(event->GetSelected());
    }
}

void MouseDownEventHandler::Handle(ISubject& subject) {
    auto* event = dynamic_cast<MouseEvent*>(&subject);
    if (event == nullptr || event->IsHandled()) {
        return;
    }
    // Positions only: neither the visual state nor a parent's clip decides who is hit.
    const DrawRect bounds = view_->GetBounds();
    const int32_t x = event->GetX();
    const int32_t y = event->GetY();
    if (x < bounds.left || x > bounds.right || y < bounds.top || y > bounds.bottom) {
        return;
    }
    view_->CaptureMouse(event->GetDispatcher());
    view_->OnMouseDown(x, y);
    event->SetHandled(true);
}

void MouseUpEventHandler::Handle(ISubject& subject) {
    // The release detaches this handler while the up event is being notified; the subject
    // removes it once this call returns.
    view_->ReleaseMouse();
    view_->OnMouseUp();
    if (auto* event = dynamic_cast<MouseEvent*>(&subject)) {
        event->SetHandled(true);
    }
}

void MouseDraggedEventHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<MouseEvent*>(&subject)) {
        view_->OnMouseDragged(event->GetDx(), event->GetDy());
        event->SetHandled(true);
    }
}

void TimeElapsedEventHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<TimerEvent*>(&subject)) {
        view_->OnTimeElapsed(event->GetTimerId());
    }
}

}  // namespace vortrel
