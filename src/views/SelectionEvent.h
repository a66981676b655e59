#pragma once

#include "model/ValueEvent.h"

namespace vortrel {

class IView;

// A notification that the selection changed at or below a view, carrying the selected view
// (none when the selection was cleared).
class SelectionEvent : public ValueEvent<IView*> {
  public:
    /// The view of the last notification, or none.
    IView* GetSelected() const { return value_; }
};

}  // namespace vortrel
