#pragma once

#include <windows.h>

#include "ports/LogFont.h"

namespace vortrel {

/// The platform's font record of a logical font as the drawing uses it: its height kept to
/// 4096 pixels, "Arial" and the other common faces met by the installed faces of their
/// metrics where they are missing, and every antialiased quality drawn in grey levels.
LOGFONTW ToDrawingLogFont(const LogFont& font);

/// A new font of a logical font as ToDrawingLogFont records it; none when GDI cannot make it.
HFONT CreateGdiFont(const LogFont& font);

}  // namespace vortrel
