#include "platform/windows/GdiDrawContext.h"

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/windows/GdiDrawImage.h"
#include "platform/windows/GdiDrawSurface.h"
#include "platform/windows/GdiFonts.h"

namespace vortrel {

namespace {

constexpr COLORREF kTextBackground = RGB(255, 255, 255);

// A rectangle with its corners in order, as the shape functions take it.
DrawRect Ordered(const DrawRect& rect) {
    return {std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
            std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

std::vector<POINT> ToPoints(const std::vector<DrawPoint>& points) {
    std::vector<POINT> result;
    result.reserve(points.size());
    for (const DrawPoint& point : points) {
        result.push_back({point.x, point.y});
    }
    return result;
}

}  // namespace

GdiDrawContext::GdiDrawContext(HDC dc, std::shared_ptr<GdiplusSession> session)
    : dc_(dc), session_(std::move(session)), savedState_(SaveDC(dc)) {
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(WHITE_BRUSH));
    SetMapMode(dc_, MM_TEXT);
    SetViewportOrgEx(dc_, 0, 0, nullptr);
    SetWindowOrgEx(dc_, 0, 0, nullptr);
    SetPolyFillMode(dc_, ALTERNATE);
    SetROP2(dc_, R2_COPYPEN);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(0);
    ::SetBkColor(dc_, kTextBackground);
    SetTransparentText(false);
    SelectClipRgn(dc_, nullptr);
}

GdiDrawContext::~GdiDrawContext() {
    // Restoring the state selects the original objects again, so ours can go.
    RestoreDC(dc_, savedState_);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(pen_), static_cast<HGDIOBJ>(brush_), static_cast<HGDIOBJ>(font_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
}

void GdiDrawContext::SetPen(ColorRef color, int32_t width) {
    HPEN pen = CreatePen(PS_SOLID, std::max(width, 1), color);
    if (pen == nullptr) {
        return;
    }
    SelectObject(dc_, pen);
    if (pen_ != nullptr) {
        DeleteObject(pen_);
    }
    pen_ = pen;
}

void GdiDrawContext::SetBrush(ColorRef color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (brush == nullptr) {
        return;
    }
    SelectObject(dc_, brush);
    if (brush_ != nullptr) {
        DeleteObject(brush_);
    }
    brush_ = brush;
}

void GdiDrawContext::SetNullBrush() {
    SelectObject(dc_, GetStockObject(NULL_BRUSH));
    if (brush_ != nullptr) {
        DeleteObject(brush_);
        brush_ = nullptr;
    }
}

void GdiDrawContext::Rectangle(const DrawRect& logical) {
    const DrawRect rect = Ordered(logical);
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        return;  // an empty rectangle draws nothing, whatever the pen
    }
    ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiDrawContext::Fill(int32_t left, int32_t top, int32_t right, int32_t bottom,
                          ColorRef color) const {
    if (right <= left || bottom <= top) {
        return;
    }
    // An opaque empty text fills without making a brush.
    const RECT area{left, top, right, bottom};
    const COLORREF before = ::SetBkColor(dc_, color);
    ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &area, L"", 0, nullptr);
    ::SetBkColor(dc_, before);
}

void GdiDrawContext::DrawEdge(const DrawRect& logical, EdgeStyle style) {
    for (const EdgeBand& band : EdgeBands(Ordered(logical), style)) {
        Fill(band.rect.left, band.rect.top, band.rect.right, band.rect.bottom, band.color);
    }
}

void GdiDrawContext::Line(DrawPoint from, DrawPoint to) {
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
}

void GdiDrawContext::Polyline(const std::vector<DrawPoint>& points) {
    if (points.size() < 2) {
        return;
    }
    const std::vector<POINT> gdi = ToPoints(points);
    ::Polyline(dc_, gdi.data(), static_cast<int>(gdi.size()));
}

void GdiDrawContext::Polygon(const std::vector<DrawPoint>& points) {
    if (points.size() < 2) {
        return;
    }
    const std::vector<POINT> gdi = ToPoints(points);
    ::Polygon(dc_, gdi.data(), static_cast<int>(gdi.size()));
}

void GdiDrawContext::SetFont(const LogFont& font) {
    HFONT handle = CreateGdiFont(font);
    if (handle == nullptr) {
        return;
    }
    SelectObject(dc_, handle);
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = handle;
}

void GdiDrawContext::SetTextColor(ColorRef color) {
    ::SetTextColor(dc_, color);
}

void GdiDrawContext::SetTransparentText(bool transparent) {
    SetBkMode(dc_, transparent ? TRANSPARENT : OPAQUE);
}

int32_t GdiDrawContext::DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) {
    if (font_ == nullptr) {
        // Until a font is chosen, a 16-pixel cell of the common sans-serif face.
        LogFont initial;
        initial.SetFaceName(L"Arial");
        SetFont(initial);
    }
    const bool singleLine = (flags & TextFlag::kSingleLine) != 0;
    std::wstring shown = text;
    if (singleLine) {
        // A single line shows line breaks as blanks rather than as the font's missing glyph.
        std::replace(shown.begin(), shown.end(), L'\r', L' ');
        std::replace(shown.begin(), shown.end(), L'\n', L' ');
    }
    // Ampersands are shown as they are: the views' texts carry no mnemonics.
    const UINT placement = (flags & (TextFlag::kCenter | TextFlag::kRight | TextFlag::kVCenter |
                                     TextFlag::kBottom | TextFlag::kSingleLine)) |
                           DT_NOPREFIX;
    const int length = static_cast<int>(std::min<size_t>(shown.size(), INT32_MAX));

    // The text's own size: DrawText's answer would count the offset of vertical placement.
    RECT measured{rect.left, rect.top, rect.left, rect.top};
    int32_t height = 0;
    if (length == 0) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        height = metrics.tmHeight;
        measured.bottom = rect.top + height;
    } else {
        ::DrawTextW(dc_, shown.c_str(), length, &measured,
                    (placement & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
        height = measured.bottom - measured.top;
    }
    if ((flags & TextFlag::kCalcRect) != 0) {
        rect.right = measured.right;
        rect.bottom = measured.bottom;
        return height;
    }
    if (length > 0) {
        RECT box{rect.left, rect.top, rect.right, rect.bottom};
        ::DrawTextW(dc_, shown.c_str(), length, &box, placement);
    }
    return height;
}

void GdiDrawContext::DrawImage(const IDrawImage& image, const DrawRect& dst, const DrawRect& src) {
    const auto* picture = dynamic_cast<const GdiDrawImage*>(&image);
    if (picture == nullptr || dst.Width() <= 0 || dst.Height() <= 0 || src.Width() <= 0 ||
        src.Height() <= 0) {
        return;
    }
    // GDI+ scales the part of the picture that may show into a premultiplied bitmap of that
    // part's size, the destination at or before the bitmap's corner; GDI then blends it onto the
    // device context, which applies the origin and the clip itself. So the pixels do not hang on
    // where the picture lands (GDI+ drawing to a device context at an offset may lose the first
    // row) nor on how GDI+ reads a device context's state.
    const DrawRect box = ClipBox();
    const DrawRect visible{std::max(dst.left, box.left), std::max(dst.top, box.top),
                           std::min(dst.right, box.right), std::min(dst.bottom, box.bottom)};
    if (visible.Width() <= 0 || visible.Height() <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = visible.Width();
    info.bmiHeader.biHeight = -visible.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP part = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC partDc = part != nullptr ? CreateCompatibleDC(dc_) : nullptr;
    if (partDc != nullptr) {
        {
            Gdiplus::Bitmap target(visible.Width(), visible.Height(), visible.Width() * 4,
                                   PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
            Gdiplus::Graphics graphics(&target);
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            // Pixel centres lie at half coordinates, as in the other build's smooth scaling.
            graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            const bool scaled = dst.Width() != src.Width() || dst.Height() != src.Height();
            graphics.SetInterpolationMode(scaled ? Gdiplus::InterpolationModeBilinear
                                                 : Gdiplus::InterpolationModeNearestNeighbor);
            // The picture's edge pixels repeat outward rather than fading into transparency.
            Gdiplus::ImageAttributes attributes;
            attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
            graphics.DrawImage(&picture->Bitmap(),
                               Gdiplus::Rect(dst.left - visible.left, dst.top - visible.top,
                                             dst.Width(), dst.Height()),
                               src.left, src.top, src.Width(), src.Height(), Gdiplus::UnitPixel,
                               &attributes);
        }
        const HGDIOBJ old = SelectObject(partDc, part);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc_, visible.left, visible.top, visible.Width(), visible.Height(), partDc, 0,
                      0, visible.Width(), visible.Height(), blend);
        SelectObject(partDc, old);
        DeleteDC(partDc);
    }
    if (part != nullptr) {
        DeleteObject(part);
    }
}

DrawRect GdiDrawContext::ClipBox() const {
    RECT box{};
    const int kind = GetClipBox(dc_, &box);
    if (kind == NULLREGION || kind == ERROR || box.right <= box.left || box.bottom <= box.top) {
        return {};
    }
    return {box.left, box.top, box.right, box.bottom};
}

void GdiDrawContext::SetClipRect(const DrawRect& rect) {
    HRGN region = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);  // any order
    SelectClipRgn(dc_, region);  // the device context keeps a copy
    DeleteObject(region);
}

void GdiDrawContext::RemoveClip() {
    SelectClipRgn(dc_, nullptr);
}

void GdiDrawContext::SetViewportOrigin(DrawPoint origin) {
    SetViewportOrgEx(dc_, origin.x, origin.y, nullptr);
}

std::unique_ptr<IDrawSurface> GdiDrawContext::CreateCompatibleSurface(int32_t width,
                                                                      int32_t height) {
    return GdiDrawSurface::Make(width, height, dc_, session_);
}

void GdiDrawContext::Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
                          DrawPoint src) {
    auto* surface = dynamic_cast<GdiDrawSurface*>(&source);
    if (surface == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // Only the part of the block inside the source is copied, to where it belongs.
    const int64_t left = std::max<int64_t>(src.x, 0);
    const int64_t top = std::max<int64_t>(src.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{src.x} + width, surface->Width());
    const int64_t bottom = std::min<int64_t>(int64_t{src.y} + height, surface->Height());
    if (right <= left || bottom <= top) {
        return;
    }
    // The source is read at device points: its own origin is taken off.
    POINT sourceOrigin{};
    GetViewportOrgEx(surface->Handle(), &sourceOrigin);
    BitBlt(dc_, static_cast<int>(dst.x + (left - src.x)), static_cast<int>(dst.y + (top - src.y)),
           static_cast<int>(right - left), static_cast<int>(bottom - top), surface->Handle(),
           static_cast<int>(left - sourceOrigin.x), static_cast<int>(top - sourceOrigin.y),
           SRCCOPY);
}

}  // namespace vortrel
