#pragma once

#include "views/IView.h"

namespace vortrel {

// Base of the rulers that frame the tracks; it adds nothing to a view.
class IAxis : public IView {};

}  // namespace vortrel
