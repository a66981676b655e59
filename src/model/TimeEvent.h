#pragma once

#include "model/ISubject.h"

namespace vortrel {

// A notification that the timeline's scale changed; it carries no data of its own.
class TimeEvent : public ISubject {};

}  // namespace vortrel
