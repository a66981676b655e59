#include "platform/linux/QtTextRasteriser.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include "platform/linux/QtFonts.h"

namespace vortrel {

namespace {

constexpr uint8_t kNonAntialiasedQuality = 3;

}  // namespace

bool QtTextRasteriser::Render(const std::wstring& text, const LogFont& logFont, int32_t x,
                              int32_t y, int32_t width, int32_t height,
                              std::vector<uint8_t>& coverage) {
    if (width <= 0 || height <= 0 || qobject_cast<QGuiApplication*>(qApp) == nullptr) {
        return false;
    }
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull()) {
        return false;
    }
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing,
                              logFont.quality != kNonAntialiasedQuality);
        painter.setPen(Qt::white);
        painter.setFont(MakeQtFont(logFont));
        painter.translate(x, y);
        // Escapement turns the baseline counterclockwise, in tenths of a degree.
        // (In floating point: an escapement of INT_MIN has no int negation.)
        painter.rotate(-(logFont.escapement / 10.0));
        // A layout box without size: no wrapping, no clipping, a new line at each line feed.
        painter.drawText(QRectF(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         QString::fromStdWString(text));
    }
    coverage.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(canvas.constScanLine(row));
        for (int32_t column = 0; column < width; ++column) {
            coverage[static_cast<size_t>(row) * static_cast<size_t>(width) +
                     static_cast<size_t>(column)] = static_cast<uint8_t>(qBlue(pixels[column]));
        }
    }
    return true;
}

std::shared_ptr<ITextRasteriser> StartQtTextRasteriser() {
    if (!StartQtGuiApplication()) {
        return nullptr;
    }
    return std::make_shared<QtTextRasteriser>();
}

}  // namespace vortrel
