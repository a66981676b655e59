#pragma once

#include <windows.h>

#include "ports/LogFont.h"

namespace vortrel {

/// The system's logical font record with the fields of ours, one for one.
LOGFONTW ToLogFontW(const LogFont& font);

/// Our logical font record from the system's, one for one.
LogFont FromLogFontW(const LOGFONTW& record);

}  // namespace vortrel
