#include "views/ImageStripView.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/FileAccess.h"
#include "base/Utf8.h"
#include "model/ImageClip.h"
#include "views/ImageView.h"

namespace vortrel {

namespace {

// The bytes of a regular file; empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    UniqueFile file = OpenRegularFile(ToPath(path));
    if (file == nullptr) {
        return bytes;
    }
    uint8_t buffer[65536];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + read);
    }
    return bytes;
}

}  // namespace

ImageStripView::ImageStripView(ImageClip* clip, TimeScale* timeScale, MouseDispatcher& mouse)
    : IContentView(clip, timeScale, mouse), clip_(clip) {}

ImageStripView::~ImageStripView() = default;

void ImageStripView::Draw(IDrawContext& context) {
    DrawBody(context);
    const DrawRect clip = context.ClipBox();
    const int32_t height = GetEffectiveHeight();
    if (tile_ == nullptr || tileHeight_ != height) {
        MakeTile(context, height);
    }
    // A tile narrower than a pixel could never advance along the clip.
    if (tile_ == nullptr || tileWidth_ < 1) {
        return;
    }
    const int64_t x = GetX();
    const int64_t end = x + GetEffectiveWidth();
    // Tiles wholly left of the clip box are skipped by arithmetic, so that a long clip costs
    // no more than a short one; tiles past the clip box are not visited at all.
    int64_t tile = 0;
    if (clip.left - tileWidth_ > x) {
        tile = (clip.left - tileWidth_ - x + tileWidth_ - 1) / tileWidth_;
    }
    for (int64_t tileX = x + tile * tileWidth_; tileX < end && tileX <= clip.right;
         tileX += tileWidth_) {
        const auto width = static_cast<int32_t>(std::min<int64_t>(tileWidth_, end - tileX));
        context.Blit({static_cast<int32_t>(tileX), GetY()}, std::min(width, tile_->Width()), height,
                     *tile_, {0, 0});
    }
}

void ImageStripView::OnContentChanged() {
    Relayout();
    tile_.reset();
    tileWidth_ = 0;
    tileHeight_ = 0;
    imageMissing_ = false;
}

void ImageStripView::MakeTile(IDrawContext& context, int32_t height) {
    tile_.reset();
    tileWidth_ = 0;
    tileHeight_ = height;
    // A file that cannot be shown is not read again on every repaint, only after a change.
    if (clip_ == nullptr || imageMissing_) {
        return;
    }
    const std::vector<uint8_t> bytes = ReadWholeFile(clip_->GetSource());
    ImageView picture(bytes.data(), bytes.size());
    if (picture.GetImage() == nullptr) {
        imageMissing_ = true;
        return;
    }
    tile_ = ScaleToHeight(context, picture.GetImage(), height, tileWidth_);
    imageMissing_ = tile_ == nullptr && height > 0;
}

}  // namespace vortrel
