#pragma once

#include <QImage>

#include <utility>

#include "ports/IDrawContext.h"

namespace vortrel {

// A decoded picture on Qt: a premultiplied ARGB image, ready to be blended.
class QtDrawImage : public IDrawImage {
  public:
    explicit QtDrawImage(QImage image)
        : image_(std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied)) {}

    int32_t Width() const override { return image_.width(); }
    int32_t Height() const override { return image_.height(); }
    /// The picture's pixels.
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
};

}  // namespace vortrel
