#include "views/VideoView.h"

#include "model/VideoClip.h"

namespace vortrel {

VideoView::VideoView(VideoClip* clip, TimeScale* timeScale)
    : IContentView(clip, timeScale), clip_(clip) {}

VideoView::~VideoView() = default;

void VideoView::Draw(IDrawContext& context) {
    DrawBody(context);
}

void VideoView::OnContentChanged() {}

void VideoView::MakeThumbnail(IDrawContext& /*context*/, int32_t /*height*/) {}

}  // namespace vortrel
