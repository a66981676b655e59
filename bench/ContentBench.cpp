// Drawing one content view whose clip is 10 minutes long (150 000 pixels at zoom 1), seen
// through a 1 900-pixel clip box in its middle, against the same kind of view exactly as long
// as the clip box: the reference of the same run. Waveform columns, film holes and image
// tiles are drawn only inside the clip box, so the two should cost about the same. On Qt.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>

#include "model/AudioClip.h"
#include "model/ImageClip.h"
#include "model/MediaCache.h"
#include "model/TimeScale.h"
#include "model/VideoClip.h"
#include "platform/linux/QtDrawing.h"
#include "support/ContentViewFixture.h"
#include "views/ImageStripView.h"
#include "views/MouseDispatcher.h"
#include "views/VideoView.h"
#include "views/WaveformView.h"

namespace vortrel {
namespace {

constexpr int32_t kVisible = 1900;
constexpr int32_t kLongMilliseconds = 600000;
constexpr int32_t kShortMilliseconds = kVisible * 4;  // at zoom 1, 4 ms a pixel

enum Kind { kWaveform, kVideo, kImage };

void BM_ContentDraw(benchmark::State& state) {
    const auto kind = static_cast<Kind>(state.range(0));
    const bool isLong = state.range(1) != 0;
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    if (drawing == nullptr) {
        state.SkipWithError("no Qt drawing");
        return;
    }
    testing::ScopedDrawing scoped(drawing);
    TimeScale scale;
    const int32_t length = isLong ? kLongMilliseconds : kShortMilliseconds;
    testing::TemporaryFile file(
        "bench-content.bmp", testing::BitmapFile(testing::MakeDib(64, 48, [](int32_t x, int32_t y) {
            return std::tuple{x * 4, y * 5, 128};
        })));

    AudioClip audio(nullptr);
    VideoClip video(nullptr);
    ImageClip image(nullptr);
    MouseDispatcher mouse;  // declared before the view, which subscribes to it
    std::unique_ptr<IContentView> view;
    switch (kind) {
        case kWaveform:
            for (int32_t i = 0; i < length; ++i) {
                const double level = std::abs(std::sin(i / 50.0));
                audio.GetWaveformLevels().push_back(level);
                audio.GetWaveformLevels().push_back(-level);
            }
            testing::SetTimes(audio, scale, 0, length);
            view = std::make_unique<WaveformView>(&audio, &scale, mouse);
            break;
        case kVideo:
            video.SetSource(file.Path());
            MediaCache::Instance().StorePoster(file.Path(), 0, true,
                                               testing::MakeDib(160, 120, [](int32_t x, int32_t y) {
                                                   return std::tuple{x, y, 100};
                                               }).bits);
            testing::SetTimes(video, scale, 0, length);
            view = std::make_unique<VideoView>(&video, &scale, mouse);
            break;
        case kImage:
            image.SetSource(file.Path());
            testing::SetTimes(image, scale, 0, length);
            view = std::make_unique<ImageStripView>(&image, &scale, mouse);
            break;
    }
    // The middle of the clip lies in the clip box.
    const int32_t width = view->GetExplicitWidth();
    view->SetX(isLong ? -(width / 2) : 0);
    view->SetY(0);
    view->SetWidth(width);
    view->SetHeight(52);
    std::unique_ptr<IDrawSurface> surface = drawing->CreateSurface(kVisible, 52);
    for (auto _ : state) {
        view->Draw(surface->Context());
    }
    state.counters["clipPixels"] = width;
    view.reset();
    MediaCache::Instance().Clear();
}
BENCHMARK(BM_ContentDraw)
    ->ArgNames({"kind", "long"})
    ->ArgsProduct({{kWaveform, kVideo, kImage}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vortrel
