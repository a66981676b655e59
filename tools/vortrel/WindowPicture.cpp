#include "WindowPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdio>

#include "base/FileAccess.h"
#include "control/CTimelineControl.h"
#include "platform/linux/QtDrawSurface.h"

namespace vortrel {

namespace {

// The pixels of a surface as an image Qt can encode.
QImage ImageOf(const IDrawSurface& surface) {
    if (const auto* qt = dynamic_cast<const QtDrawSurface*>(&surface)) {
        return qt->Image();
    }
    QImage image(surface.Width(), surface.Height(), QImage::Format_RGB32);
    for (int32_t y = 0; y < surface.Height(); ++y) {
        for (int32_t x = 0; x < surface.Width(); ++x) {
            const ColorRef color = surface.PixelAt(x, y);
            image.setPixel(x, y, qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
        }
    }
    return image;
}

}  // namespace

std::unique_ptr<IDrawSurface> PaintWindow(CTimelineControl& control, int32_t width,
                                          int32_t height) {
    const std::shared_ptr<IDrawing> drawing = GetDrawing();
    if (!drawing) {
        return nullptr;
    }
    std::unique_ptr<IDrawSurface> window = drawing->CreateSurface(width, height);
    if (window) {
        control.OnPaint(window->Context(), width, height, {0, 0, width, height});
    }
    return window;
}

std::string FormatColor(ColorRef color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return text;
}

bool WritePng(const IDrawSurface& surface, const std::filesystem::path& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ImageOf(surface).save(&buffer, "PNG")) {
        error = "the picture does not encode as PNG";
        return false;
    }
    const bool written = ReplaceFile(path, [&bytes](std::FILE* file) {
        return std::fwrite(bytes.constData(), 1, bytes.size(), file) ==
               static_cast<size_t>(bytes.size());
    });
    if (!written) {
        error = "the file cannot be written there";
        return false;
    }
    return true;
}

}  // namespace vortrel
