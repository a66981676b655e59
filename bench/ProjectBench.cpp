// Saving and loading projects of many contents: the model's own cost (no media detector is
// installed, so clips ask no file). Reported as time per content, so the two sizes compare
// directly; the save of the same project is the reference for its load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "base/Utf8.h"
#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/VideoClip.h"
#include "support/FakeDeviceCatalog.h"

namespace vortrel {
namespace {

// A model with n clips, alternating between the first video and the first audio track,
// back to back in time.
void Fill(TimelineModel& model, int64_t n) {
    for (int32_t i = 0; i < n; ++i) {
        const int32_t track = i % 2 == 0 ? kVideo1Track : kAudio1Track;
        auto& clip = static_cast<IClip&>(*model.GetTrack(track)->CreateContent());
        clip.SetSource(L"/media/footage/clip_" + std::to_wstring(i) + L".avi");
        clip.GetSegment()->SetStartMs(i * 1000);
        clip.GetSegment()->SetStopMs(i * 1000 + 2000);
        clip.GetMediaSegment()->SetStopMs(2000);
        clip.Update();
    }
}

std::wstring BenchFile() {
    return FromPath(std::filesystem::temp_directory_path() /
                    ("vortrel-bench-" + std::to_string(::getpid()) + ".xml"));
}

void BM_SaveProject(benchmark::State& state) {
    testing::FakeDeviceCatalog devices;
    TimelineModel model(devices);
    model.BuildTracks();
    Fill(model, state.range(0));
    const std::wstring file = BenchFile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.SaveProject(file));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(ToPath(file));
}
BENCHMARK(BM_SaveProject)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
    testing::FakeDeviceCatalog devices;
    TimelineModel model(devices);
    model.BuildTracks();
    Fill(model, state.range(0));
    const std::wstring file = BenchFile();
    model.SaveProject(file);
    TimelineModel loaded(devices);
    loaded.BuildTracks();
    for (auto _ : state) {
        benchmark::DoNotOptimize(loaded.LoadProject(file));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(ToPath(file));
}
BENCHMARK(BM_LoadProject)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vortrel
