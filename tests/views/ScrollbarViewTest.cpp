#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/TimerDispatcher.h"
#include "support/FakeTimerHost.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "support/TestView.h"
#include "views/Canvas.h"
#include "views/HorizontalScrollbarView.h"
#include "views/MouseDispatcher.h"
#include "views/ScrollBoxView.h"
#include "views/ScrollButtonView.h"
#include "views/VerticalScrollbarView.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::DrawLog;
using testing::FakeTimerHost;
using testing::Place;
using testing::RecordingDrawContext;

// A horizontal bar 216 wide (a track of 184 between its buttons) at (0, 100) and a vertical
// one 216 high at (300, 0), scrolling a target of 1000 pixels with a page of 400.
class Scrollbars : public ::testing::Test {
  protected:
    void SetUp() override {
        Place(horizontal, 0, 100, 216, 16);
        Place(vertical, 300, 0, 16, 216);
        for (ScrollbarView* bar :
             {static_cast<ScrollbarView*>(&horizontal), static_cast<ScrollbarView*>(&vertical)}) {
            bar->SetPage(400);
            bar->SetTotal(1000);
            bar->UpdateThumb();
        }
        horizontal.GetLayoutEvent()->Attach(&barLayouts);
        target.GetLayoutEvent()->Attach(&targetLayouts);
        timerObservers = TimerDispatcher::Instance().GetTimerEvent()->GetObserverCount();
    }
    void TearDown() override {
        horizontal.GetLayoutEvent()->Detach(&barLayouts);
        target.GetLayoutEvent()->Detach(&targetLayouts);
        // Nothing stays subscribed or running once the button is up.
        EXPECT_EQ(TimerDispatcher::Instance().GetTimerEvent()->GetObserverCount(), timerObservers);
        for (ScrollButtonView* button :
             {horizontal.GetFirstButton(), horizontal.GetSecondButton()}) {
            EXPECT_FALSE(timers.IsRunning(button->GetDelayTimerId()));
            EXPECT_FALSE(timers.IsRunning(button->GetRepeatTimerId()));
        }
    }

    MouseDispatcher mouse;
    FakeTimerHost timers;
    Canvas target;
    HorizontalScrollbarView horizontal{&target, mouse};
    VerticalScrollbarView vertical{&target, mouse};
    CallbackObserver barLayouts;
    CallbackObserver targetLayouts;
    size_t timerObservers = 0;
};

TEST_F(Scrollbars, TheThumbIsPageOverTotalOfTheTrackAndPlacedByThePosition) {
    const struct {
        int32_t position;  // asked for
        int32_t stored;
        int32_t offset;  // from the bar's start, past the first button
    } cases[] = {{0, 0, 16}, {600, 600, 127}, {300, 300, 72}, {5000, 600, 127}, {-40, 0, 16}};
    for (auto [position, stored, offset] : cases) {
        horizontal.SetPosition(position);
        vertical.SetPosition(position);
        EXPECT_EQ(horizontal.GetPosition(), stored) << position;
        EXPECT_EQ(target.GetScrollX(), 0) << "the vertical bar set it last";
        EXPECT_EQ(target.GetScrollY(), stored);
        const IView& h = *horizontal.GetThumb();
        const IView& v = *vertical.GetThumb();
        EXPECT_EQ(h.GetBounds(), (DrawRect{offset, 100, offset + 73, 116})) << position;
        EXPECT_EQ(v.GetBounds(), (DrawRect{300, offset, 316, offset + 73})) << position;
    }
    // The buttons sit at the two ends.
    EXPECT_EQ(horizontal.GetSecondButton()->GetBounds(), (DrawRect{200, 100, 216, 116}));
    EXPECT_EQ(vertical.GetSecondButton()->GetBounds(), (DrawRect{300, 200, 316, 216}));

    // Without a page or a total the thumb stays as it was.
    horizontal.SetTotal(0);
    horizontal.UpdateThumb();
    horizontal.SetTotal(1000);
    horizontal.SetPage(0);
    horizontal.UpdateThumb();
    EXPECT_EQ(horizontal.GetThumb()->GetExplicitWidth(), 73);
    // A target within its page cannot be scrolled away from its edge.
    horizontal.SetPage(1200);
    horizontal.SetPosition(50);
    EXPECT_EQ(horizontal.GetPosition(), 0);
}

TEST_F(Scrollbars, AHeldButtonStepsAtOnceThenAfter500MsEvery50MsUntilReleased) {
    mouse.OnMouseDown(205, 105);  // the right button: one thumb pixel is ceil(1000 / 184) = 6
    EXPECT_EQ(horizontal.GetSecondButton()->GetVisualState(), IView::kPressed);
    const struct {
        int64_t at;  // milliseconds after the press
        int32_t position;
    } steps[] = {{0, 6}, {499, 6}, {500, 6}, {549, 6}, {550, 12}, {600, 18}, {700, 30}};
    for (auto [at, position] : steps) {
        timers.Advance(at - timers.Now());
        EXPECT_EQ(horizontal.GetPosition(), position) << at;
        EXPECT_EQ(target.GetScrollX(), position) << at;
    }
    mouse.OnMouseMove(400, 400);  // the capture keeps the button held wherever the pointer goes
    mouse.OnMouseUp(400, 400);
    EXPECT_EQ(horizontal.GetSecondButton()->GetVisualState(), IView::kNormal);
    timers.Advance(1000);
    EXPECT_EQ(horizontal.GetPosition(), 30);
    EXPECT_EQ(barLayouts.calls, 5);  // one relayout per step

    // The left button at the start steps nothing but still relayouts the bar.
    horizontal.SetPosition(0);
    barLayouts.calls = 0;
    targetLayouts.calls = 0;
    mouse.OnMouseDown(3, 110);
    mouse.OnMouseUp(3, 110);
    EXPECT_EQ(horizontal.GetPosition(), 0);
    EXPECT_EQ(barLayouts.calls, 1);
    EXPECT_EQ(targetLayouts.calls, 0);
}

TEST_F(Scrollbars, DraggingTheThumbScalesTheDragAndStopsAtBothEnds) {
    mouse.OnMouseDown(40, 108);
    EXPECT_EQ(horizontal.GetThumb()->GetVisualState(), IView::kPressed);
    const struct {
        int32_t x;
        int32_t y;
        int32_t position;
    } drags[] = {{90, 300, 271},  // 50 bar pixels are 1000 / 184 × 50 target pixels
                 {91, 300, 276}, {400, 0, 600}, {380, 0, 491}, {-500, 0, 0}, {-400, 0, 543}};
    for (auto [x, y, position] : drags) {
        mouse.OnMouseMove(x, y);
        EXPECT_EQ(horizontal.GetPosition(), position) << x;
    }
    mouse.OnMouseUp(-400, 0);
    EXPECT_EQ(horizontal.GetThumb()->GetVisualState(), IView::kNormal);
    EXPECT_EQ(vertical.GetPosition(), 0) << "the other bar's thumb was not touched";

    // Along a vertical bar only the vertical movement counts.
    mouse.OnMouseDown(305, 40);
    mouse.OnMouseMove(900, 90);
    mouse.OnMouseUp(900, 90);
    EXPECT_EQ(vertical.GetPosition(), 271);
}

TEST_F(Scrollbars, AClickOnTheBarCentresThePageOnThePointClicked) {
    mouse.OnMouseDown(150, 108);  // right of the thumb: (150 - 16) × 1000 / 184 - 200
    mouse.OnMouseUp(150, 108);
    EXPECT_EQ(horizontal.GetPosition(), 528);
    mouse.OnMouseDown(20, 108);  // left of the thumb, near the start
    mouse.OnMouseUp(20, 108);
    EXPECT_EQ(horizontal.GetPosition(), 0);
    EXPECT_EQ(barLayouts.calls, 2);
}

TEST_F(Scrollbars, ABarTooShortForItsButtonsDividesByNothing) {
    Place(horizontal, 0, 100, 20, 16);  // a track of -12
    horizontal.StepScroll(ScrollButtonView::kRight);
    EXPECT_EQ(horizontal.GetPosition(), 600);
    horizontal.DragBy(-3, 0);
    EXPECT_EQ(horizontal.GetPosition(), 0);
    horizontal.ClickAt(10, 100);
    EXPECT_EQ(horizontal.GetPosition(), 0);
}

TEST_F(Scrollbars, TheBarThenItsButtonsWithChevronsThenTheThumb) {
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    horizontal.Render(context);
    EXPECT_EQ(log->Text(),
              "SetPen 0xc8c8c8 1\nSetBrush 0xc8c8c8\nRectangle 0,100,216,116\n"
              "SetPen 0x7d7d7d 1\nSetBrush 0x969696\nRectangle 0,100,16,116\n"
              "SetPen 0x7d7d7d 2\nPolyline 10,103 5,108 10,113\n"
              "SetPen 0x7d7d7d 1\nSetBrush 0x969696\nRectangle 16,100,89,116\n"
              "SetPen 0x7d7d7d 1\nSetBrush 0x969696\nRectangle 200,100,216,116\n"
              "SetPen 0x7d7d7d 2\nPolyline 206,103 211,108 206,113\n");
}

}  // namespace
}  // namespace vortrel
