#include "platform/windows/GdiDrawing.h"

#include <windows.h>

#include <gdiplus.h>
#include <shlwapi.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/windows/GdiDrawContext.h"
#include "platform/windows/GdiDrawImage.h"
#include "platform/windows/GdiDrawSurface.h"
#include "ports/DibBitmap.h"

namespace vortrel {

namespace {

constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t ReadLittle32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

uint32_t ReadBig32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
           static_cast<uint32_t>(at[2]) << 8 | static_cast<uint32_t>(at[3]);
}

// Whether the bytes begin as a PNG or BMP file of a size a picture may have. The size is read
// from the header before the decoder sees the bytes, so a huge declared size is refused before
// anything is allocated for it.
bool AcceptableHeader(const uint8_t* bytes, size_t size) {
    auto fits = [](int64_t width, int64_t height) {
        return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
    };
    if (size >= 24 && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0 &&
        std::memcmp(bytes + 12, "IHDR", 4) == 0) {
        return fits(ReadBig32(bytes + 16), ReadBig32(bytes + 20));
    }
    if (size >= 26 && bytes[0] == 'B' && bytes[1] == 'M') {
        const uint32_t header = ReadLittle32(bytes + 14);
        if (header == 12) {  // the old core header: 16-bit sides
            return fits(bytes[18] | bytes[19] << 8, bytes[20] | bytes[21] << 8);
        }
        if (header >= kBitmapInfoHeaderSize) {
            const int64_t height = static_cast<int32_t>(ReadLittle32(bytes + 22));
            return fits(static_cast<int32_t>(ReadLittle32(bytes + 18)),
                        height < 0 ? -height : height);
        }
    }
    return false;
}

// The screen's stand-in for measuring text: a memory device context with a one-pixel 32-bit
// bitmap, as deep as the surfaces (a font may be rendered, and so hinted, otherwise on a
// one-bit bitmap). Held as the first base of MeasuringContext, so that it outlives the context
// on it.
class MeasuringDc {
  public:
    MeasuringDc() : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 1;
        info.bmiHeader.biHeight = 1;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~MeasuringDc() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;

  protected:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

class MeasuringContext : private MeasuringDc, public GdiDrawContext {
  public:
    explicit MeasuringContext(std::shared_ptr<GdiplusSession> session)
        : MeasuringDc(), GdiDrawContext(MeasuringDc::dc_, std::move(session)) {}
};

}  // namespace

std::shared_ptr<GdiDrawing> GdiDrawing::Start() {
    std::shared_ptr<GdiplusSession> session = GdiplusSession::Start();
    if (session == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<GdiDrawing>(new GdiDrawing(std::move(session)));
}

std::unique_ptr<IDrawSurface> GdiDrawing::CreateSurface(int32_t width, int32_t height) {
    return GdiDrawSurface::Make(width, height, nullptr, session_);
}

std::unique_ptr<IDrawImage> GdiDrawing::DecodeImage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0 || size > static_cast<size_t>(INT32_MAX) ||
        !AcceptableHeader(bytes, size)) {
        return nullptr;
    }
    IStream* stream = SHCreateMemStream(bytes, static_cast<UINT>(size));
    if (stream == nullptr) {
        return nullptr;
    }
    std::unique_ptr<GdiDrawImage> image;
    {
        // The decoder reads the stream as long as the bitmap lives; the picture copies the
        // pixels out before both go.
        Gdiplus::Bitmap bitmap(stream, FALSE);
        GUID format{};
        if (bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetRawFormat(&format) == Gdiplus::Ok &&
            (IsEqualGUID(format, Gdiplus::ImageFormatPNG) ||
             IsEqualGUID(format, Gdiplus::ImageFormatBMP))) {
            image = GdiDrawImage::FromBitmap(session_, bitmap);
        }
    }
    stream->Release();
    return image;
}

std::unique_ptr<IDrawImage> GdiDrawing::ImageFromDib(const DibBitmap& bitmap) {
    // A BITMAPINFOHEADER (or a later, longer one) of an uncompressed 24- or 32-bit bitmap,
    // then its rows, each padded to 4 bytes, bottom row first unless the height is negative.
    const std::vector<uint8_t>& bits = bitmap.bits;
    if (bits.size() < kBitmapInfoHeaderSize) {
        return nullptr;
    }
    const uint32_t headerSize = ReadLittle32(bits.data());
    const int32_t width = bitmap.GetWidth();
    const int32_t rawHeight = bitmap.GetHeight();
    const int32_t bitCount = bitmap.GetBitCount();
    const uint32_t compression = ReadLittle32(bits.data() + 16);
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
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        const size_t stored = static_cast<size_t>(topDown ? row : height - 1 - row);
        const uint8_t* from = bits.data() + headerSize + stored * stride;
        uint32_t* to = pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* pixel = from + static_cast<size_t>(x) * bytesPerPixel;
            to[x] = 0xFF000000u | static_cast<uint32_t>(pixel[2]) << 16 |
                    static_cast<uint32_t>(pixel[1]) << 8 | pixel[0];
        }
    }
    return std::make_unique<GdiDrawImage>(session_, width, height, std::move(pixels));
}

std::unique_ptr<IDrawImage> GdiDrawing::ImageFromBitmapHandle(HBITMAP handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    Gdiplus::Bitmap bitmap(handle, nullptr);
    return GdiDrawImage::FromBitmap(session_, bitmap);
}

std::unique_ptr<IDrawContext> GdiDrawing::ScreenContext() {
    return std::make_unique<MeasuringContext>(session_);
}

std::unique_ptr<IDrawContext> GdiDrawing::ContextOn(HDC dc) {
    return std::make_unique<GdiDrawContext>(dc, session_);
}

}  // namespace vortrel
