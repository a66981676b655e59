#include "views/ImageView.h"

#include <utility>

namespace vortrel {

ImageView::ImageView(const uint8_t* bytes, size_t size) {
    if (std::shared_ptr<IDrawing> drawing = GetDrawing(); drawing != nullptr && bytes != nullptr) {
        image_ = drawing->DecodeImage(bytes, size);
    }
}

ImageView::ImageView(const DibBitmap& bitmap) {
    if (std::shared_ptr<IDrawing> drawing = GetDrawing()) {
        image_ = drawing->ImageFromDib(bitmap);
    }
}

ImageView::ImageView(std::shared_ptr<const IDrawImage> image) : image_(std::move(image)) {}

void ImageView::Draw(IDrawContext& context) {
    if (image_ == nullptr) {
        return;
    }
    const int32_t imageWidth = image_->Width();
    const int32_t imageHeight = image_->Height();
    DrawRect destination = GetBounds();
    if (!stretch_) {
        const int32_t left = GetX() + (GetEffectiveWidth() - imageWidth) / 2;
        const int32_t top = GetY() + (GetEffectiveHeight() - imageHeight) / 2;
        destination = {left, top, left + imageWidth, top + imageHeight};
    }
    const auto width = static_cast<float>(imageWidth);
    const auto height = static_cast<float>(imageHeight);
    const DrawRect source{0, 0, static_cast<int32_t>(width - cropRight_ * width),
                          static_cast<int32_t>(height - cropBottom_ * height)};
    context.DrawImage(*image_, destination, source);
}

}  // namespace vortrel
