#pragma once

#include <QFont>
#include <QImage>
#include <QRect>

#include <memory>

#include "ports/IDrawContext.h"

class QPainter;

namespace vortrel {

// A drawing context on a Qt image, following the platform's pixel rules: integer pixels,
// right and bottom edges excluded, lines without their last pixel, pens centred on the
// outline, shapes without antialiasing and text with it. It starts as the platform's do:
// a black pen 1 wide, a white brush, black text on an opaque white background.
class QtDrawContext : public IDrawContext {
  public:
    /// A context drawing on an image that outlives it.
    explicit QtDrawContext(QImage& target);
    /// A context on an image of its own, black (the screen's stand-in for measuring text).
    QtDrawContext(int32_t width, int32_t height);
    ~QtDrawContext() override;

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

  private:
    // Where drawing may go, in device pixels: the clip rectangle within the image.
    QRect DeviceClip() const;
    // Starts a painter on the image clipped to DeviceClip, in device coordinates; false
    // when nothing can be drawn.
    bool Begin(QPainter& painter) const;
    // Fills a block of device pixels (right and bottom excluded) within the clip.
    void FillDevice(int64_t left, int64_t top, int64_t right, int64_t bottom, ColorRef color) const;
    // Draws connected segments with the pen; a closed outline draws every vertex, an open
    // one leaves out the last point.
    void Stroke(QPainter& painter, const std::vector<DrawPoint>& points, bool closed) const;

    std::unique_ptr<QImage> own_;
    QImage* target_;
    ColorRef penColor_ = 0;
    int32_t penWidth_ = 1;
    ColorRef brushColor_ = 0xFFFFFF;
    bool nullBrush_ = false;
    QFont font_;
    bool fontChosen_ = false;
    ColorRef textColor_ = 0;
    bool transparentText_ = false;
    bool clipped_ = false;
    QRect clip_;
    DrawPoint origin_;
};

}  // namespace vortrel
