#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "model/TimeScale.h"
#include "platform/linux/QtDrawSurface.h"
#include "platform/linux/QtDrawing.h"
#include "support/TestContents.h"
#include "views/Canvas.h"
#include "views/HorizontalScrollbarView.h"
#include "views/SeekbarView.h"
#include "views/TimeAxis.h"
#include "views/ToolTipView.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;

// The frame of the track area drawn on Qt: a ruler over a 400 x 60 canvas, the play head at
// 100 pixels, a scroll bar along the bottom (page 400 of 1000) and a tool tip showing. Set
// VORTREL_PICTURE_DIR to keep the picture as frame.png there.
TEST(FramePicture, RulerPlayHeadScrollBarAndTipLandOnTheirPixelsOnQt) {
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    ASSERT_NE(drawing, nullptr);
    SetDrawing(drawing);
    TimeScale scale;
    Canvas root;
    root.SetExplicitWidth(400);
    root.SetExplicitHeight(60);
    auto* axis = root.AddView(std::make_unique<TimeAxis>(&scale));
    auto seekbar = std::make_unique<SeekbarView>(&scale);
    seekbar->SetMarginLeft(100);
    seekbar->SetMarginBottom(16);
    root.AddView(std::move(seekbar));
    auto* bar = static_cast<ScrollbarView*>(
        root.AddPanel(std::make_unique<HorizontalScrollbarView>(&root)));
    auto* tip = static_cast<ToolTipView*>(root.AddPanel(std::make_unique<ToolTipView>(false)));
    root.UpdateLayout();
    bar->SetPage(400);
    bar->SetTotal(1000);
    bar->UpdateThumb();
    CallbackObserver text([tip](ISubject&) { tip->SetText(L"Clip: a"); });
    tip->GetToolTipEvent()->Attach(&text);
    tip->Hover(250, 22, true);
    tip->GetToolTipEvent()->Detach(&text);

    std::unique_ptr<IDrawSurface> surface = drawing->CreateSurface(400, 60);
    ASSERT_NE(surface, nullptr);
    root.Render(surface->Context());
    if (const char* folder = std::getenv("VORTREL_PICTURE_DIR")) {
        static_cast<QtDrawSurface&>(*surface).Image().save(
            QString::fromStdString(std::string(folder) + "/frame.png"));
    }

    const DrawRect tipBounds = tip->GetBounds();
    const struct {
        int32_t x;
        int32_t y;
        ColorRef color;
        const char* what;
    } probes[] = {
        {45, 17, 0x5F5F5F, "ruler background"},
        {50, 3, 0xC8C8C8, "major tick"},
        {60, 17, 0xC8C8C8, "minor tick"},
        {60, 12, 0x5F5F5F, "above the minor tick"},
        {100, 30, 0x2020FF, "play-head line"},
        {100, 16, 0x2020FF, "play-head triangle"},
        {92, 15, 0x5F5F5F, "beside the triangle"},
        {100, 52, 0x969696, "thumb"},
        {300, 52, 0xC8C8C8, "bar"},
        {0, 50, 0x7D7D7D, "button frame"},
        {2, 46, 0x969696, "button"},
        {30, 30, 0x000000, "nothing drawn"},
        {tipBounds.right - 3, tipBounds.bottom - 3, 0x64FFFF, "tip"},
    };
    for (const auto& probe : probes) {
        EXPECT_EQ(surface->PixelAt(probe.x, probe.y), probe.color) << probe.what;
    }
    bool labelInk = false;
    for (int32_t x = 2; x < 50; ++x) {
        for (int32_t y = 0; y < 14; ++y) {
            labelInk = labelInk || surface->PixelAt(x, y) != 0x5F5F5F;
        }
    }
    EXPECT_TRUE(labelInk) << "the first label";
    SetDrawing(nullptr);
}

}  // namespace
}  // namespace vortrel
