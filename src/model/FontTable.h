#pragma once

#include <cstdint>

#include "ports/LogFont.h"

namespace vortrel {

// The process-wide table of font handles: the host names a font by an integer handle, and
// the table maps it to its logical font record, as the platform's font handles do. Where the
// platform installs font handles of its own (IFontHandles), the table hands every call to them.
class FontTable {
  public:
    /// Makes a new handle (never 0) for a copy of the record.
    static int32_t Create(const LogFont& font);
    /// Fills the record of a handle; false for 0 or a handle that was never made or deleted.
    static bool Get(int32_t handle, LogFont& font);
    /// Forgets a handle; false when it is unknown.
    static bool Delete(int32_t handle);
};

}  // namespace vortrel
