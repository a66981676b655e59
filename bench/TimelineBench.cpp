// Painting the whole timeline window (1920 x 400) on the Qt drawing: the first paint (every
// view cache drawn again; poster frames and waveform levels are already at hand) and a
// repaint with nothing dirty, for 1 000 clips spread over the visible tracks and for 10 000
// clips scrolled to the middle of the timeline. Only what is visible should cost. The
// counters give the bytes the view caches hold and the number of views in the tree.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "model/AudioClip.h"
#include "model/IClip.h"
#include "model/IContent.h"
#include "model/IEffect.h"
#include "model/ITrack.h"
#include "model/MediaCache.h"
#include "model/TimelineModel.h"
#include "model/VideoClip.h"
#include "platform/linux/QtDrawing.h"
#include "ports/IMediaDetector.h"
#include "support/FakeDeviceCatalog.h"
#include "support/ScopedPort.h"
#include "views/HorizontalScrollbarView.h"
#include "views/IPanel.h"
#include "views/TimelineView.h"

namespace vortrel {
namespace {

constexpr int32_t kWindowWidth = 1920;
constexpr int32_t kWindowHeight = 400;
constexpr int32_t kClipLength = 1000;  // ms: 250 pixels at zoom 1
constexpr int32_t kClipEvery = 1250;   // ms

void WriteInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    }
}

// A 24-bit device-independent bitmap of a size in a gradient, with its header.
std::vector<uint8_t> MakeDib(int32_t width, int32_t height) {
    const int32_t stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes(kBitmapInfoHeaderSize + static_cast<size_t>(stride * height));
    WriteInt32(bytes, 0, static_cast<int32_t>(kBitmapInfoHeaderSize));
    WriteInt32(bytes, 4, width);
    WriteInt32(bytes, 8, height);
    bytes[12] = 1;   // planes
    bytes[14] = 24;  // bits per pixel
    WriteInt32(bytes, 20, stride * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel =
                &bytes[kBitmapInfoHeaderSize + static_cast<size_t>(y * stride + x * 3)];
            pixel[0] = static_cast<uint8_t>(x * 2);
            pixel[1] = static_cast<uint8_t>(y * 2);
            pixel[2] = 128;
        }
    }
    return bytes;
}

// A title image as a bitmap file's bytes: the file header, then a bitmap.
TrackImageBytes MakeTitleImage() {
    std::vector<uint8_t> dib = MakeDib(48, 48);
    std::vector<uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteInt32(file, 2, static_cast<int32_t>(14 + dib.size()));
    WriteInt32(file, 10, 14 + static_cast<int32_t>(kBitmapInfoHeaderSize));
    file.insert(file.end(), dib.begin(), dib.end());
    return std::make_shared<const std::vector<uint8_t>>(std::move(file));
}

// Every file is a 60 s video of 160 x 120 whose frames are one gradient.
class PosterDetector : public IMediaDetector {
  public:
    bool SetFilename(const std::wstring& /*path*/) override { return true; }
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
        seconds = 60.0;
        return true;
    }
    bool GetVideoFormat(int32_t& width, int32_t& height) override {
        width = 160;
        height = 120;
        return true;
    }
    bool GetBitmapBits(double /*seconds*/, int32_t width, int32_t height,
                       std::vector<uint8_t>& bitmap) override {
        bitmap = MakeDib(width, height);
        return true;
    }
};

void ForEachView(IView& view, const std::function<void(IView&)>& visit) {
    visit(view);
    if (auto* panel = dynamic_cast<IPanel*>(&view)) {
        for (const IPanel::Child& child : panel->GetChildren()) {
            ForEachView(*child.view, visit);
        }
    }
}

// A window's timeline: clips of 1 s every 1.25 s, taking turns on the first video track,
// the first audio track (with a second of levels each), the transition track and the
// effect track.
struct TimelineWindow {
    testing::ScopedPort<IMediaDetector> detector{[] { return std::make_unique<PosterDetector>(); }};
    testing::FakeDeviceCatalog devices;
    std::unique_ptr<TimelineModel> model;
    std::unique_ptr<TimelineView> view;

    explicit TimelineWindow(int32_t clips) {
        MediaCache::Instance().Clear();
        devices.Add(DeviceCategory::VideoEffects, L"Sepia");
        devices.Add(DeviceCategory::VideoTransitions, L"Dissolve");
        model = std::make_unique<TimelineModel>(devices);
        view = std::make_unique<TimelineView>(*model);
        for (int32_t i = 0; i < kTrackCount; ++i) {
            view->AddTrackImage(MakeTitleImage());
        }
        model->BuildTracks();
        view->SetWidth(kWindowWidth);
        view->SetHeight(kWindowHeight);
        view->OnLayoutChanged();
        const int32_t tracks[] = {kVideo1Track, kAudio1Track, kTransitionTrack, kEffectTrack};
        const wchar_t* sources[] = {L"clip.avi", L"clip.wav", L"Dissolve", L"Sepia"};
        for (int32_t i = 0; i < clips; ++i) {
            const int32_t kind = i % 4;
            IContent& content = *model->GetTrack(tracks[kind])->CreateContent();
            const int32_t start = i / 4 * kClipEvery;
            content.GetSegment()->SetStartMs(start);
            content.GetSegment()->SetStopMs(start + kClipLength);
            if (auto* clip = dynamic_cast<IClip*>(&content)) {
                clip->SetSource(sources[kind]);
            } else if (auto* effect = dynamic_cast<IEffect*>(&content)) {
                effect->SetSource(sources[kind]);
            }
            try {
                content.Update();
            } catch (const std::exception&) {
                // A content the fake engine cannot set up is still drawn.
            }
            if (auto* audio = dynamic_cast<AudioClip*>(&content)) {
                audio->GetWaveformLevels().assign(2000, 0.0);
                for (size_t p = 0; p < 2000; p += 2) {
                    audio->GetWaveformLevels()[p] = 0.1 + 0.8 * static_cast<double>(p % 97) / 97;
                    audio->GetWaveformLevels()[p + 1] = -audio->GetWaveformLevels()[p];
                }
            }
        }
    }

    void ScrollToMiddle() {
        ScrollbarView& bar = *view->GetHorizontalScrollbar();
        bar.SetPosition((bar.GetTotal() - bar.GetPage()) / 2);
        view->Relayout();
    }

    void MarkDirty() {
        ForEachView(view->GetRootCanvas(), [](IView& v) { v.SetDirty(true); });
    }

    int64_t CacheBytes() {
        int64_t bytes = 0;
        ForEachView(view->GetRootCanvas(), [&bytes](IView& v) {
            bytes += int64_t{v.GetCacheWidth()} * v.GetCacheHeight() * 4;
        });
        return bytes;
    }

    // The video clips whose poster frame was taken (by the paints that showed them).
    int64_t PosterCount() const {
        int64_t count = 0;
        const ITrack& track = *model->GetTrack(kVideo1Track);
        for (int32_t i = 0; i < track.GetContentCount(); ++i) {
            const auto* clip = dynamic_cast<const VideoClip*>(track.GetContentAt(i));
            count += clip != nullptr && !clip->GetPosterBits().empty() ? 1 : 0;
        }
        return count;
    }

    int64_t ViewCount() {
        int64_t count = 0;
        ForEachView(view->GetRootCanvas(), [&count](IView&) { ++count; });
        return count;
    }
};

// Paints the window; before each paint `prepare` runs outside the timing. Arguments: the
// number of clips, and whether the view is scrolled to the middle of the timeline.
void Paint(benchmark::State& state, const std::function<void(TimelineWindow&)>& prepare) {
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    if (drawing == nullptr) {
        state.SkipWithError("no drawing");
        return;
    }
    SetDrawing(drawing);
    {
        std::unique_ptr<IDrawSurface> surface = drawing->CreateSurface(kWindowWidth, kWindowHeight);
        TimelineWindow window(static_cast<int32_t>(state.range(0)));
        if (state.range(1) != 0) {
            window.ScrollToMiddle();
        }
        // The first paint of all takes the poster frames; every later one has them.
        window.view->Render(surface->Context());
        for (auto _ : state) {
            state.PauseTiming();
            prepare(window);
            state.ResumeTiming();
            window.view->Render(surface->Context());
        }
        state.counters["cacheBytes"] = static_cast<double>(window.CacheBytes());
        state.counters["views"] = static_cast<double>(window.ViewCount());
        state.counters["posters"] = static_cast<double>(window.PosterCount());
    }
    SetDrawing(nullptr);
}

void BM_TimelineFirstPaint(benchmark::State& state) {
    Paint(state, [](TimelineWindow& window) { window.MarkDirty(); });
}
BENCHMARK(BM_TimelineFirstPaint)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_TimelineRepaintNothingDirty(benchmark::State& state) {
    Paint(state, [](TimelineWindow&) {});
}
BENCHMARK(BM_TimelineRepaintNothingDirty)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vortrel
