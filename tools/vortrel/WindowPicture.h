#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "ports/IDrawContext.h"

namespace vortrel {

class CTimelineControl;

// What a control's window shows, for the tools: the picture a paint of the whole client area
// draws now, a pixel of it as text, and the picture as a PNG file.

/// Paints a control's whole client area of the given size onto a new surface of the
/// installed drawing, as a paint of its window would; none when no surface can be made.
std::unique_ptr<IDrawSurface> PaintWindow(CTimelineControl& control, int32_t width, int32_t height);

/// A colour as "#RRGGBB".
std::string FormatColor(ColorRef color);

/// Writes a surface as a PNG file, replacing any file of that name in one step; false, with
/// the reason, when it cannot be written (the old file then stays as it was).
bool WritePng(const IDrawSurface& surface, const std::filesystem::path& path, std::string& error);

}  // namespace vortrel
