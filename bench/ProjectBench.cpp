// Saving and loading projects of many contents: the model's own cost (fake media of two
// seconds at every path, so clips set up and no file is read). Reported as
// time per content, so the two sizes compare directly; the save of the same project is the
// reference for its load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/VideoClip.h"
#include "ports/IAudioDecoder.h"
#include "ports/IMediaDetector.h"
#include "support/FakeDeviceCatalog.h"
#include "support/ScopedPort.h"

namespace vortrel {
namespace {

// Every file is media of two seconds whose sound decodes to silence, so clips set up (their
// length, their waveform) without any file being read. Nothing is cached for missing files:
// each set-up asks once.
class TwoSecondMedia final : public IMediaDetector {
  public:
    bool SetFilename(const std::wstring&) override { return true; }
    bool GetOutputStreams(int32_t& count) override {
        count = 1;
        return true;
    }
    bool SetCurrentStream(int32_t index) override { return index == 0; }
    bool GetStreamType(MediaStreamType& type) override {
        type = MediaStreamType::Video;
        return true;
    }
    bool GetStreamLength(double& seconds) override {
        seconds = 2.0;
        return true;
    }
    bool GetVideoFormat(int32_t& width, int32_t& height) override {
        width = 320;
        height = 240;
        return true;
    }
    bool GetBitmapBits(double, int32_t, int32_t, std::vector<uint8_t>&) override { return false; }
};

class SilentSound final : public IAudioDecoder {
  public:
    Result Open(const std::wstring&) override { return Result::Ok; }
    Result Decode(int64_t, int64_t, const std::function<void(const int16_t*, size_t)>&) override {
        return Result::Ok;
    }
};

// Installs the two-second media for one benchmark.
struct ScopedTwoSecondMedia {
    testing::ScopedPort<IMediaDetector> detector{[] { return std::make_unique<TwoSecondMedia>(); }};
    testing::ScopedPort<IAudioDecoder> decoder{[] { return std::make_unique<SilentSound>(); }};
};

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
    ScopedTwoSecondMedia media;
    testing::FakeDeviceCatalog devices;
    TimelineModel model(devices);
    model.BuildTracks();
    Fill(model, state.range(0));
    const std::wstring file = BenchFile();
    for (auto _ : state) {
        if (!model.SaveProject(file)) {
            state.SkipWithError("the project does not save");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(ToPath(file));
}
BENCHMARK(BM_SaveProject)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
    ScopedTwoSecondMedia media;
    testing::FakeDeviceCatalog devices;
    TimelineModel model(devices);
    model.BuildTracks();
    Fill(model, state.range(0));
    const std::wstring file = BenchFile();
    TimelineModel loaded(devices);
    loaded.BuildTracks();
    if (!model.SaveProject(file)) {
        state.SkipWithError("the project does not save");
    }
    for (auto _ : state) {
        if (!loaded.LoadProject(file)) {
            state.SkipWithError("the project does not load");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(ToPath(file));
}
BENCHMARK(BM_LoadProject)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vortrel
