#pragma once

#include <ostream>

namespace vortrel {

/// Builds a small timeline skeleton in memory, prints it and checks what the model did with
/// it; true when every check held.
bool RunSelfCheck(std::ostream& out);

}  // namespace vortrel
