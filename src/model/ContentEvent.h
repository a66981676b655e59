#pragma once

#include "model/ValueEvent.h"

namespace vortrel {

class IContent;

// A notification about one content: added, removed, changing or changed.
class ContentEvent : public ValueEvent<IContent*> {
  public:
    /// The content of the last notification.
    IContent* GetContent() const { return value_; }
};

}  // namespace vortrel
