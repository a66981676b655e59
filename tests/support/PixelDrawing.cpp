#include "PixelDrawing.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "ports/DibBitmap.h"

namespace vortrel::testing {

namespace {

DrawRect Intersect(const DrawRect& a, const DrawRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

}  // namespace

PixelSurface::PixelSurface(int32_t width, int32_t height, std::shared_ptr<PixelStats> stats)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0),
      stats_(std::move(stats)) {
    if (stats_) {
        stats_->livePixels += int64_t{width} * height;
        stats_->peakPixels = std::max(stats_->peakPixels, stats_->livePixels);
        stats_->widestSurface = std::max(stats_->widestSurface, width);
        ++stats_->surfacesMade;
    }
}

PixelSurface::~PixelSurface() {
    if (stats_) {
        stats_->livePixels -= int64_t{width_} * height_;
    }
}

ColorRef PixelSurface::PixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void PixelSurface::Fill(ColorRef color) {
    std::fill(pixels_.begin(), pixels_.end(), color);
}

DrawRect PixelSurface::DeviceClip() const {
    const DrawRect whole{0, 0, width_, height_};
    return clipped_ ? Intersect(whole, clip_) : whole;
}

void PixelSurface::Plot(int32_t x, int32_t y, ColorRef color) {
    const DrawRect clip = DeviceClip();
    const int32_t dx = x + origin_.x;
    const int32_t dy = y + origin_.y;
    if (dx >= clip.left && dx < clip.right && dy >= clip.top && dy < clip.bottom) {
        pixels_[static_cast<size_t>(dy) * width_ + dx] = color;
    }
}

void PixelSurface::FillLogical(const DrawRect& rect, ColorRef color) {
    const DrawRect device{rect.left + origin_.x, rect.top + origin_.y, rect.right + origin_.x,
                          rect.bottom + origin_.y};
    const DrawRect area = Intersect(device, DeviceClip());
    for (int32_t y = area.top; y < area.bottom; ++y) {
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + area.left,
                    std::max(0, area.right - area.left), color);
    }
}

void PixelSurface::SetPen(ColorRef color, int32_t width) {
    pen_ = color;
    penWidth_ = std::max(width, 1);
}

void PixelSurface::SetBrush(ColorRef color) {
    brush_ = color;
    nullBrush_ = false;
}

void PixelSurface::SetNullBrush() {
    nullBrush_ = true;
}

void PixelSurface::Rectangle(const DrawRect& rect) {
    if (!nullBrush_) {
        FillLogical(rect, brush_);
    }
    const int32_t w = penWidth_;
    FillLogical({rect.left, rect.top, rect.right, std::min(rect.top + w, rect.bottom)}, pen_);
    FillLogical({rect.left, std::max(rect.bottom - w, rect.top), rect.right, rect.bottom}, pen_);
    FillLogical({rect.left, rect.top, std::min(rect.left + w, rect.right), rect.bottom}, pen_);
    FillLogical({std::max(rect.right - w, rect.left), rect.top, rect.right, rect.bottom}, pen_);
}

void PixelSurface::DrawEdge(const DrawRect& rect, EdgeStyle style) {
    ColorRef outer = 0xFFFFFF;
    ColorRef inner = 0x808080;
    if (style == EdgeStyle::Raised) {
        outer = 0xE0E0E0;
        inner = 0x404040;
    } else if (style == EdgeStyle::Sunken) {
        outer = 0x404040;
        inner = 0xE0E0E0;
    }
    const ColorRef rings[] = {outer, inner};
    for (int32_t ring = 0; ring < 2; ++ring) {
        const DrawRect r{rect.left + ring, rect.top + ring, rect.right - ring, rect.bottom - ring};
        FillLogical({r.left, r.top, r.right, r.top + 1}, rings[ring]);
        FillLogical({r.left, r.bottom - 1, r.right, r.bottom}, rings[ring]);
        FillLogical({r.left, r.top, r.left + 1, r.bottom}, rings[ring]);
        FillLogical({r.right - 1, r.top, r.right, r.bottom}, rings[ring]);
    }
}

void PixelSurface::Line(DrawPoint from, DrawPoint to) {
    // Bresenham, leaving out the last pixel.
    int32_t x = from.x;
    int32_t y = from.y;
    const int32_t dx = std::abs(to.x - x);
    const int32_t dy = -std::abs(to.y - y);
    const int32_t sx = x < to.x ? 1 : -1;
    const int32_t sy = y < to.y ? 1 : -1;
    int32_t error = dx + dy;
    while (x != to.x || y != to.y) {
        Plot(x, y, pen_);
        const int32_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void PixelSurface::Polyline(const std::vector<DrawPoint>& points) {
    for (size_t i = 1; i < points.size(); ++i) {
        Line(points[i - 1], points[i]);
    }
}

void PixelSurface::Polygon(const std::vector<DrawPoint>& points) {
    if (points.size() < 3) {
        return;
    }
    if (!nullBrush_) {
        // Even-odd fill at pixel centres.
        int32_t top = points[0].y;
        int32_t bottom = points[0].y;
        for (const DrawPoint& p : points) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        for (int32_t y = top; y < bottom; ++y) {
            const double cy = y + 0.5;
            std::vector<double> crossings;
            for (size_t i = 0; i < points.size(); ++i) {
                const DrawPoint a = points[i];
                const DrawPoint b = points[(i + 1) % points.size()];
                if ((a.y <= cy) != (b.y <= cy)) {
                    crossings.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
                }
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
                for (int32_t x = static_cast<int32_t>(crossings[i] + 0.5);
                     x + 0.5 < crossings[i + 1]; ++x) {
                    Plot(x, y, brush_);
                }
            }
        }
    }
    std::vector<DrawPoint> closed = points;
    closed.push_back(points[0]);
    Polyline(closed);
}

void PixelSurface::SetFont(const LogFont& font) {
    fontHeight_ = font.height == 0 ? 16 : std::abs(font.height);
}

void PixelSurface::SetTextColor(ColorRef color) {
    textColor_ = color;
}

void PixelSurface::SetTransparentText(bool /*transparent*/) {}

int32_t PixelSurface::DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) {
    const bool single = (flags & TextFlag::kSingleLine) != 0;
    std::vector<std::wstring> lines(1);
    for (wchar_t unit : text) {
        if (!single && unit == L'\n') {
            lines.emplace_back();
        } else if (single || unit != L'\r') {
            lines.back() += unit;
        }
    }
    const int32_t charWidth = std::max(fontHeight_ / 2, 2);
    size_t longest = 0;
    for (const std::wstring& line : lines) {
        longest = std::max(longest, line.size());
    }
    const int32_t textWidth = static_cast<int32_t>(longest) * charWidth;
    const int32_t textHeight = static_cast<int32_t>(lines.size()) * fontHeight_;
    if ((flags & TextFlag::kCalcRect) != 0) {
        rect.right = rect.left + textWidth;
        rect.bottom = rect.top + textHeight;
        return textHeight;
    }
    int32_t top = rect.top;
    if ((flags & TextFlag::kVCenter) != 0) {
        top = rect.top + (rect.Height() - textHeight) / 2;
    } else if ((flags & TextFlag::kBottom) != 0) {
        top = rect.bottom - textHeight;
    }
    for (const std::wstring& line : lines) {
        const int32_t lineWidth = static_cast<int32_t>(line.size()) * charWidth;
        int32_t left = rect.left;
        if ((flags & TextFlag::kCenter) != 0) {
            left = rect.left + (rect.Width() - lineWidth) / 2;
        } else if ((flags & TextFlag::kRight) != 0) {
            left = rect.right - lineWidth;
        }
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == L' ') {
                continue;
            }
            const int32_t x = left + static_cast<int32_t>(i) * charWidth;
            // Text stays inside its rectangle, as the platform's.
            FillLogical(Intersect({x, top + 1, x + charWidth - 1, top + fontHeight_ - 1}, rect),
                        textColor_);
        }
        top += fontHeight_;
    }
    return textHeight;
}

void PixelSurface::DrawImage(const IDrawImage& image, const DrawRect& dst, const DrawRect& src) {
    const auto* pixels = dynamic_cast<const PixelImage*>(&image);
    if (pixels == nullptr || dst.Width() <= 0 || dst.Height() <= 0 || src.Width() <= 0 ||
        src.Height() <= 0) {
        return;
    }
    for (int32_t y = 0; y < dst.Height(); ++y) {
        const int32_t sy = src.top + y * src.Height() / dst.Height();
        for (int32_t x = 0; x < dst.Width(); ++x) {
            const int32_t sx = src.left + x * src.Width() / dst.Width();
            if (sx >= 0 && sy >= 0 && sx < pixels->Width() && sy < pixels->Height()) {
                Plot(dst.left + x, dst.top + y, pixels->At(sx, sy));
            }
        }
    }
}

DrawRect PixelSurface::ClipBox() const {
    const DrawRect device = DeviceClip();
    if (device.left >= device.right || device.top >= device.bottom) {
        return {};
    }
    return {device.left - origin_.x, device.top - origin_.y, device.right - origin_.x,
            device.bottom - origin_.y};
}

void PixelSurface::SetClipRect(const DrawRect& rect) {
    clipped_ = true;
    clip_ = rect;
}

void PixelSurface::RemoveClip() {
    clipped_ = false;
}

void PixelSurface::SetViewportOrigin(DrawPoint origin) {
    origin_ = origin;
}

std::unique_ptr<IDrawSurface> PixelSurface::CreateCompatibleSurface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    return std::make_unique<PixelSurface>(width, height, stats_);
}

void PixelSurface::Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
                        DrawPoint src) {
    // The block in device coordinates, cut to the clip and to both surfaces.
    const DrawRect target =
        Intersect({dst.x + origin_.x, dst.y + origin_.y, dst.x + origin_.x + width,
                   dst.y + origin_.y + height},
                  Intersect(DeviceClip(), {dst.x + origin_.x - src.x, dst.y + origin_.y - src.y,
                                           dst.x + origin_.x - src.x + source.Width(),
                                           dst.y + origin_.y - src.y + source.Height()}));
    const auto* pixels = dynamic_cast<const PixelSurface*>(&source);
    for (int32_t y = target.top; y < target.bottom; ++y) {
        for (int32_t x = target.left; x < target.right; ++x) {
            const int32_t sx = x - dst.x - origin_.x + src.x;
            const int32_t sy = y - dst.y - origin_.y + src.y;
            pixels_[static_cast<size_t>(y) * width_ + x] =
                pixels != nullptr ? pixels->pixels_[static_cast<size_t>(sy) * pixels->width_ + sx]
                                  : source.PixelAt(sx, sy);
        }
    }
}

std::unique_ptr<IDrawSurface> PixelDrawing::CreateSurface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    return std::make_unique<PixelSurface>(width, height, stats_);
}

std::unique_ptr<IDrawImage> PixelDrawing::DecodeImage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < 7 || bytes[0] != 'P' || bytes[1] != 'X' || bytes[2] == 0 ||
        bytes[3] == 0) {
        return nullptr;
    }
    const int32_t width = bytes[2];
    const int32_t height = bytes[3];
    std::vector<ColorRef> pixels;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels.push_back(MakeColorRef(static_cast<uint8_t>(bytes[4] + x),
                                          static_cast<uint8_t>(bytes[5] + y), bytes[6]));
        }
    }
    return std::make_unique<PixelImage>(width, height, std::move(pixels));
}

std::unique_ptr<IDrawImage> PixelDrawing::ImageFromDib(const DibBitmap& bitmap) {
    const int32_t width = bitmap.GetWidth();
    const int32_t height = bitmap.GetHeight();
    const int32_t bits = bitmap.GetBitCount();
    if (width <= 0 || height <= 0 || (bits != 24 && bits != 32)) {
        return nullptr;
    }
    const size_t bytesPerPixel = static_cast<size_t>(bits) / 8;
    const size_t stride = (static_cast<size_t>(width) * bytesPerPixel + 3) / 4 * 4;
    if (bitmap.bits.size() < 40 + stride * static_cast<size_t>(height)) {
        return nullptr;
    }
    std::vector<ColorRef> pixels;
    for (int32_t y = 0; y < height; ++y) {
        const size_t row = 40 + stride * static_cast<size_t>(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = &bitmap.bits[row + static_cast<size_t>(x) * bytesPerPixel];
            pixels.push_back(MakeColorRef(p[2], p[1], p[0]));
        }
    }
    return std::make_unique<PixelImage>(width, height, std::move(pixels));
}

std::unique_ptr<IDrawContext> PixelDrawing::ScreenContext() {
    return std::make_unique<PixelSurface>(1, 1);
}

}  // namespace vortrel::testing
