#pragma once

#include "ports/IFontHandles.h"

namespace vortrel {

// Font handles on Windows are GDI fonts (HFONT): the handle a host passes is a font it made
// with the system, and a font the control gives back is one the host may select into a device
// context and must delete. GDI handles keep their value within 32 bits on 64-bit Windows too,
// so a handle travels as a sign-extended 32-bit integer on both builds.
class GdiFontHandles final : public IFontHandles {
  public:
    int32_t Create(const LogFont& font) override;
    bool Get(int32_t handle, LogFont& font) override;
    bool Delete(int32_t handle) override;
};

}  // namespace vortrel
