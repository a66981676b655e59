#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ports/LogFont.h"

namespace vortrel {

struct DibBitmap;

/// A colour as the platform stores it: 0x00BBGGRR.
using ColorRef = uint32_t;

/// Makes a ColorRef from its three parts.
constexpr ColorRef MakeColorRef(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<ColorRef>(red) | static_cast<ColorRef>(green) << 8 |
           static_cast<ColorRef>(blue) << 16;
}

/// A rectangle whose right and bottom edges lie outside it, as the platform's RECT.
struct DrawRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const DrawRect&) const = default;
};

/// A point in drawing coordinates.
struct DrawPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const DrawPoint&) const = default;
};

/// The three-dimensional edges DrawEdge draws round all four sides of a rectangle, in the
/// classic system colours.
enum class EdgeStyle { Bump, Raised, Sunken };

/// One band of a three-dimensional edge: a rectangle to fill and its colour.
struct EdgeBand {
    DrawRect rect;
    ColorRef color = 0;
};

/// The one-pixel bands of an edge round a rectangle with its corners in order, in the order
/// they are filled: each border's top and left lines without the top-right and bottom-left
/// corners, then its bottom and right lines, which take them; the outer border first. Every
/// back end fills these, so that edges are alike on every platform.
std::vector<EdgeBand> EdgeBands(const DrawRect& rect, EdgeStyle style);

/// Flags of DrawText, with the platform's values.
namespace TextFlag {
inline constexpr uint32_t kLeft = 0x0;
inline constexpr uint32_t kCenter = 0x1;
inline constexpr uint32_t kRight = 0x2;
inline constexpr uint32_t kVCenter = 0x4;
inline constexpr uint32_t kBottom = 0x8;
inline constexpr uint32_t kSingleLine = 0x20;
inline constexpr uint32_t kCalcRect = 0x400;
}  // namespace TextFlag

/// The logical pixels per inch of every drawing context on every platform, so that point
/// sizes come to the same pixels and layouts match across builds.
inline constexpr int32_t kLogPixelsY = 96;

// A decoded picture that a drawing context can draw: from encoded bytes (PNG, BMP) or a
// device-independent bitmap. Keeps its alpha.
class IDrawImage {
  public:
    virtual ~IDrawImage() = default;

    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
};

class IDrawSurface;

// A place to draw with the meaning of the platform's device contexts: a current solid pen
// and brush (or the null brush), a font, a text colour and background mode, a viewport
// origin and a clip region. Coordinates are logical (device coordinates minus the viewport
// origin), except the clip region, which is set in device coordinates as the platform's is.
class IDrawContext {
  public:
    virtual ~IDrawContext() = default;

    /// Selects a solid pen of a colour and width (a width below 1 draws 1 pixel wide).
    virtual void SetPen(ColorRef color, int32_t width) = 0;
    /// Selects a solid brush of a colour.
    virtual void SetBrush(ColorRef color) = 0;
    /// Selects the null brush: shapes are outlined and not filled.
    virtual void SetNullBrush() = 0;

    /// Draws a rectangle outlined with the pen and filled with the brush; the right and
    /// bottom edges are excluded, and a wide pen is centred on the outline through the
    /// first and last pixels of each side, so it reaches outside the rectangle.
    virtual void Rectangle(const DrawRect& rect) = 0;
    /// Draws a three-dimensional edge two pixels wide just inside the rectangle's four sides.
    virtual void DrawEdge(const DrawRect& rect, EdgeStyle style) = 0;
    /// Draws a line with the pen from one point towards another, without the last pixel.
    virtual void Line(DrawPoint from, DrawPoint to) = 0;
    /// Draws connected lines through the points with the pen.
    virtual void Polyline(const std::vector<DrawPoint>& points) = 0;
    /// Fills the closed polygon through the points with the brush and outlines it with the
    /// pen.
    virtual void Polygon(const std::vector<DrawPoint>& points) = 0;

    /// Selects a font; its height follows the platform's rule (negative: character height
    /// in pixels) and "Arial" is met by a face of the same metrics where it is missing.
    virtual void SetFont(const LogFont& font) = 0;
    /// Sets the colour of text.
    virtual void SetTextColor(ColorRef color) = 0;
    /// Sets whether text leaves its background as it was (true) or fills it (false).
    virtual void SetTransparentText(bool transparent) = 0;
    /// Draws a text into a rectangle, placed by the TextFlag values, and returns the text's
    /// height. With kCalcRect it draws nothing and widens or heightens the rectangle to the
    /// text instead, keeping its left and top.
    virtual int32_t DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) = 0;

    /// Draws the part src of an image scaled into dst, blending by the image's alpha.
    virtual void DrawImage(const IDrawImage& image, const DrawRect& dst, const DrawRect& src) = 0;

    /// The smallest rectangle round what may be drawn, in logical coordinates.
    virtual DrawRect ClipBox() const = 0;
    /// Limits drawing to a rectangle given in device coordinates, replacing any earlier one.
    virtual void SetClipRect(const DrawRect& rect) = 0;
    /// Lifts the clip region: the whole surface may be drawn again.
    virtual void RemoveClip() = 0;
    /// Sets where logical (0, 0) lies on the device.
    virtual void SetViewportOrigin(DrawPoint origin) = 0;

    /// A new off-screen surface of the same kind as this context's, of the given size,
    /// black; none when it cannot be made.
    virtual std::unique_ptr<IDrawSurface> CreateCompatibleSurface(int32_t width,
                                                                  int32_t height) = 0;
    /// Copies a width x height block of a surface, from its device point src, to this
    /// context's logical point dst.
    virtual void Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
                      DrawPoint src) = 0;
};

// An off-screen picture with a drawing context on it.
class IDrawSurface {
  public:
    virtual ~IDrawSurface() = default;

    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    /// The drawing context of the surface.
    virtual IDrawContext& Context() = 0;
    /// The colour of one pixel (0 outside the surface).
    virtual ColorRef PixelAt(int32_t x, int32_t y) const = 0;
};

// The platform's drawing: off-screen surfaces, decoded pictures and the screen's context
// for measuring text.
class IDrawing {
  public:
    virtual ~IDrawing() = default;

    /// A new off-screen surface, black; none when the size is not positive or too large.
    virtual std::unique_ptr<IDrawSurface> CreateSurface(int32_t width, int32_t height) = 0;
    /// A picture decoded from a PNG or BMP file's bytes; none when they are not one.
    virtual std::unique_ptr<IDrawImage> DecodeImage(const uint8_t* bytes, size_t size) = 0;
    /// A picture of a device-independent bitmap (24 or 32 bits a pixel); none when the
    /// bitmap is not one.
    virtual std::unique_ptr<IDrawImage> ImageFromDib(const DibBitmap& bitmap) = 0;
    /// A context of the screen, for measuring text as it would be drawn there.
    virtual std::unique_ptr<IDrawContext> ScreenContext() = 0;
};

/// Installs the process-wide drawing (none removes it).
void SetDrawing(std::shared_ptr<IDrawing> drawing);

/// The installed drawing, or none.
std::shared_ptr<IDrawing> GetDrawing();

}  // namespace vortrel
