#pragma once

#include <windows.h>

#include <memory>

#include "ports/IDrawContext.h"

namespace vortrel {

class GdiplusSession;

// The drawing port on GDI and GDI+: surfaces are memory device contexts with DIB sections,
// pictures are decoded by GDI+ from PNG and BMP bytes or copied from bitmaps, and the screen's
// context for measuring text is a one-pixel memory device context (fonts are sized in pixels,
// so it measures as the screen does).
class GdiDrawing : public IDrawing {
  public:
    /// A drawing with GDI+ started; none when GDI+ cannot start.
    static std::shared_ptr<GdiDrawing> Start();

    std::unique_ptr<IDrawSurface> CreateSurface(int32_t width, int32_t height) override;
    std::unique_ptr<IDrawImage> DecodeImage(const uint8_t* bytes, size_t size) override;
    std::unique_ptr<IDrawImage> ImageFromDib(const DibBitmap& bitmap) override;
    std::unique_ptr<IDrawContext> ScreenContext() override;

    /// A picture copied from a bitmap handle (its palette none); none when it is not one.
    std::unique_ptr<IDrawImage> ImageFromBitmapHandle(HBITMAP bitmap);
    /// A drawing context on a device context that outlives it, such as a window's paint
    /// context; the device context is given back as it was when the context ends.
    std::unique_ptr<IDrawContext> ContextOn(HDC dc);

  private:
    explicit GdiDrawing(std::shared_ptr<GdiplusSession> session) : session_(std::move(session)) {}

    std::shared_ptr<GdiplusSession> session_;
};

}  // namespace vortrel
