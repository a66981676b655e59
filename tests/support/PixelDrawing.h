#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ports/IDrawContext.h"

namespace vortrel::testing {

// What the pixel fakes' surfaces hold between them, so that tests and benchmarks can bound
// the memory of off-screen caches.
struct PixelStats {
    int64_t livePixels = 0;     // pixels of the surfaces alive now
    int64_t peakPixels = 0;     // the most alive at once
    int32_t widestSurface = 0;  // the widest surface ever made
    int32_t surfacesMade = 0;
};

// A picture of the pixel fakes: one colour a pixel.
class PixelImage : public IDrawImage {
  public:
    PixelImage(int32_t width, int32_t height, std::vector<ColorRef> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    /// The colour of a pixel of the picture.
    ColorRef At(int32_t x, int32_t y) const { return pixels_[y * width_ + x]; }

  private:
    int32_t width_;
    int32_t height_;
    std::vector<ColorRef> pixels_;
};

// An in-memory surface that draws with simple, exact rules: solid rectangles with inside
// pens, two-coloured edges, thin lines, even-odd polygons, text as one block a character
// (half the font height wide) and pictures scaled to the nearest pixel. Its drawings are
// translation-invariant, so a cached and a direct rendering can be compared pixel by pixel.
class PixelSurface : public IDrawSurface, public IDrawContext {
  public:
    PixelSurface(int32_t width, int32_t height, std::shared_ptr<PixelStats> stats = nullptr);
    ~PixelSurface() override;

    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    IDrawContext& Context() override { return *this; }
    ColorRef PixelAt(int32_t x, int32_t y) const override;

    void SetPen(ColorRef color, int32_t width) override;
    void SetBrush(ColorRef color) override;
    void SetNullBrush() override;
    void Rectangle(const DrawRect& rect) override;
    void DrawEdge(const DrawRect& rect, EdgeStyle style) override;
    void Line(DrawPoint from, DrawPoint to) override;
    void Polyline(const std::vector<DrawPoint>& points) override;
    void Polygon(const std::vector<DrawPoint>& points) override;
    void SetFont(const LogFont& font) override;
    void SetTextColor(ColorRef color) override;
    void SetTransparentText(bool transparent) override;
    int32_t DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) override;
    void DrawImage(const IDrawImage& image, const DrawRect& dst, const DrawRect& src) override;
    DrawRect ClipBox() const override;
    void SetClipRect(const DrawRect& rect) override;
    void RemoveClip() override;
    void SetViewportOrigin(DrawPoint origin) override;
    std::unique_ptr<IDrawSurface> CreateCompatibleSurface(int32_t width, int32_t height) override;
    void Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
              DrawPoint src) override;

    /// Every pixel, row by row.
    const std::vector<ColorRef>& Pixels() const { return pixels_; }
    /// Sets every pixel to a colour.
    void Fill(ColorRef color);

  private:
    // Sets one pixel given in logical coordinates, inside the clip only.
    void Plot(int32_t x, int32_t y, ColorRef color);
    void FillLogical(const DrawRect& rect, ColorRef color);
    DrawRect DeviceClip() const;

    int32_t width_;
    int32_t height_;
    std::vector<ColorRef> pixels_;
    std::shared_ptr<PixelStats> stats_;
    DrawPoint origin_;
    bool clipped_ = false;
    DrawRect clip_;
    ColorRef pen_ = 0;
    int32_t penWidth_ = 1;
    ColorRef brush_ = 0xFFFFFF;
    bool nullBrush_ = false;
    ColorRef textColor_ = 0;
    int32_t fontHeight_ = 16;
};

// The pixel fakes' drawing. Pictures come from DIBs, or from the fake's own encoding: the
// bytes 'P', 'X', width, height, red, green, blue give a picture whose pixel (x, y) is
// (red + x, green + y, blue).
class PixelDrawing : public IDrawing {
  public:
    PixelDrawing() : stats_(std::make_shared<PixelStats>()) {}

    std::unique_ptr<IDrawSurface> CreateSurface(int32_t width, int32_t height) override;
    std::unique_ptr<IDrawImage> DecodeImage(const uint8_t* bytes, size_t size) override;
    std::unique_ptr<IDrawImage> ImageFromDib(const DibBitmap& bitmap) override;
    std::unique_ptr<IDrawContext> ScreenContext() override;

    /// The memory held by every surface made through this drawing.
    const PixelStats& Stats() const { return *stats_; }

  private:
    std::shared_ptr<PixelStats> stats_;
};

}  // namespace vortrel::testing
