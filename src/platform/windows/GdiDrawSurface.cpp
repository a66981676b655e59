#include "platform/windows/GdiDrawSurface.h"

#include <utility>

namespace vortrel {

namespace {

// Surfaces larger than any screen are refused rather than allocated (256 MiB at most).
constexpr int32_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

}  // namespace

std::unique_ptr<GdiDrawSurface> GdiDrawSurface::Make(int32_t width, int32_t height, HDC reference,
                                                     std::shared_ptr<GdiplusSession> session) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        int64_t{width} * height > kMaxPixels) {
        return nullptr;
    }
    std::unique_ptr<GdiDrawSurface> surface(new GdiDrawSurface(width, height));
    surface->dc_ = CreateCompatibleDC(reference);
    if (surface->dc_ == nullptr) {
        return nullptr;
    }
    // A DIB section rather than a device-dependent bitmap: its pixels can be read in place
    // and are 32-bit whatever the screen's depth. A new section is zero: black.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    surface->bitmap_ = CreateDIBSection(surface->dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (surface->bitmap_ == nullptr || bits == nullptr) {
        return nullptr;  // out of memory; the destructor frees what was made
    }
    surface->bits_ = static_cast<const uint32_t*>(bits);
    surface->oldBitmap_ = SelectObject(surface->dc_, surface->bitmap_);
    surface->context_.emplace(surface->dc_, std::move(session));
    return surface;
}

GdiDrawSurface::~GdiDrawSurface() {
    context_.reset();  // gives the device context back as it was
    if (oldBitmap_ != nullptr) {
        SelectObject(dc_, oldBitmap_);
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
    }
    if (dc_ != nullptr) {
        DeleteDC(dc_);
    }
}

ColorRef GdiDrawSurface::PixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    GdiFlush();  // GDI may still hold drawing back
    const uint32_t pixel = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + x];
    // A DIB pixel is 0x00RRGGBB; a ColorRef is 0x00BBGGRR.
    return MakeColorRef(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                        static_cast<uint8_t>(pixel));
}

}  // namespace vortrel
