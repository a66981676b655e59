#pragma once

#include <QImage>

#include <memory>

#include "platform/linux/QtDrawContext.h"
#include "ports/IDrawContext.h"

namespace vortrel {

// An off-screen surface on Qt: an RGB32 image, black when made, with its drawing context.
class QtDrawSurface : public IDrawSurface {
  public:
    /// A surface of a size that Make has accepted.
    QtDrawSurface(int32_t width, int32_t height);

    /// A new black surface; none when a side is not positive or the surface is too large.
    static std::unique_ptr<QtDrawSurface> Make(int32_t width, int32_t height);

    int32_t Width() const override { return image_.width(); }
    int32_t Height() const override { return image_.height(); }
    IDrawContext& Context() override { return context_; }
    ColorRef PixelAt(int32_t x, int32_t y) const override;
    /// The surface's pixels.
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
    QtDrawContext context_;
};

}  // namespace vortrel
