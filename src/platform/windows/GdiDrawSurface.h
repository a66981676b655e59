#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/windows/GdiDrawContext.h"
#include "ports/IDrawContext.h"

namespace vortrel {

class GdiplusSession;

// An off-screen surface on GDI: a memory device context with a 32-bit top-down DIB section
// selected, black when made, and its drawing context; its pixels are read in place.
class GdiDrawSurface : public IDrawSurface {
  public:
    /// A new black surface compatible with a device context (none: the screen); none when a
    /// side is not positive, the surface is too large or GDI cannot make it.
    static std::unique_ptr<GdiDrawSurface> Make(int32_t width, int32_t height, HDC reference,
                                                std::shared_ptr<GdiplusSession> session);
    ~GdiDrawSurface() override;
    GdiDrawSurface(const GdiDrawSurface&) = delete;
    GdiDrawSurface& operator=(const GdiDrawSurface&) = delete;

    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    IDrawContext& Context() override { return *context_; }
    ColorRef PixelAt(int32_t x, int32_t y) const override;
    /// The memory device context of the surface.
    HDC Handle() const { return dc_; }

  private:
    GdiDrawSurface(int32_t width, int32_t height) : width_(width), height_(height) {}

    int32_t width_;
    int32_t height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    const uint32_t* bits_ = nullptr;
    std::optional<GdiDrawContext> context_;
};

}  // namespace vortrel
