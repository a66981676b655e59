#pragma once

#include "model/ISubject.h"

namespace vortrel {

// A notification that a view's layout changed; it carries no data of its own. Panels pass
// it up, so a change anywhere reaches the root.
class LayoutEvent : public ISubject {};

}  // namespace vortrel
