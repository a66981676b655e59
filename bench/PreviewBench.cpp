// The preview's responsiveness on a 10 s 320x240 clip through the control: how long a play
// takes to show its first picture, how long a seek while paused takes to show its picture
// against MLT rendering that picture straight from the same graph (the reference, goal: a
// ratio below 2), and whether playback keeps the timeline's pace (frames shown a second
// against the timeline's rate, goal 1.0).
#include <benchmark/benchmark.h>
#include <mlt++/Mlt.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "editing/DesRenderer.h"
#include "editing/DesTimeline.h"
#include "model/TimelineModel.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltGraphBuilder.h"
#include "platform/linux/MltRenderEngine.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFps = 15.0;  // the video group's rate

// A control with the 10 s clip on its first video track, made when a case first needs it.
struct PreviewRig {
    PreviewRig() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        unsetenv("DISPLAY");
        control = CreateLinuxControl();
        const std::wstring clip = FromPath(folder.MakeVideo(
            "colours.mp4", {{{testing::kRed, 5.0}, {testing::kGreen, 5.0}}, 320, 240, 25, 440}));
        int32_t result = -1;
        control->AddVideoClip(1, clip.c_str(), 0, 10, 0, &result);
    }
    TimelineModel& Model() { return *control->GetModel(); }
    MltRenderEngine& Engine() {
        return dynamic_cast<MltRenderEngine&>(Model().GetPreviewRenderer()->GetEngine());
    }
    int64_t ShownPosition() {
        ShownFrame frame;
        return Engine().CopyShownFrame(frame) ? frame.position : -1;
    }

    testing::MediaFolder folder;
    std::unique_ptr<CTimelineControl> control;
};

PreviewRig& Rig() {
    static PreviewRig rig;
    return rig;
}

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

void BM_PlayToFirstPicture(benchmark::State& state) {
    PreviewRig& rig = Rig();
    for (auto _ : state) {
        const auto start = Clock::now();
        rig.control->Play();
        while (rig.ShownPosition() < 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.SetIterationTime(Seconds(Clock::now() - start));
        rig.control->Stop();
    }
}
BENCHMARK(BM_PlayToFirstPicture)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_SeekWhilePaused(benchmark::State& state) {
    PreviewRig& rig = Rig();
    rig.control->Play();
    rig.control->Pause();
    int32_t target = 0;
    for (auto _ : state) {
        target = (target + 3700) % 10000;
        rig.Model().Seek(target);
    }
    rig.control->Stop();
}
BENCHMARK(BM_SeekWhilePaused)->Iterations(50)->Unit(benchmark::kMillisecond);

// The reference: the same pictures rendered straight from an MLT graph of the same timeline.
void BM_ReferenceSeekAndRender(benchmark::State& state) {
    PreviewRig& rig = Rig();
    const MltCatalog& catalog = *InstallLinuxPlatform().catalog;
    MltGraphBuilder builder(catalog);
    const EditTimeline& timeline = rig.Model().GetDesTimeline()->GetTimeline();
    std::unique_ptr<Mlt::Profile> profile = builder.MakeProfile(timeline);
    std::unique_ptr<Mlt::Tractor> graph = builder.Build(timeline, *profile);
    int32_t target = 0;
    for (auto _ : state) {
        target = (target + 3700) % 10000;
        graph->seek(static_cast<int>(target * kFps / 1000));
        std::unique_ptr<Mlt::Frame> frame(graph->get_frame());
        mlt_image_format format = mlt_image_rgba;
        int width = profile->width();
        int height = profile->height();
        benchmark::DoNotOptimize(frame->get_image(format, width, height));
    }
}
BENCHMARK(BM_ReferenceSeekAndRender)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_PlaybackPace(benchmark::State& state) {
    PreviewRig& rig = Rig();
    for (auto _ : state) {
        rig.control->Play();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // past the start
        const int64_t first = rig.ShownPosition();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double frames = static_cast<double>(rig.ShownPosition() - first);
        state.counters["pace"] = frames / Seconds(Clock::now() - start) / kFps;
        rig.control->Stop();
    }
}
BENCHMARK(BM_PlaybackPace)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vortrel
