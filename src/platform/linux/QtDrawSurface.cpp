#include "platform/linux/QtDrawSurface.h"

namespace vortrel {

namespace {

// Surfaces larger than any screen are refused rather than allocated (256 MiB at most).
constexpr int32_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

}  // namespace

QtDrawSurface::QtDrawSurface(int32_t width, int32_t height)
    : image_(width, height, QImage::Format_RGB32), context_(image_) {
    image_.fill(Qt::black);
}

std::unique_ptr<QtDrawSurface> QtDrawSurface::Make(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        int64_t{width} * height > kMaxPixels) {
        return nullptr;
    }
    auto surface = std::make_unique<QtDrawSurface>(width, height);
    if (surface->image_.isNull()) {
        return nullptr;  // out of memory
    }
    return surface;
}

ColorRef QtDrawSurface::PixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return 0;
    }
    const QRgb pixel = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    return MakeColorRef(static_cast<uint8_t>(qRed(pixel)), static_cast<uint8_t>(qGreen(pixel)),
                        static_cast<uint8_t>(qBlue(pixel)));
}

}  // namespace vortrel
