#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "model/TimeScale.h"
#include "support/ContentViewFixture.h"
#include "support/TestContents.h"
#include "support/TestView.h"
#include "views/MouseDispatcher.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::EventLog;
using testing::Place;
using testing::PlainContentView;
using testing::TestClip;
using testing::TestTrack;

// A clip on a track at zoom 1 (4 ms a pixel) with a view laid out in a 52-pixel row at the
// window's top left, driven through a mouse dispatcher of its own.
class ContentInput : public ::testing::Test {
  protected:
    ContentInput() : log_(std::make_shared<EventLog>()), track_(log_) {}
    ~ContentInput() override {
        // Leave the dispatcher with the button up for the next test.
        mouse_.OnMouseUp(0, 0);
    }

    /// Adds a clip from start to stop ms and a view of it, placed where a row would put it.
    PlainContentView& AddClip(const std::string& name, int32_t start, int32_t stop) {
        TestClip& clip = track_.Add(name, start, stop);
        clip.GetSegment()->SetScale(scale_.GetScaleField());
        return AddView(clip);
    }
    PlainContentView& AddView(IContent& content) {
        views_.push_back(std::make_unique<PlainContentView>(&content, &scale_, mouse_));
        PlainContentView& view = *views_.back();
        Layout(view);
        view.GetLayoutEvent()->Attach(&relayout_);
        return view;
    }
    /// Lays the view out as its row would: at its margin, as wide as it asks, 52 high.
    static void Layout(IView& view) {
        Place(view, view.GetMarginLeft(), 0, view.GetExplicitWidth(), 52);
    }

    MouseDispatcher mouse_;
    TimeScale scale_;
    std::shared_ptr<EventLog> log_;
    TestTrack track_;
    std::vector<std::unique_ptr<PlainContentView>> views_;
    // Relayouts the view whenever it announces a layout change, as the timeline does.
    CallbackObserver relayout_{[this](ISubject&) {
        for (auto& view : views_) {
            Layout(*view);
        }
    }};
};

TEST_F(ContentInput, APressChoosesTheDragModeFromTheGripsOfAClipWideEnoughForThem) {
    const struct {
        int32_t stop;  // the clip starts at 0
        int32_t x, y;
        int32_t mode;
    } cases[] = {
        {400, 3, 26, IContentView::kTrimStart},  // 100 pixels wide, 3 from the left edge
        {60, 3, 26, IContentView::kMove},        // 15 pixels wide: no grips
        {400, 0, 22, IContentView::kTrimStart},  // the grip's corners are inside
        {400, 8, 30, IContentView::kTrimStart},
        {400, 9, 26, IContentView::kMove},
        {400, 3, 31, IContentView::kMove},
        {400, 92, 26, IContentView::kTrimStop},
        {400, 91, 26, IContentView::kMove},
        {64, 8, 26, IContentView::kTrimStart},  // 16 pixels: the left grip comes first
        {64, 9, 26, IContentView::kTrimStop},
    };
    for (const auto& c : cases) {
        PlainContentView& view = AddClip("c", 0, c.stop);
        ASSERT_TRUE(mouse_.OnMouseDown(c.x, c.y));
        EXPECT_EQ(view.GetDragMode(), c.mode) << c.stop << " at " << c.x << "," << c.y;
        mouse_.OnMouseUp(c.x, c.y);
        views_.clear();
        track_.RemoveAllContents();
    }
}

TEST_F(ContentInput, MovesStopAtZeroTrimsKeepSixteenPixelsAndVerticalDragsChangeNothing) {
    const struct {
        const char* what;
        int32_t pressX;  // in the clip at 40 ms .. 200 ms: pixels 10 .. 50
        int32_t dx, dy;
        int32_t marginLeft, width;
    } cases[] = {
        {"move left past 0", 30, -25, 0, 0, 40},   {"move right", 30, 25, 0, 35, 40},
        {"trim start past 16", 12, 30, 0, 34, 16}, {"trim start past 0", 12, -25, 0, 0, 50},
        {"trim stop past 16", 48, -30, 0, 10, 16}, {"trim stop out", 48, 30, 0, 10, 70},
        {"vertical move", 30, 0, 40, 10, 40},      {"vertical trim", 12, 0, -40, 10, 40},
    };
    for (const auto& c : cases) {
        PlainContentView& view = AddClip("c", 40, 200);
        MouseDispatcher& mouse = mouse_;
        mouse.OnMouseDown(c.pressX, 26);
        // The drag goes in two steps: the clamps hold at every step.
        mouse.OnMouseMove(c.pressX + c.dx / 2, 26 + c.dy / 2);
        mouse.OnMouseMove(c.pressX + c.dx, 26 + c.dy);
        EXPECT_EQ(view.GetMarginLeft(), c.marginLeft) << c.what;
        EXPECT_EQ(view.GetExplicitWidth(), c.width) << c.what;
        EXPECT_EQ(view.GetY(), 0) << c.what;
        // Each drag hands the content its new range at once.
        const TimeSegment& segment = *view.GetContent()->GetSegment();
        EXPECT_EQ(segment.GetStart(), c.marginLeft * 4) << c.what;
        EXPECT_EQ(segment.GetStop(), (c.marginLeft + c.width) * 4) << c.what;
        mouse.OnMouseUp(0, 0);
        views_.clear();
        track_.RemoveAllContents();
    }
}

TEST_F(ContentInput, TheReleaseCommitsTheRangeThenUpdatesAndTheModelsCorrectionComesBack) {
    AddClip("a", 0, 400);                              // pixels 0 .. 100
    PlainContentView& view = AddClip("b", 800, 1200);  // pixels 200 .. 300
    log_->clear();
    MouseDispatcher& mouse = mouse_;
    mouse.OnMouseDown(250, 26);
    mouse.OnMouseMove(100, 26);  // to pixels 50 .. 150, over "a"
    EXPECT_EQ(view.GetMarginLeft(), 50);
    EXPECT_TRUE(log_->empty());  // nothing reaches the engine while dragging
    mouse.OnMouseUp(100, 26);

    EXPECT_EQ(view.GetVisualState(), IView::kSelected);
    // The track pushed the clip past "a" before its set-up; the view follows.
    EXPECT_EQ(*log_, EventLog{"setup b"});
    auto& clip = static_cast<TestClip&>(*view.GetContent());
    EXPECT_EQ(clip.setupTimes.back(), (std::pair<int32_t, int32_t>{400, 800}));
    EXPECT_EQ(view.GetMarginLeft(), 100);
    EXPECT_EQ(view.GetExplicitWidth(), 100);
}

// A clip whose engine set-up fails, as one of a file that went away does.
class RefusedClip : public TestClip {
  public:
    void SetupDes() override { throw std::runtime_error("Could not setup video clip"); }
};

TEST_F(ContentInput, AFailedSetUpOnReleaseStaysInsideTheViewWhichShowsTheModelsTimes) {
    AddClip("a", 0, 400);
    auto refused = std::make_shared<RefusedClip>();
    track_.AddContent(refused);
    SetTimes(*refused, scale_, 800, 1200);
    PlainContentView& view = AddView(*refused);

    MouseDispatcher& mouse = mouse_;
    mouse.OnMouseDown(250, 26);
    mouse.OnMouseMove(100, 26);
    EXPECT_NO_THROW(mouse.OnMouseUp(100, 26));
    EXPECT_EQ(view.GetVisualState(), IView::kSelected);
    EXPECT_EQ(refused->GetSegment()->GetStart(), 400);
    EXPECT_EQ(view.GetMarginLeft(), 100);
}

}  // namespace
}  // namespace vortrel
