#pragma once

#include <windows.h>

#include <memory>

#include "ports/IDrawContext.h"

namespace vortrel {

class GdiplusSession;

// A drawing context on a GDI device context: shapes, edges, lines and text with GDI, pictures
// with GDI+. It starts as a fresh device context does (a black pen 1 wide, a white brush,
// black text on an opaque white background, no clip, origin 0, 0) and gives the device
// context back as it found it.
class GdiDrawContext : public IDrawContext {
  public:
    /// A context on a device context that outlives it; session keeps GDI+ for pictures.
    GdiDrawContext(HDC dc, std::shared_ptr<GdiplusSession> session);
    ~GdiDrawContext() override;
    GdiDrawContext(const GdiDrawContext&) = delete;
    GdiDrawContext& operator=(const GdiDrawContext&) = delete;

    /// The device context drawn on.
    HDC Handle() const { return dc_; }

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
    // Fills a block of logical pixels (right and bottom excluded) with a colour.
    void Fill(int32_t left, int32_t top, int32_t right, int32_t bottom, ColorRef color) const;

    HDC dc_;
    std::shared_ptr<GdiplusSession> session_;
    int savedState_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace vortrel
