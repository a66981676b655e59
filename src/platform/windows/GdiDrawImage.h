#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "ports/IDrawContext.h"

namespace vortrel {

// GDI+ kept running while any picture or drawing still needs it; it starts with the first
// session and ends with the last.
class GdiplusSession {
  public:
    /// A running session; none when GDI+ cannot start.
    static std::shared_ptr<GdiplusSession> Start();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

  private:
    explicit GdiplusSession(ULONG_PTR token) : token_(token) {}
    ULONG_PTR token_;
};

// A decoded picture for GDI+: 32-bit ARGB pixels of its own (not premultiplied: Wine's GDI+
// copies premultiplied pictures unscaled as if they were not), top row first, and a GDI+ bitmap
// over them, ready to be drawn.
class GdiDrawImage : public IDrawImage {
  public:
    /// A picture of width x height ARGB pixels (0xAARRGGBB), top row first.
    GdiDrawImage(std::shared_ptr<GdiplusSession> session, int32_t width, int32_t height,
                 std::vector<uint32_t> pixels);
    ~GdiDrawImage() override;

    /// A picture copied from a GDI+ bitmap (its alpha kept); none when its pixels cannot be
    /// read or it is larger than a picture may be.
    static std::unique_ptr<GdiDrawImage> FromBitmap(std::shared_ptr<GdiplusSession> session,
                                                    Gdiplus::Bitmap& bitmap);

    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    /// The GDI+ bitmap of the picture.
    Gdiplus::Bitmap& Bitmap() const { return *bitmap_; }

  private:
    std::shared_ptr<GdiplusSession> session_;
    int32_t width_;
    int32_t height_;
    std::vector<uint32_t> pixels_;
    std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

/// Pictures larger than this on a side are refused before their pixels are allocated.
inline constexpr int32_t kMaxPictureSide = 8192;

}  // namespace vortrel
