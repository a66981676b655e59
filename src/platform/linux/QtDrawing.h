#pragma once

#include <memory>

#include "ports/IDrawContext.h"

namespace vortrel {

// The drawing port on Qt, off-screen: surfaces are RGB32 images painted by QtDrawContext,
// pictures are decoded by Qt's PNG and BMP readers, and the screen's context is a one-pixel
// surface for measuring text.
class QtDrawing : public IDrawing {
  public:
    std::unique_ptr<IDrawSurface> CreateSurface(int32_t width, int32_t height) override;
    std::unique_ptr<IDrawImage> DecodeImage(const uint8_t* bytes, size_t size) override;
    std::unique_ptr<IDrawImage> ImageFromDib(const DibBitmap& bitmap) override;
    std::unique_ptr<IDrawContext> ScreenContext() override;
};

/// A QtDrawing, first starting a Qt GUI application (off-screen when no display is named)
/// if the process has none yet, as text needs one; none when the process runs a Qt
/// application that cannot draw text.
std::shared_ptr<IDrawing> StartQtDrawing();

}  // namespace vortrel
