#pragma once

#include <cstdint>

#include "views/IView.h"

namespace vortrel {

class MouseDispatcher;

class ScrollbarView;

// An arrow button at one end of a scroll bar. A press steps the bar once at once, then,
// after a 500 ms delay, every 50 ms until the button is released.
class ScrollButtonView : public IView {
  public:
    /// The arrow directions.
    static constexpr int32_t kLeft = 0;
    static constexpr int32_t kUp = 1;
    static constexpr int32_t kRight = 2;
    static constexpr int32_t kDown = 3;
    /// Milliseconds from the press to the start of the repeat, and between two repeats.
    static constexpr int32_t kDelay = 500;
    static constexpr int32_t kRepeat = 50;

    /// A 16 x 16 button of a direction stepping a bar; right and down buttons align to the
    /// far end. It takes presses from a dispatcher that outlives it.
    ScrollButtonView(int32_t direction, ScrollbarView* scrollbar, MouseDispatcher& mouse);
    ~ScrollButtonView() override;

    /// Draws the button and its chevron.
    void Draw(IDrawContext& context) override;
    /// Steps once and starts the delay.
    void OnMouseDown(int32_t x, int32_t y) override;
    /// Stops stepping.
    void OnMouseUp() override;
    /// Ends the delay and starts the repeat, or steps once more.
    void OnTimeElapsed(int32_t timerId) override;

    int32_t GetDirection() const { return direction_; }
    int32_t GetDelayTimerId() const { return delayTimerId_; }
    int32_t GetRepeatTimerId() const { return repeatTimerId_; }

  private:
    void StopTimers();

    int32_t direction_;
    ScrollbarView* scrollbar_;
    MouseDispatcher& mouse_;
    int32_t delayTimerId_;
    int32_t repeatTimerId_;
    bool listening_ = false;  // subscribed to the timer event
};

}  // namespace vortrel
