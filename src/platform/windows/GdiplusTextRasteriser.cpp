#include "platform/windows/GdiplusTextRasteriser.h"

// windows.h first: GDI+ builds on it.
#include <windows.h>

#include <gdiplus.h>

#include "platform/windows/WindowsFonts.h"

namespace vortrel {

namespace {

constexpr BYTE kNonAntialiasedQuality = 3;

}  // namespace

bool GdiplusTextRasteriser::Render(const std::wstring& text, const LogFont& logFont, int32_t x,
                                   int32_t y, int32_t width, int32_t height,
                                   std::vector<uint8_t>& coverage) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    Gdiplus::Bitmap canvas(width, height, PixelFormat32bppRGB);
    if (canvas.GetLastStatus() != Gdiplus::Ok) {
        return false;
    }
    {
        Gdiplus::Graphics graphics(&canvas);
        graphics.Clear(Gdiplus::Color(255, 0, 0, 0));
        graphics.SetTextRenderingHint(logFont.quality == kNonAntialiasedQuality
                                          ? Gdiplus::TextRenderingHintSingleBitPerPixelGridFit
                                          : Gdiplus::TextRenderingHintAntiAlias);
        // The font comes from the logical record through GDI's font mapper, as the host's
        // own fonts do; a face that is not installed is met by the nearest one.
        const LOGFONTW record = ToLogFontW(logFont);
        HDC screen = CreateCompatibleDC(nullptr);
        Gdiplus::Font font(screen, &record);
        DeleteDC(screen);
        if (font.GetLastStatus() != Gdiplus::Ok) {
            return false;
        }
        graphics.TranslateTransform(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y));
        // Escapement turns the baseline counterclockwise, in tenths of a degree.
        graphics.RotateTransform(static_cast<Gdiplus::REAL>(-(logFont.escapement / 10.0)));
        // A layout point rather than a box: no wrapping, no clipping, a new line at each
        // line feed.
        Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap |
                                     Gdiplus::StringFormatFlagsNoClip);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), &font,
                            Gdiplus::PointF(0.0f, 0.0f), &format, &white);
    }
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (canvas.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) !=
        Gdiplus::Ok) {
        return false;
    }
    coverage.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        const auto* pixels =
            static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(row) * data.Stride;
        for (int32_t column = 0; column < width; ++column) {
            // Blue, green and red are alike for white text: blue is the first byte.
            coverage[static_cast<size_t>(row) * static_cast<size_t>(width) +
                     static_cast<size_t>(column)] = pixels[static_cast<size_t>(column) * 4];
        }
    }
    canvas.UnlockBits(&data);
    return true;
}

std::shared_ptr<ITextRasteriser> StartGdiplusTextRasteriser() {
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;  // kept for the process: GDI+ stays up to its end
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    if (!started) {
        return nullptr;
    }
    return std::make_shared<GdiplusTextRasteriser>();
}

}  // namespace vortrel
