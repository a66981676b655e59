#include "views/VideoView.h"

#include <algorithm>
#include <utility>

#include "model/VideoClip.h"
#include "views/ImageView.h"

namespace vortrel {

namespace {

// The film bands along the top and bottom, and their sprocket holes.
constexpr int32_t kBandHeight = 10;
constexpr int32_t kHoleSide = 8;
constexpr int32_t kFirstHoleOffset = 5;
constexpr int32_t kHolePitch = 13;
constexpr ColorRef kBandColor = 0x000000;
constexpr ColorRef kHoleColor = 0xFFFFFF;

// A black band with white square holes; only the holes that reach into the clip box are
// drawn, found by arithmetic so that a long clip costs no more than a short one.
void DrawBand(IDrawContext& context, const DrawRect& band, const DrawRect& clip) {
    context.SetBrush(kBandColor);
    context.Rectangle(band);
    context.SetBrush(kHoleColor);
    const int32_t firstLeft = band.left + kFirstHoleOffset;
    const int32_t top = band.top + (band.Height() - kHoleSide) / 2;
    int64_t hole = 0;
    // The first hole whose right edge is at least the clip box's left edge.
    if (clip.left - kHoleSide > firstLeft) {
        hole =
            (static_cast<int64_t>(clip.left) - kHoleSide - firstLeft + kHolePitch - 1) / kHolePitch;
    }
    for (int64_t left = firstLeft + hole * kHolePitch; left <= clip.right && left < band.right;
         left += kHolePitch) {
        const auto holeLeft = static_cast<int32_t>(left);
        context.Rectangle({holeLeft, top, holeLeft + kHoleSide, top + kHoleSide});
    }
}

}  // namespace

VideoView::VideoView(VideoClip* clip, TimeScale* timeScale, MouseDispatcher& mouse)
    : IContentView(clip, timeScale, mouse), clip_(clip) {}

VideoView::~VideoView() = default;

void VideoView::Draw(IDrawContext& context) {
    DrawBody(context);
    const DrawRect clip = context.ClipBox();
    const DrawRect bounds = GetBounds();
    // The bands are outlined with the pen a fresh memory context starts with: black.
    context.SetPen(kBandColor, 1);
    DrawBand(context, {bounds.left, bounds.top, bounds.right, bounds.top + kBandHeight}, clip);
    DrawBand(context, {bounds.left, bounds.bottom - kBandHeight, bounds.right, bounds.bottom},
             clip);

    const int32_t height = GetEffectiveHeight();
    if (thumbnail_ == nullptr || thumbnailHeight_ != height) {
        MakeThumbnail(context, height);
    }
    if (thumbnail_ != nullptr) {
        const int32_t width = std::min({thumbnailWidth_, GetEffectiveWidth(), thumbnail_->Width()});
        context.Blit({bounds.left, bounds.top}, width, height, *thumbnail_, {0, 0});
    }
}

void VideoView::OnContentChanged() {
    Relayout();
    thumbnail_.reset();
    thumbnailWidth_ = 0;
    thumbnailHeight_ = 0;
    posterMissing_ = false;
}

void VideoView::MakeThumbnail(IDrawContext& context, int32_t height) {
    thumbnail_.reset();
    thumbnailWidth_ = 0;
    thumbnailHeight_ = height;
    // A clip without a frame is not asked again on every repaint, only after it changed.
    if (clip_ == nullptr || posterMissing_) {
        return;
    }
    std::unique_ptr<DibBitmap> poster = clip_->CreatePosterFrame();
    if (poster == nullptr) {
        posterMissing_ = true;
        return;
    }
    ImageView frame(*poster);
    if (frame.GetImage() == nullptr) {
        posterMissing_ = true;
        return;
    }
    thumbnail_ = ScaleToHeight(context, frame.GetImage(), height, thumbnailWidth_);
    posterMissing_ = thumbnail_ == nullptr && height > 0;
}

}  // namespace vortrel
