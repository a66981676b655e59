#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ports/LogFont.h"

namespace vortrel {

// The platform's text drawing: renders a text antialiased in white on black onto a canvas,
// from a layout box whose top-left corner is at (x, y), without wrapping or clipping; line
// feeds start new lines. The result is the glyph coverage, one byte a pixel.
class ITextRasteriser {
  public:
    virtual ~ITextRasteriser() = default;

    /// Renders the text onto a width x height canvas; coverage gets width * height bytes,
    /// rows top to bottom. False when the platform cannot draw.
    virtual bool Render(const std::wstring& text, const LogFont& font, int32_t x, int32_t y,
                        int32_t width, int32_t height, std::vector<uint8_t>& coverage) = 0;
};

/// Installs the process-wide text rasteriser (none removes it).
void SetTextRasteriser(std::shared_ptr<ITextRasteriser> rasteriser);

/// The installed text rasteriser, or none.
std::shared_ptr<ITextRasteriser> GetTextRasteriser();

}  // namespace vortrel
