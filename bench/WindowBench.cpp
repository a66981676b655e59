// The control's paint on the Qt drawing (a window of 1920 x 400 with 400 transitions and
// effects): the whole window, and a 100 x 100 damaged part, each drawn into the control's
// off-screen surface and copied to the window in one blit; against the reference of the same
// tree rendered straight onto the window. Nothing is dirty: a repaint.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <exception>
#include <memory>

#include "control/CTimelineControl.h"
#include "model/IContent.h"
#include "model/IEffect.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "platform/linux/QtDrawing.h"
#include "support/FakeDeviceCatalog.h"
#include "views/TimelineView.h"

namespace vortrel {
namespace {

constexpr int16_t kWidth = 1920;
constexpr int16_t kHeight = 400;
constexpr int32_t kContents = 400;

// Runs a paint of a control's window for every iteration, after one paint that fills the
// view caches. Argument 0: the control paints the whole window; 1: a 100 x 100 part; 2: the
// reference, the tree rendered onto the window without the control.
void BM_WindowPaint(benchmark::State& state) {
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    if (drawing == nullptr) {
        state.SkipWithError("no drawing");
        return;
    }
    SetDrawing(drawing);
    {
        testing::FakeDeviceCatalog devices;
        devices.Add(DeviceCategory::VideoEffects, L"Sepia");
        devices.Add(DeviceCategory::VideoTransitions, L"Dissolve");
        CTimelineControl control(devices.AsPlatform());
        control.Initialize();
        control.OnSize(kWidth, kHeight);
        for (int32_t i = 0; i < kContents; ++i) {
            const bool transition = i % 2 == 0;
            ITrack& track =
                *control.GetModel()->GetTrack(transition ? kTransitionTrack : kEffectTrack);
            IContent& content = *track.CreateContent();
            content.GetSegment()->SetStartMs(i / 2 * 500);
            content.GetSegment()->SetStopMs(i / 2 * 500 + 400);
            dynamic_cast<IEffect&>(content).SetSource(transition ? L"Dissolve" : L"Sepia");
            try {
                content.Update();
            } catch (const std::exception&) {
                // A content the fake engine cannot set up is still drawn.
            }
        }
        std::unique_ptr<IDrawSurface> window = drawing->CreateSurface(kWidth, kHeight);
        const DrawRect whole{0, 0, kWidth, kHeight};
        const DrawRect part{900, 150, 1000, 250};
        const int64_t how = state.range(0);
        control.OnPaint(window->Context(), kWidth, kHeight, whole);
        for (auto _ : state) {
            if (how == 2) {
                control.GetView()->Render(window->Context());
            } else {
                control.OnPaint(window->Context(), kWidth, kHeight, how == 0 ? whole : part);
            }
        }
    }
    SetDrawing(nullptr);
}
BENCHMARK(BM_WindowPaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vortrel
