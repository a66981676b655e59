#include "views/ScrollButtonView.h"

#include "model/TimerDispatcher.h"
#include "views/BorderView.h"
#include "views/MouseDispatcher.h"
#include "views/ScrollbarView.h"
#include "views/ThemeColors.h"

namespace vortrel {

ScrollButtonView::ScrollButtonView(int32_t direction, ScrollbarView* scrollbar,
                                   MouseDispatcher& mouse)
    : direction_(direction), scrollbar_(scrollbar), mouse_(mouse) {
    TimerDispatcher& timers = TimerDispatcher::Instance();
    delayTimerId_ = timers.TakeTimerId();
    repeatTimerId_ = timers.TakeTimerId();
    SetExplicitWidth(ScrollbarView::kThickness);
    SetExplicitHeight(ScrollbarView::kThickness);
    if (direction_ == kRight) {
        SetHorizontalAlignment(kAlignFar);
    } else if (direction_ == kDown) {
        SetVerticalAlignment(kAlignFar);
    }
    mouse_.GetDown()->Attach(GetMouseDownEventHandler());
}

ScrollButtonView::~ScrollButtonView() {
    // A button destroyed while held must leave no timer running for it.
    StopTimers();
    mouse_.GetDown()->Detach(GetMouseDownEventHandler());
}

void ScrollButtonView::StopTimers() {
    TimerDispatcher& timers = TimerDispatcher::Instance();
    timers.KillTimer(delayTimerId_);
    timers.KillTimer(repeatTimerId_);
    if (listening_) {
        listening_ = false;
        timers.GetTimerEvent()->Detach(GetTimeElapsedEventHandler());
    }
}

void ScrollButtonView::OnMouseDown(int32_t /*x*/, int32_t /*y*/) {
    SetVisualState(kPressed);
    if (scrollbar_ != nullptr) {
        scrollbar_->StepScroll(direction_);
    }
    TimerDispatcher& timers = TimerDispatcher::Instance();
    // A second press without a release (one the window never saw) must not subscribe
    // twice, or every tick would step twice from then on.
    if (!listening_) {
        listening_ = true;
        timers.GetTimerEvent()->Attach(GetTimeElapsedEventHandler());
    }
    timers.KillTimer(repeatTimerId_);
    timers.SetTimer(delayTimerId_, kDelay);
}

void ScrollButtonView::OnTimeElapsed(int32_t timerId) {
    TimerDispatcher& timers = TimerDispatcher::Instance();
    if (timerId == delayTimerId_) {
        // The delay's end only switches to the repeat: the next step comes 50 ms later.
        timers.KillTimer(delayTimerId_);
        timers.SetTimer(repeatTimerId_, kRepeat);
    } else if (timerId == repeatTimerId_ && scrollbar_ != nullptr) {
        scrollbar_->StepScroll(direction_);
    }
}

void ScrollButtonView::OnMouseUp() {
    SetVisualState(kNormal);
    StopTimers();
}

void ScrollButtonView::Draw(IDrawContext& context) {
    ThemeColors& theme = ThemeColors::Instance();
    const ColorRef border = theme.Border(ThemeKey::kScrollButton);
    BorderView background(GetBounds(), border,
                          GetVisualState() == kPressed ? theme.Shadow(ThemeKey::kScrollButton)
                                                       : theme.Background(ThemeKey::kScrollButton));
    background.Render(context);

    const int32_t x = GetX();
    const int32_t y = GetY();
    const int32_t width = GetEffectiveWidth();
    const int32_t height = GetEffectiveHeight();
    const int32_t l = x + 3;
    const int32_t r = x + width - 3;
    const int32_t t = y + 3;
    const int32_t b = y + height - 3;
    const int32_t hw = (r - l) / 2;
    const int32_t hh = (b - t) / 2;
    context.SetPen(border, 2);
    switch (direction_) {
        case kLeft:
            context.Polyline({{x + 5 + hw, t}, {x + 5, t + hh}, {x + 5 + hw, b}});
            break;
        case kUp:
            context.Polyline({{l, y + 5 + hh}, {l + hw, y + 5}, {r, y + 5 + hh}});
            break;
        case kRight:
            context.Polyline({{x + 1 + hw, t}, {r - 2, t + hh}, {x + 1 + hw, b}});
            break;
        case kDown:
            context.Polyline({{l, y + 1 + hh}, {l + hw, y + height - 5}, {r, y + 1 + hh}});
            break;
        default:
            break;
    }
}

}  // namespace vortrel
