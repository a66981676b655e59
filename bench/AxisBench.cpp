// Drawing the time ruler of a timeline one hour long at zoom 8 (7 200 000 pixels, a label
// every 25 ms) into a 1920-pixel window on the Qt drawing, scrolled to its start and to its
// end: only the labels on screen are drawn, so both should cost the same.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "model/TimeScale.h"
#include "platform/linux/QtDrawing.h"
#include "views/MouseDispatcher.h"
#include "views/TimeAxis.h"

namespace vortrel {
namespace {

constexpr int32_t kWindowWidth = 1920;
constexpr int32_t kHourAtZoom8 = 3600 * 1000 * 2;

void BM_RulerHourAtZoom8(benchmark::State& state) {
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    if (drawing == nullptr) {
        state.SkipWithError("no Qt drawing");
        return;
    }
    SetDrawing(drawing);
    TimeScale scale;
    scale.SetScale(8.0f);
    MouseDispatcher mouse;
    TimeAxis axis(&scale, mouse);
    // Scrolling moves the ruler left: at the end its last pixel meets the window's edge.
    axis.SetX(state.range(0) == 0 ? 0 : kWindowWidth - kHourAtZoom8);
    axis.SetWidth(kHourAtZoom8);
    std::unique_ptr<IDrawSurface> surface = drawing->CreateSurface(kWindowWidth, TimeAxis::kHeight);
    for (auto _ : state) {
        axis.Draw(surface->Context());
        benchmark::DoNotOptimize(surface->PixelAt(0, 0));
    }
    SetDrawing(nullptr);
}
BENCHMARK(BM_RulerHourAtZoom8)->Arg(0)->Arg(1)->ArgName("atEnd")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vortrel
