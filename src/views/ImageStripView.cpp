#include "views/ImageStripView.h"

#include "model/ImageClip.h"

namespace vortrel {

ImageStripView::ImageStripView(ImageClip* clip, TimeScale* timeScale)
    : IContentView(clip, timeScale), clip_(clip) {}

ImageStripView::~ImageStripView() = default;

void ImageStripView::Draw(IDrawContext& context) {
    DrawBody(context);
}

void ImageStripView::OnContentChanged() {}

void ImageStripView::MakeTile(IDrawContext& /*context*/, int32_t /*height*/) {}

}  // namespace vortrel
