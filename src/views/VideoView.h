#pragma once

#include <cstdint>
#include <memory>

#include "views/IContentView.h"

namespace vortrel {

class MouseDispatcher;

class VideoClip;

// A video clip drawn as a strip of film: black bands with sprocket holes along the top and
// bottom, and the poster frame scaled to the row's height at the clip's left end. The scaled
// thumbnail is kept until the clip changes, so a repaint or a zoom only copies it.
class VideoView : public IContentView {
  public:
    /// A view of a clip (not owned) at the zoom of a time scale (not owned).
    VideoView(VideoClip* clip, TimeScale* timeScale, MouseDispatcher& mouse);
    ~VideoView() override;

    /// The body, the film bands and the thumbnail.
    void Draw(IDrawContext& context) override;
    /// Follows the clip's times and drops the thumbnail, as its media start may have moved.
    void OnContentChanged() override;

    /// The width of the scaled thumbnail (0 before the first or without a poster frame).
    int32_t GetThumbnailWidth() const { return thumbnailWidth_; }
    /// Whether a scaled thumbnail is kept.
    bool HasThumbnail() const { return thumbnail_ != nullptr; }

  private:
    // Scales the poster frame to the view's height into an off-screen surface like the
    // context's; leaves none when the clip has no frame or the frame has no height.
    void MakeThumbnail(IDrawContext& context, int32_t height);

    VideoClip* clip_;
    std::unique_ptr<IDrawSurface> thumbnail_;
    int32_t thumbnailWidth_ = 0;
    int32_t thumbnailHeight_ = 0;
    bool posterMissing_ = false;
};

}  // namespace vortrel
