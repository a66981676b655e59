#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "support/RecordingDrawContext.h"
#include "support/TestView.h"
#include "views/Canvas.h"
#include "views/StackPanel.h"

namespace vortrel {
namespace {

using testing::DrawLog;
using testing::RecordingDrawContext;
using testing::TestView;

// Makes a child with a fixed size and margins.
std::unique_ptr<TestView> Child(int32_t width, int32_t height, int32_t marginLeft = 0,
                                int32_t marginTop = 0, int32_t marginRight = 0,
                                int32_t marginBottom = 0) {
    auto view = std::make_unique<TestView>("child");
    view->SetExplicitWidth(width);
    view->SetExplicitHeight(height);
    view->SetMarginLeft(marginLeft);
    view->SetMarginTop(marginTop);
    view->SetMarginRight(marginRight);
    view->SetMarginBottom(marginBottom);
    return view;
}

TEST(ViewSize, AnExplicitSizeOfOneOrMoreWinsOverTheLaidOutOne) {
    const struct {
        int32_t explicitSize;
        int32_t laidOut;
        int32_t effective;
    } cases[] = {{0, 40, 40}, {60, 40, 60}, {1, 40, 1}, {-5, 40, 40}};
    for (auto [explicitSize, laidOut, effective] : cases) {
        TestView view("v");
        view.SetWidth(laidOut);
        view.SetHeight(laidOut);
        view.SetExplicitWidth(explicitSize);
        view.SetExplicitHeight(explicitSize);
        EXPECT_EQ(view.GetEffectiveWidth(), effective) << explicitSize;
        EXPECT_EQ(view.GetEffectiveHeight(), effective) << explicitSize;
    }
}

// A clip hours into a timeline at a large zoom lies past the end of the coordinate range:
// its position, the panels that hold it and its hit box stay at the edge instead of wrapping.
TEST(ViewSize, PositionsPastTheRangeOfACoordinateStayAtItsEdge) {
    for (const bool stacked : {false, true}) {
        std::unique_ptr<IPanel> row;
        if (stacked) {
            row = std::make_unique<StackPanel>(StackPanel::kHorizontal);
        } else {
            row = std::make_unique<Canvas>();
        }
        row->SetX(83);
        row->SetInsets(3, 0, 3, 0);
        IView* far = row->AddView(Child(INT32_MAX, 52, INT32_MAX - 10));
        row->AddView(Child(40, 52, 20));
        row->UpdateLayout();
        EXPECT_EQ(far->GetX(), INT32_MAX) << stacked;
        EXPECT_EQ(far->GetBounds().right, INT32_MAX) << stacked;
        EXPECT_EQ(row->GetBounds().right, INT32_MAX) << stacked;
        EXPECT_EQ(row->HitTest(INT32_MAX, 10), far) << stacked;
    }
    // A paint looks a wide pen's reach past a view whose right edge is held at the end.
    Canvas canvas;
    canvas.AddView(Child(40, 52))->SetX(INT32_MAX - 8);
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    canvas.Render(context);
    EXPECT_EQ(log->Text(), "");
}

TEST(ViewSize, PositionSizeAndStateMakeTheViewDirtyOnlyWhenTheyChange) {
    const std::pair<const char*, std::function<void(IView&, int32_t)>> setters[] = {
        {"x", [](IView& v, int32_t n) { v.SetX(n); }},
        {"y", [](IView& v, int32_t n) { v.SetY(n); }},
        {"width", [](IView& v, int32_t n) { v.SetWidth(n); }},
        {"height", [](IView& v, int32_t n) { v.SetHeight(n); }},
        {"visualState", [](IView& v, int32_t n) { v.SetVisualState(n); }},
    };
    for (const auto& [name, set] : setters) {
        TestView view("v");
        EXPECT_TRUE(view.IsDirty()) << "a new view is dirty";
        set(view, 1);
        view.SetDirty(false);
        set(view, 1);
        EXPECT_FALSE(view.IsDirty()) << name << " set to the same value";
        set(view, 2);
        EXPECT_TRUE(view.IsDirty()) << name << " changed";
    }
}

TEST(CanvasLayout, ChildrenSitAtTheirMarginsFromTheInsetCornerAndThePanelGrowsRoundThem) {
    Canvas canvas;
    canvas.SetX(10);
    canvas.SetY(20);
    canvas.SetInsets(2, 3, 4, 5);
    IView* a = canvas.AddView(Child(30, 40, 5, 6));
    IView* collapsed = canvas.AddView(Child(500, 500));
    IView* floating = canvas.AddView(Child(500, 500));
    IView* d = canvas.AddView(Child(10, 10, 50, 0));
    collapsed->SetVisualState(IView::kCollapsed);
    floating->SetFloating(true);
    collapsed->SetX(-1);
    floating->SetX(-1);

    canvas.UpdateLayout();

    EXPECT_EQ(a->GetBounds(), (DrawRect{17, 29, 47, 69}));
    EXPECT_EQ(d->GetBounds(), (DrawRect{62, 23, 72, 33}));
    EXPECT_EQ(collapsed->GetX(), -1) << "a collapsed child is not placed";
    EXPECT_EQ(floating->GetX(), -1) << "a floating child places itself";
    // Only the placed children count: right edge 72 + inset 4, bottom edge 69 + inset 5.
    EXPECT_EQ(canvas.GetWidth(), 66);
    EXPECT_EQ(canvas.GetHeight(), 54);
}

TEST(StackLayout, ChildrenFollowOneAnotherWithTheirMarginsAndCollapsedOnesTakeNoSpace) {
    const struct {
        int32_t orientation;
        DrawRect first;
        DrawRect third;
        int32_t width;
        int32_t height;
    } cases[] = {
        {StackPanel::kVertical, {1, 3, 21, 13}, {5, 17, 35, 22}, 36, 23},
        {StackPanel::kHorizontal, {1, 3, 21, 13}, {25, 2, 55, 7}, 56, 14},
    };
    for (const auto& c : cases) {
        StackPanel stack(c.orientation);
        stack.SetInsets(1, 1, 1, 1);
        IView* first = stack.AddView(Child(20, 10, 0, 2, 0, 3));
        stack.AddView(Child(20, 100))->SetVisualState(IView::kCollapsed);
        IView* third = stack.AddView(Child(30, 5, 4, 1));

        stack.UpdateLayout();

        EXPECT_EQ(first->GetBounds(), c.first) << c.orientation;
        EXPECT_EQ(third->GetBounds(), c.third) << c.orientation;
        EXPECT_EQ(stack.GetWidth(), c.width) << c.orientation;
        EXPECT_EQ(stack.GetHeight(), c.height) << c.orientation;
    }
}

TEST(PanelStretch, CanvasesStretchBothWaysAndStacksOnlyAcrossTheirDirection) {
    // Each panel is 200 x 100 with insets of 5; the child has margins 10, 10, 20, 30.
    const struct {
        const char* name;
        std::function<std::unique_ptr<IPanel>()> make;
        int32_t width;
        int32_t height;
    } cases[] = {
        {"canvas", [] { return std::make_unique<Canvas>(); }, 160, 50},
        {"vertical stack", [] { return std::make_unique<StackPanel>(StackPanel::kVertical); }, 160,
         0},
        {"horizontal stack", [] { return std::make_unique<StackPanel>(StackPanel::kHorizontal); },
         0, 50},
    };
    for (const auto& c : cases) {
        std::unique_ptr<IPanel> panel = c.make();
        panel->SetExplicitWidth(200);
        panel->SetExplicitHeight(100);
        panel->SetInsets(5, 5, 5, 5);
        IView* child = panel->AddView(Child(0, 0, 10, 10, 20, 30));
        child->SetStretchHorizontal(true);
        child->SetStretchVertical(true);

        panel->UpdateLayout();

        EXPECT_EQ(child->GetBounds(), (DrawRect{15, 15, 15 + c.width, 15 + c.height})) << c.name;
    }
}

TEST(PanelStretch, AStackNeverGivesANegativeSizeAndStretchingReachesGrandchildren) {
    StackPanel narrow(StackPanel::kVertical);
    narrow.SetExplicitWidth(50);
    IView* wide = narrow.AddView(Child(0, 10, 0, 0, 300, 0));
    wide->SetStretchHorizontal(true);
    narrow.UpdateLayout();
    EXPECT_EQ(wide->GetWidth(), 0);

    Canvas root;
    root.SetExplicitWidth(300);
    root.SetExplicitHeight(200);
    auto stack = std::make_unique<StackPanel>(StackPanel::kVertical);
    stack->SetExplicitHeight(50);
    stack->SetStretchHorizontal(true);
    IView* row = stack->AddView(Child(0, 20));
    row->SetStretchHorizontal(true);
    IPanel* stackView = root.AddPanel(std::move(stack));
    root.UpdateLayout();
    EXPECT_EQ(stackView->GetEffectiveWidth(), 300);
    EXPECT_EQ(row->GetEffectiveWidth(), 300);
}

TEST(PanelAlignment, ACanvasPutsFarAlignedChildrenAgainstItsEdgesAndAStackIgnoresThem) {
    for (bool stack : {false, true}) {
        std::unique_ptr<IPanel> panel;
        if (stack) {
            panel = std::make_unique<StackPanel>(StackPanel::kHorizontal);
        } else {
            panel = std::make_unique<Canvas>();
        }
        panel->SetX(10);
        panel->SetY(20);
        panel->SetExplicitWidth(200);
        panel->SetExplicitHeight(100);
        IView* plain = panel->AddView(Child(30, 40, 7, 7));
        plain->SetHorizontalAlignment(IView::kAlignFar);
        plain->SetVerticalAlignment(IView::kAlignFar);
        auto inner = std::make_unique<Canvas>();
        inner->SetExplicitWidth(50);
        inner->SetExplicitHeight(50);
        inner->SetHorizontalAlignment(IView::kAlignFar);
        IView* grandchild = inner->AddView(Child(10, 10, 1, 1));
        IPanel* innerView = panel->AddPanel(std::move(inner));

        panel->UpdateLayout();

        if (stack) {
            EXPECT_EQ(plain->GetBounds(), (DrawRect{17, 27, 47, 67}));
            EXPECT_EQ(innerView->GetX(), 47);
            EXPECT_EQ(grandchild->GetX(), 48);
        } else {
            // Margins do not count against the far edge; the panel child is arranged again
            // at its new place.
            EXPECT_EQ(plain->GetBounds(), (DrawRect{180, 80, 210, 120}));
            EXPECT_EQ(innerView->GetBounds(), (DrawRect{160, 20, 210, 70}));
            EXPECT_EQ(grandchild->GetBounds(), (DrawRect{161, 21, 171, 31}));
        }
    }
}

TEST(PanelScroll, AScrollablePanelShiftsByItsOffsetAndClipsToItsUnshiftedRectangle) {
    Canvas canvas;
    canvas.SetScrollable(true);
    canvas.SetScrollX(30);
    canvas.SetScrollY(5);
    canvas.SetExplicitWidth(100);
    canvas.SetExplicitHeight(50);
    IView* child = canvas.AddView(Child(20, 20, 40, 10));

    canvas.UpdateLayout();
    EXPECT_EQ(canvas.GetX(), -30);
    EXPECT_EQ(canvas.GetY(), -5);
    EXPECT_EQ(child->GetBounds(), (DrawRect{10, 5, 30, 25}));

    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    canvas.Render(context);
    EXPECT_EQ(log->Text(),
              "SetClipRect 0,0,100,50\n"
              "SetPen 0x336699 1\n"
              "SetBrush 0x336699\n"
              "Rectangle 10,5,30,25\n"
              "RemoveClip\n");
}

}  // namespace
}  // namespace vortrel
