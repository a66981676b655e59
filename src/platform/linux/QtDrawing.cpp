#include "platform/linux/QtDrawing.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>

#include "platform/linux/QtDrawContext.h"
#include "platform/linux/QtDrawImage.h"
#include "platform/linux/QtDrawSurface.h"
#include "platform/linux/QtFonts.h"
#include "ports/DibBitmap.h"

namespace vortrel {

namespace {

// Pictures larger than this on a side are refused before their pixels are allocated.
constexpr int32_t kMaxPictureSide = 8192;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;

uint32_t ReadUint32(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

std::unique_ptr<IDrawSurface> QtDrawing::CreateSurface(int32_t width, int32_t height) {
    return QtDrawSurface::Make(width, height);
}

std::unique_ptr<IDrawImage> QtDrawing::DecodeImage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0 || size > static_cast<size_t>(INT32_MAX)) {
        return nullptr;
    }
    const QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<int>(size));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "bmp") {
        return nullptr;
    }
    // The size comes from the header, before any pixel is allocated.
    const QSize declared = reader.size();
    if (!declared.isValid() || declared.isEmpty() || declared.width() > kMaxPictureSide ||
        declared.height() > kMaxPictureSide) {
        return nullptr;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() > kMaxPictureSide ||
        image.height() > kMaxPictureSide) {
        return nullptr;
    }
    return std::make_unique<QtDrawImage>(std::move(image));
}

std::unique_ptr<IDrawImage> QtDrawing::ImageFromDib(const DibBitmap& bitmap) {
    // A BITMAPINFOHEADER (or a later, longer one) of an uncompressed 24- or 32-bit bitmap,
    // then its rows, each padded to 4 bytes, bottom row first unless the height is negative.
    const std::vector<uint8_t>& bits = bitmap.bits;
    if (bits.size() < kBitmapInfoHeaderSize) {
        return nullptr;
    }
    const uint32_t headerSize = ReadUint32(bits, 0);
    const int32_t width = bitmap.GetWidth();
    const int32_t rawHeight = bitmap.GetHeight();
    const int32_t bitCount = bitmap.GetBitCount();
    const uint32_t compression = ReadUint32(bits, 16);
    if (headerSize < kBitmapInfoHeaderSize || headerSize > bits.size() || width <= 0 ||
        rawHeight == 0 || rawHeight == INT32_MIN || (bitCount != 24 && bitCount != 32) ||
        compression != kUncompressed) {
        return nullptr;
    }
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        return nullptr;
    }
    const size_t bytesPerPixel = static_cast<size_t>(bitCount) / 8;
    const size_t stride = (static_cast<size_t>(width) * bytesPerPixel + 3) / 4 * 4;
    if (bits.size() - headerSize < stride * static_cast<size_t>(height)) {
        return nullptr;
    }
    // The fourth byte of a 32-bit pixel is unused: the picture is opaque.
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;
    }
    for (int32_t row = 0; row < height; ++row) {
        const size_t stored = static_cast<size_t>(topDown ? row : height - 1 - row);
        const uint8_t* from = bits.data() + headerSize + stored * stride;
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* pixel = from + static_cast<size_t>(x) * bytesPerPixel;
            to[x] = qRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
    return std::make_unique<QtDrawImage>(std::move(image));
}

std::unique_ptr<IDrawContext> QtDrawing::ScreenContext() {
    return std::make_unique<QtDrawContext>(1, 1);
}

std::shared_ptr<IDrawing> StartQtDrawing() {
    if (!StartQtGuiApplication()) {
        return nullptr;
    }
    return std::make_shared<QtDrawing>();
}

}  // namespace vortrel
