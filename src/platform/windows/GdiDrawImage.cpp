#include "platform/windows/GdiDrawImage.h"

#include <utility>

namespace vortrel {

std::shared_ptr<GdiplusSession> GdiplusSession::Start() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        return nullptr;
    }
    return std::shared_ptr<GdiplusSession>(new GdiplusSession(token));
}

GdiplusSession::~GdiplusSession() {
    Gdiplus::GdiplusShutdown(token_);
}

GdiDrawImage::GdiDrawImage(std::shared_ptr<GdiplusSession> session, int32_t width, int32_t height,
                           std::vector<uint32_t> pixels)
    : session_(std::move(session)), width_(width), height_(height), pixels_(std::move(pixels)) {
    // The bitmap reads the pixels where they lie; they live as long as it does.
    bitmap_ = std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppARGB,
                                                reinterpret_cast<BYTE*>(pixels_.data()));
}

GdiDrawImage::~GdiDrawImage() {
    bitmap_.reset();  // before the pixels and the session
}

std::unique_ptr<GdiDrawImage> GdiDrawImage::FromBitmap(std::shared_ptr<GdiplusSession> session,
                                                       Gdiplus::Bitmap& bitmap) {
    if (bitmap.GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    const UINT width = bitmap.GetWidth();
    const UINT height = bitmap.GetHeight();
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
        return nullptr;
    }
    // The pixels are decoded here, straight into the picture's own buffer; a decoder that
    // fails part-way leaves no picture.
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    Gdiplus::Rect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (bitmap.LockBits(&area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        return nullptr;
    }
    bitmap.UnlockBits(&data);
    return std::make_unique<GdiDrawImage>(std::move(session), static_cast<int32_t>(width),
                                          static_cast<int32_t>(height), std::move(pixels));
}

}  // namespace vortrel
