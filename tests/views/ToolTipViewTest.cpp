#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeTimerHost.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "views/MouseDispatcher.h"
#include "views/ToolTipView.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::DrawLog;
using testing::FakeTimerHost;
using testing::RecordingDrawContext;
using testing::RecordingDrawing;

// A hover tip and a mini tip as the timeline view keeps them, with owners that answer their
// requests: the hover tip gets a text over "clips" (x below 500), the mini tip only while a
// clip is "pressed", anchored at the clip's edge (x 40) on the top line. Text is measured by
// the recording fake: 7 pixels a character, 16 a line.
class ToolTips : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDrawing(drawing);
        hover.GetToolTipEvent()->Attach(&hoverOwner);
        mini.GetToolTipEvent()->Attach(&miniOwner);
        hoverOwner.SetCallback([this](ISubject&) {
            const ToolTipEvent& e = *hover.GetToolTipEvent();
            requests.push_back("hover " + std::to_string(e.GetX()) + "," +
                               std::to_string(e.GetY()) + (e.IsWhileDragging() ? " dragging" : ""));
            if (e.GetX() < 500) {
                hover.SetText(L"Clip: a\nStart: 1.0");
            }
        });
        miniOwner.SetCallback([this](ISubject&) {
            requests.push_back("mini");
            if (clipPressed) {
                mini.SetText(L"2.500");
                mini.SetAnchor(40, 0);
            }
        });
    }
    void TearDown() override {
        hover.GetToolTipEvent()->Detach(&hoverOwner);
        mini.GetToolTipEvent()->Detach(&miniOwner);
        SetDrawing(nullptr);
    }

    bool HoverShown() const { return hover.GetVisualState() == IView::kNormal; }
    bool MiniShown() const { return mini.GetVisualState() == IView::kNormal; }

    MouseDispatcher mouse;
    std::shared_ptr<RecordingDrawing> drawing = std::make_shared<RecordingDrawing>();
    FakeTimerHost timers;
    ToolTipView hover{true, mouse};
    ToolTipView mini{false, mouse};
    CallbackObserver hoverOwner;
    CallbackObserver miniOwner;
    std::vector<std::string> requests;
    bool clipPressed = false;
};

TEST_F(ToolTips, TheHoverTipShows800MsAfterTheLastMove20PixelsBelowThePointer) {
    EXPECT_FALSE(HoverShown());
    EXPECT_FALSE(mouse.OnMouseMove(100, 50));  // nothing changed on screen
    timers.Advance(500);
    EXPECT_FALSE(mouse.OnMouseMove(120, 60));  // re-arms the wait
    timers.Advance(799);
    EXPECT_FALSE(HoverShown());
    EXPECT_TRUE(requests.empty());
    timers.Advance(1);
    EXPECT_TRUE(HoverShown());
    EXPECT_EQ(requests, std::vector<std::string>{"hover 120,60"});
    EXPECT_FALSE(timers.IsRunning(hover.GetTimerId())) << "the wait ends with the tip";
    // The label is measured on two lines, the tip wraps it with 3 pixels on each side.
    EXPECT_EQ(hover.GetBounds(), (DrawRect{120, 80, 120 + 70 + 6, 80 + 32 + 6}));
    EXPECT_EQ(hover.GetLabel()->GetBounds(), (DrawRect{123, 83, 193, 115}));
    EXPECT_FALSE(hover.GetLabel()->IsSingleLine());

    EXPECT_TRUE(mouse.OnMouseMove(121, 60));  // the next move hides it and waits again
    EXPECT_FALSE(HoverShown());
    EXPECT_EQ(timers.PeriodOf(hover.GetTimerId()), 800);
    timers.Advance(800);
    EXPECT_TRUE(HoverShown());
    EXPECT_EQ(hover.GetX(), 121);

    // Where the owner has no text the tip does not appear.
    mouse.OnMouseMove(600, 60);
    timers.Advance(800);
    EXPECT_FALSE(HoverShown());
    EXPECT_EQ(requests.back(), "hover 600,60");
}

TEST_F(ToolTips, MiniTipsShowOnlyWhileAPressedClipIsDraggedAndGoWithTheNextPlainMove) {
    mouse.OnMouseMove(30, 30);
    timers.Advance(2000);
    EXPECT_FALSE(MiniShown());
    EXPECT_EQ(requests, std::vector<std::string>{"hover 30,30"})
        << "plain moves ask the mini tip nothing";

    // A drag with nothing pressed asks, but shows nothing.
    mouse.OnMouseDown(30, 30);
    EXPECT_TRUE(mouse.OnMouseMove(35, 30));
    EXPECT_FALSE(MiniShown());
    mouse.OnMouseUp(35, 30);

    clipPressed = true;
    requests.clear();
    mouse.OnMouseDown(30, 30);
    mouse.OnMouseMove(45, 32);
    EXPECT_TRUE(MiniShown());
    EXPECT_EQ(mini.GetBounds(), (DrawRect{40, 0, 40 + 35 + 6, 16 + 6})) << "at its anchor";
    EXPECT_TRUE(HoverShown()) << "the hover tip follows the drag";
    EXPECT_EQ(hover.GetY(), 52);
    EXPECT_FALSE(timers.IsRunning(hover.GetTimerId()));
    EXPECT_EQ(requests, (std::vector<std::string>{"hover 45,32 dragging", "mini"}));
    mouse.OnMouseMove(47, 32);
    EXPECT_EQ(hover.GetX(), 47);

    mouse.OnMouseUp(47, 32);  // the release is a move without the button
    EXPECT_FALSE(MiniShown());
    EXPECT_FALSE(HoverShown());
}

TEST_F(ToolTips, ARaisedYellowFrameThenTheText) {
    mouse.OnMouseMove(10, 10);
    timers.Advance(800);
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    hover.Render(context);
    EXPECT_EQ(log->Text(),
              "SetPen 0x000000 1\nSetBrush 0x64ffff\nRectangle 10,30,86,68\n"
              "DrawEdge 10,30,86,68 Raised\n"
              "SetTextColor 0x1e1414\nSetTransparentText 1\nSetFont Arial -11 400\n"
              "DrawText \"Clip: a\\nStart: 1.0\" 13,33,83,65 Left\n");
}

}  // namespace
}  // namespace vortrel
