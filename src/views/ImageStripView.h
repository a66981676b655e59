#pragma once

#include <cstdint>
#include <memory>

#include "views/IContentView.h"

namespace vortrel {

class MouseDispatcher;

class ImageClip;

// An image clip drawn as its picture repeated along the clip, each tile scaled to the row's
// height with its shape kept, the last one cut at the clip's end. The scaled tile is kept
// until the clip changes, and only the tiles inside the clip box are copied.
class ImageStripView : public IContentView {
  public:
    /// A view of a clip (not owned) at the zoom of a time scale (not owned).
    ImageStripView(ImageClip* clip, TimeScale* timeScale, MouseDispatcher& mouse);
    ~ImageStripView() override;

    /// The body and the tiles.
    void Draw(IDrawContext& context) override;
    /// Follows the clip's times and drops the tile, as its file may have changed.
    void OnContentChanged() override;

    /// The width of one tile (0 before the first or without a picture).
    int32_t GetTileWidth() const { return tileWidth_; }
    /// Whether a scaled tile is kept.
    bool HasTile() const { return tile_ != nullptr; }

  private:
    // Loads the clip's picture and scales it to the view's height into an off-screen surface
    // like the context's; leaves none when the file cannot be read or the picture has no
    // height.
    void MakeTile(IDrawContext& context, int32_t height);

    ImageClip* clip_;
    std::unique_ptr<IDrawSurface> tile_;
    int32_t tileWidth_ = 0;
    int32_t tileHeight_ = 0;
    bool imageMissing_ = false;
};

}  // namespace vortrel
