#pragma once

#include <stdexcept>

namespace vortrel {

// A failure of the editing timeline, carrying the fixed message of the step that failed
// ("Could not insert track", …). Callers catch std::exception and so treat it like the
// out-of-range error of an unknown catalogue name.
class DesError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace vortrel
