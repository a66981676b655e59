// The drawing port on Qt at the sizes of a timeline window: the pieces a repaint is made of
// (a clip body's rectangle and edge, a centred label, measuring a label, a scaled title
// picture) and the blit of a whole 1280x400 window from its off-screen picture.
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>
#include <string>

#include "platform/linux/QtDrawImage.h"
#include "platform/linux/QtDrawing.h"

namespace vortrel {
namespace {

constexpr int32_t kWindowWidth = 1280;
constexpr int32_t kWindowHeight = 400;

std::shared_ptr<IDrawing> Drawing() {
    static std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    return drawing;
}

LogFont LabelFont() {
    LogFont font;
    font.height = -13;
    font.weight = 400;
    font.SetFaceName(L"Arial");
    return font;
}

void BM_ClipBody(benchmark::State& state) {
    auto surface = Drawing()->CreateSurface(kWindowWidth, kWindowHeight);
    IDrawContext& dc = surface->Context();
    dc.SetPen(0x5F5F5F, 1);
    dc.SetBrush(0xC8C8C8);
    for (auto _ : state) {
        dc.Rectangle({100, 40, 400, 90});
        dc.DrawEdge({100, 40, 400, 90}, EdgeStyle::Raised);
    }
}
BENCHMARK(BM_ClipBody);

void BM_CentredLabel(benchmark::State& state) {
    auto surface = Drawing()->CreateSurface(kWindowWidth, kWindowHeight);
    IDrawContext& dc = surface->Context();
    dc.SetFont(LabelFont());
    dc.SetTextColor(0);
    dc.SetTransparentText(true);
    for (auto _ : state) {
        DrawRect rect{0, 0, 120, 30};
        benchmark::DoNotOptimize(dc.DrawText(
            L"Video 1", rect, TextFlag::kSingleLine | TextFlag::kCenter | TextFlag::kVCenter));
    }
}
BENCHMARK(BM_CentredLabel);

void BM_MeasureLabel(benchmark::State& state) {
    auto screen = Drawing()->ScreenContext();
    for (auto _ : state) {
        screen->SetFont(LabelFont());
        DrawRect rect{0, 0, 0, 0};
        benchmark::DoNotOptimize(
            screen->DrawText(L"00:01:23.456", rect, TextFlag::kSingleLine | TextFlag::kCalcRect));
    }
}
BENCHMARK(BM_MeasureLabel);

void BM_ScaledTitlePicture(benchmark::State& state) {
    QImage title(64, 48, QImage::Format_ARGB32);
    title.fill(qRgba(200, 100, 2, 180));
    const QtDrawImage image(title);
    auto surface = Drawing()->CreateSurface(kWindowWidth, kWindowHeight);
    for (auto _ : state) {
        surface->Context().DrawImage(image, {0, 0, 40, 30}, {0, 0, 64, 48});
    }
}
BENCHMARK(BM_ScaledTitlePicture);

void BM_BlitWindow(benchmark::State& state) {
    auto window = Drawing()->CreateSurface(kWindowWidth, kWindowHeight);
    auto picture = window->Context().CreateCompatibleSurface(kWindowWidth, kWindowHeight);
    for (auto _ : state) {
        window->Context().Blit({0, 0}, kWindowWidth, kWindowHeight, *picture, {0, 0});
    }
    state.SetBytesProcessed(state.iterations() * kWindowWidth * kWindowHeight * 4);
}
BENCHMARK(BM_BlitWindow);

}  // namespace
}  // namespace vortrel
