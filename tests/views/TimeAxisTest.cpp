#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "model/TimeScale.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "support/TestView.h"
#include "views/MouseDispatcher.h"
#include "views/SeekbarView.h"
#include "views/TimeAxis.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::DrawLog;
using testing::Place;
using testing::RecordingDrawContext;
using Lines = std::vector<std::string>;

// A ruler at the left edge of a 800 x 600 recording device, drawn directly.
struct Ruler {
    explicit Ruler(float zoom, int32_t width = 800) : axis(&scale, mouse) {
        scale.SetScale(zoom);
        Place(axis, 0, 0, width, TimeAxis::kHeight);
    }
    // Draws the ruler with the device's origin at a logical point and answers the log.
    DrawLog& Draw(DrawPoint origin = {}) {
        RecordingDrawContext context(log);
        context.SetViewportOrigin(origin);
        log->Clear();
        axis.Draw(context);
        return *log;
    }

    MouseDispatcher mouse;
    TimeScale scale;
    TimeAxis axis;
    std::shared_ptr<DrawLog> log = std::make_shared<DrawLog>();
};

// The texts of the labels in the order drawn.
Lines Labels(const DrawLog& log) {
    Lines labels;
    for (const std::string& line : log.Matching("DrawText")) {
        const size_t open = line.find('"');
        labels.push_back(line.substr(open + 1, line.find('"', open + 1) - open - 1));
    }
    return labels;
}

TEST(TimeAxisDraw, OneGroupIsALabelAMajorTickAndFourMinorTicks) {
    Ruler ruler(1.0f, 120);
    EXPECT_EQ(ruler.Draw().Text(),
              "SetPen 0x5f5f5f 1\nSetBrush 0x5f5f5f\nRectangle 0,0,120,20\n"
              "SetPen 0xc8c8c8 1\n"
              "SetTextColor 0xc8c8c8\nSetTransparentText 1\nSetFont Arial -11 400\n"
              "DrawText \"0.0\" 2,0,50,20 Center|SingleLine\n"
              "Line 0,20 0,0\nLine 10,20 10,15\nLine 20,20 20,15\nLine 30,20 30,15\n"
              "Line 40,20 40,15\n"
              "SetTextColor 0xc8c8c8\nSetTransparentText 1\nSetFont Arial -11 400\n"
              "DrawText \"0.200\" 52,0,100,20 Center|SingleLine\n"
              "Line 50,20 50,0\nLine 60,20 60,15\nLine 70,20 70,15\nLine 80,20 80,15\n"
              "Line 90,20 90,15\n"
              "SetTextColor 0xc8c8c8\nSetTransparentText 1\nSetFont Arial -11 400\n"
              "DrawText \"0.400\" 102,0,150,20 Center|SingleLine\n"
              // The minor ticks stop at the ruler's right edge.
              "Line 100,20 100,0\nLine 110,20 110,15\nLine 120,20 120,15\n");
}

TEST(TimeAxisDraw, LabelsKeepAbout50PixelsApartAtEveryZoom) {
    const struct {
        float zoom;
        int64_t interval;
        int64_t step;
        Lines labels;
    } cases[] = {
        {1.0f, 200, 50, {"0.0", "0.200", "0.400", "0.600", "0.800"}},
        {0.5f, 400, 50, {"0.0", "0.400", "0.800", "1.200", "1.600"}},
        {0.3f, 800, 60, {"0.0", "0.800", "1.600", "2.400"}},  // 667 ms rounds up to 25 × 32
        {8.0f, 25, 50, {"0.0", "0.025", "0.050", "0.075", "0.100"}},
        {0.1f, 2000, 50, {"0.0", "2.0", "4.0", "6.0", "8.0"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeAxis::LabelInterval(c.zoom), c.interval) << c.zoom;
        EXPECT_EQ(TimeAxis::LabelStep(c.zoom), c.step) << c.zoom;
        Ruler ruler(c.zoom, static_cast<int32_t>(c.step * c.labels.size()));
        DrawLog& log = ruler.Draw();
        EXPECT_EQ(Labels(log), c.labels) << c.zoom;
        for (size_t i = 0; i < c.labels.size(); ++i) {
            const std::string x = std::to_string(c.step * i);
            EXPECT_EQ(log.Matching("Line " + x + ",20 " + x + ",0").size(), 1u) << c.zoom;
        }
    }
}

TEST(TimeAxisDraw, OnlyTheGroupsReachingIntoTheClipBoxAreDrawnOfAnHourLongRuler) {
    Ruler ruler(8.0f, 3600 * 1000 * 2);        // an hour at 2 pixels a millisecond
    DrawLog& log = ruler.Draw({-1000000, 0});  // the clip box is 1000000 .. 1000800
    const Lines labels = Labels(log);
    ASSERT_EQ(labels.size(), 18u);  // 999950 .. 1000800 step 50
    EXPECT_EQ(labels.front(), "499.975");
    EXPECT_EQ(labels[1], "500.0");
    EXPECT_EQ(labels.back(), "500.400");
}

TEST(TimeAxisDraw, ZoomsThatMapTimeBadlyDrawAFiniteRuler) {
    const float zooms[] = {0.0f,
                           -1.0f,
                           std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           1000.0f,
                           1e30f,
                           1e-9f};
    for (float zoom : zooms) {
        Ruler ruler(zoom);
        const size_t labels = Labels(ruler.Draw()).size();
        EXPECT_LE(labels, 16u) << zoom;
        EXPECT_EQ(ruler.log->Matching("Rectangle 0,0,800,20").size(), 1u) << zoom;
    }
    // Above a zoom of 400 a label every millisecond, 250 pixels apart at 1000.
    Ruler fine(1000.0f);
    EXPECT_EQ(Labels(fine.Draw()), (Lines{"0.0", "0.001", "0.002", "0.003"}));
}

TEST(SecondsText, OneDecimalWhenWholeElseThree) {
    EXPECT_EQ(SecondsText(2.0), L"2.0");
    EXPECT_EQ(SecondsText(static_cast<float>(2500 / 1000.0)), L"2.500");
    EXPECT_EQ(SecondsText(static_cast<float>(699 / 1000.0)), L"0.699");
    EXPECT_EQ(SecondsText(-1.5), L"-1.500");
}

TEST(TimeAxisInput, APressAsksForTheTimeUnderThePointerAndADragForNothingMore) {
    Ruler ruler(1.0f);
    MouseDispatcher& mouse = ruler.mouse;
    Place(ruler.axis, 83, 0, 800, TimeAxis::kHeight);
    std::vector<int32_t> seeks;
    CallbackObserver seek(
        [&](ISubject&) { seeks.push_back(ruler.axis.GetSeekEvent()->GetValue()); });
    ruler.axis.GetSeekEvent()->Attach(&seek);

    const struct {
        float zoom;
        int32_t x;
        int32_t time;
    } cases[] = {
        {1.0f, 83, 0}, {1.0f, 83 + 125, 500}, {0.3f, 83 + 100, 1333}, {8.0f, 84, 0}, {8.0f, 85, 1}};
    for (auto [zoom, x, time] : cases) {
        ruler.scale.SetScale(zoom);
        seeks.clear();
        EXPECT_TRUE(mouse.OnMouseDown(x, 10));
        mouse.OnMouseMove(x + 40, 12);  // dragging along the ruler does not scrub
        mouse.OnMouseUp(x + 40, 12);
        EXPECT_EQ(seeks, std::vector<int32_t>{time}) << zoom << " " << x;
    }
    // Below the ruler, and at a zoom that maps no time onto pixels, nothing is asked.
    seeks.clear();
    mouse.OnMouseDown(100, 21);
    mouse.OnMouseUp(100, 21);
    ruler.scale.SetScale(0.0f);
    mouse.OnMouseDown(100, 10);
    mouse.OnMouseUp(100, 10);
    EXPECT_TRUE(seeks.empty());
    ruler.axis.GetSeekEvent()->Detach(&seek);
}

TEST(TimeAxis, AZoomChangeMakesTheCachedRulerDrawAgainAndTheRulerLeavesTheScale) {
    auto scale = std::make_unique<TimeScale>();
    MouseDispatcher mouse;
    auto axis = std::make_unique<TimeAxis>(scale.get(), mouse);
    Place(*axis, 0, 0, 100, TimeAxis::kHeight);
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    axis->Render(context);
    EXPECT_FALSE(axis->IsDirty());
    scale->SetScale(2.0f);
    EXPECT_TRUE(axis->IsDirty());
    axis.reset();
    EXPECT_EQ(scale->GetScaleChanged()->GetObserverCount(), 0u);
    EXPECT_EQ(mouse.GetDown()->GetObserverCount(), 0u);
}

TEST(SeekbarDraw, ATrianglePointingOntoTheRulerThenTheLineDown) {
    TimeScale scale;
    SeekbarView seekbar(&scale);
    seekbar.SetPosition(4000);
    EXPECT_EQ(seekbar.PositionPixels(), 1000);
    scale.SetScale(0.0f);
    EXPECT_EQ(seekbar.PositionPixels(), 0);
    Place(seekbar, 100, 0, 0, 200);
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    seekbar.Render(context);
    EXPECT_EQ(log->Text(),
              "SetPen 0x2020ff 1\nSetBrush 0x2020ff\nPolygon 100,20 106,14 94,14\n"
              "Line 100,20 100,200\n");
}

}  // namespace
}  // namespace vortrel
