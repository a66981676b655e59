#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "ports/DibBitmap.h"
#include "views/IView.h"

namespace vortrel {

// A picture drawn stretched over the view or at its natural size centred in it, with a
// fraction of its right and bottom cut away. A picture that could not be decoded draws
// nothing.
class ImageView : public IView {
  public:
    /// A picture decoded from a PNG or BMP file's bytes.
    ImageView(const uint8_t* bytes, size_t size);
    /// A picture of a device-independent bitmap.
    explicit ImageView(const DibBitmap& bitmap);
    /// A picture decoded before, shared with other views.
    explicit ImageView(std::shared_ptr<const IDrawImage> image);

    /// Draws the uncropped part of the picture.
    void Draw(IDrawContext& context) override;

    /// The picture, or none when it could not be decoded.
    const std::shared_ptr<const IDrawImage>& GetImage() const { return image_; }
    float GetCropRight() const { return cropRight_; }
    float GetCropBottom() const { return cropBottom_; }
    bool IsStretch() const { return stretch_; }
    /// The fraction (0 to 1) of the picture cut away on the right.
    void SetCropRight(float fraction) { cropRight_ = fraction; }
    /// The fraction (0 to 1) of the picture cut away at the bottom.
    void SetCropBottom(float fraction) { cropBottom_ = fraction; }
    /// Stretched over the view, or at natural size centred.
    void SetStretch(bool stretch) { stretch_ = stretch; }

  private:
    std::shared_ptr<const IDrawImage> image_;
    float cropRight_ = 0.0f;
    float cropBottom_ = 0.0f;
    bool stretch_ = true;
};

}  // namespace vortrel
