#pragma once

#include <memory>

#include "ports/ITextRasteriser.h"

namespace vortrel {

// Text drawing on GDI+: the text in white on a black canvas, antialiased unless the font asks
// for no antialiasing, turned by the font's escapement about the layout box's corner.
class GdiplusTextRasteriser final : public ITextRasteriser {
  public:
    bool Render(const std::wstring& text, const LogFont& font, int32_t x, int32_t y, int32_t width,
                int32_t height, std::vector<uint8_t>& coverage) override;
};

/// Starts GDI+ for the process (once; it stays up to the end) and returns the rasteriser;
/// none when GDI+ cannot start.
std::shared_ptr<ITextRasteriser> StartGdiplusTextRasteriser();

}  // namespace vortrel
