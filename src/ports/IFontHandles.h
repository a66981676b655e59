#pragma once

#include <cstdint>
#include <memory>

#include "ports/LogFont.h"

namespace vortrel {

// The platform's font handles: the host names a font by an integer handle and the system reads
// its logical font record through it. A platform whose fonts are objects of its own (GDI font
// handles) installs one; without one the model keeps a process-wide table of its own.
class IFontHandles {
  public:
    virtual ~IFontHandles() = default;

    /// Makes a new handle (never 0) for the record; 0 when the platform cannot make one.
    virtual int32_t Create(const LogFont& font) = 0;
    /// Fills the record of a handle; false for 0 or a handle that is not a live font.
    virtual bool Get(int32_t handle, LogFont& font) = 0;
    /// Frees a handle; false when it is not a live font.
    virtual bool Delete(int32_t handle) = 0;
};

/// Installs the process's font handles (none goes back to the model's own table).
void SetFontHandles(std::shared_ptr<IFontHandles> handles);

/// The installed font handles, or none.
std::shared_ptr<IFontHandles> GetFontHandles();

}  // namespace vortrel
