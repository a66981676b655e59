#pragma once

#include <memory>

#include "ports/ITextRasteriser.h"

namespace vortrel {

// Text drawing on Qt: the logical font becomes a QFont, the text is painted antialiased in
// white on a black image, and the image's blue channel is the coverage.
class QtTextRasteriser : public ITextRasteriser {
  public:
    bool Render(const std::wstring& text, const LogFont& font, int32_t x, int32_t y, int32_t width,
                int32_t height, std::vector<uint8_t>& coverage) override;
};

/// A QtTextRasteriser, first starting a Qt GUI application (off-screen when no display is
/// named) if the process has none yet; none when the process runs a Qt application that
/// cannot draw text.
std::shared_ptr<ITextRasteriser> StartQtTextRasteriser();

}  // namespace vortrel
