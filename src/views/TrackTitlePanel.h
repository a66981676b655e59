#pragma once

#include <cstdint>
#include <vector>

#include "views/StackPanel.h"

namespace vortrel {

// The column at the left of the track rows: one title image per track, stacked downwards
// and lined up with the rows, over a light background. It draws through its cache.
class TrackTitlePanel : public StackPanel {
  public:
    /// The column's width and its gap to the window's left edge.
    static constexpr int32_t kWidth = 80;
    static constexpr int32_t kMarginLeft = 3;

    TrackTitlePanel();

    /// The background, then the title images.
    void Draw(IDrawContext& context) override;
    /// Stacks the image and notes when the column no longer shows what its cache holds.
    void AdvanceOrigin(DrawPoint& origin, IView& child) override;

  private:
    // The images as last drawn, with their places: a change among them (an image replaced,
    // shown or hidden) makes the cache stale even when the column itself kept its size.
    struct Placed {
        const IView* view;
        int32_t x;
        int32_t y;
    };
    std::vector<Placed> drawn_;
};

}  // namespace vortrel
