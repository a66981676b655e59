#pragma once

#include <cstdint>

#include "views/IView.h"

namespace vortrel {

class TimeScale;

// The play head: a red line down the track area with a triangle on the ruler's lower edge.
// Its owner places it (marginLeft) at the pixel of the stored playback position.
class SeekbarView : public IView {
  public:
    /// Width of the line's view; the triangle reaches half of it again beyond each side.
    static constexpr int32_t kWidth = 6;

    /// A play head at time 0 below a ruler of the standard height.
    explicit SeekbarView(TimeScale* timeScale);

    /// Draws the triangle and the line.
    void Draw(IDrawContext& context) override;

    /// The pixel of the stored position under the current zoom (0 for an unusable zoom).
    int32_t PositionPixels() const;

    int32_t GetTop() const { return top_; }
    /// Sets how far below the view's top the triangle's point lies (the ruler's height).
    void SetTop(int32_t top) { top_ = top; }
    int32_t GetPosition() const { return position_; }
    /// Stores the playback position in timeline milliseconds.
    void SetPosition(int32_t position) { position_ = position; }
    TimeScale* GetTimeScale() const { return timeScale_; }

  private:
    int32_t top_;
    int32_t position_ = 0;
    TimeScale* timeScale_;
};

}  // namespace vortrel
