#pragma once

#include "model/IObserver.h"

namespace vortrel {

class IView;

// A small observer that serves one view: when notified it forwards to one operation of the
// view. The view owns it (IView::MakeHandler) and deletes it with itself.
class ViewEventHandler : public IEventHandler {
  public:
    explicit ViewEventHandler(IView* view) : view_(view) {}

  protected:
    IView* view_;
};

// Forwards a layout event to IView::OnLayoutChanged.
class LayoutChangedHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Runs the view's OnLayoutChanged.
    void Handle(ISubject& subject) override;
};

// Forwards a selection event to IView::OnSelectionChanged with the selected view.
class SelectionChangedHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Runs the view's OnSelectionChanged.
    void Handle(ISubject& subject) override;
};

// Takes a press that no earlier subscriber took and that falls inside the view (edges
// included): captures the mouse for the view and runs its OnMouseDown.
class MouseDownEventHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Captures and forwards a press inside the view.
    void Handle(ISubject& subject) override;
};

// Ends the view's capture and forwards the release to IView::OnMouseUp.
class MouseUpEventHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Releases the capture and runs OnMouseUp.
    void Handle(ISubject& subject) override;
};

// Forwards a drag during the view's capture to IView::OnMouseDragged.
class MouseDraggedEventHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Runs OnMouseDragged with the movement.
    void Handle(ISubject& subject) override;
};

// Forwards a timer tick to IView::OnTimeElapsed.
class TimeElapsedEventHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Runs OnTimeElapsed with the timer's id.
    void Handle(ISubject& subject) override;
};

}  // namespace vortrel
