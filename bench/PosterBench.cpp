// The cost of a poster frame: a video clip taking its frame at a media start of 5 s in a
// 10 s 320x240 MP4 (keyframe every 10 frames, B-frames) against a plain decode of the same
// frame written here: open the file, seek to the keyframe before 5 s, decode forward to the
// frame showing at 5 s and convert it to 320x240 BGR24. The clip adds the detector's probe,
// its stream selection and the bottom-up bitmap with its header; the ratio is what counts
// (goal 1.5).
#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ReferenceStream.h"
#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "model/MediaCache.h"
#include "model/TimeSegment.h"
#include "model/VideoClip.h"
#include "platform/av/AvMediaDetector.h"
#include "platform/av/AvSupport.h"
#include "ports/IMediaDetector.h"
#include "support/FakeDeviceCatalog.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kMediaStartMs = 5000;
constexpr int kWidth = 320;
constexpr int kHeight = 240;

// The 10 s video of coloured segments, made with melt when the first case needs it.
struct BenchMedia {
    testing::MediaFolder folder;
    std::filesystem::path video = folder.MakeVideo("colours.mp4", {{{testing::kRed, 2.0},
                                                                    {testing::kGreen, 2.0},
                                                                    {testing::kBlue, 2.0},
                                                                    {testing::kWhite, 2.0},
                                                                    {{200, 120, 40}, 2.0}},
                                                                   kWidth,
                                                                   kHeight,
                                                                   25,
                                                                   {}});
};

const std::filesystem::path& VideoFile() {
    static BenchMedia media;
    return media.video;
}

// The reference: the usual open, seek backward to a keyframe and decode loop of the first
// video stream up to the frame showing at a time, scaled to BGR24 with the same filter and
// decoder threads as the detector, and nothing else done with the pixels. Returns the number
// of rows written.
int DecodeReference(const std::filesystem::path& file, int32_t milliseconds) {
    ReferenceStream reference = OpenReferenceStream(
        file, AVMEDIA_TYPE_VIDEO,
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u)));
    AVFormatContext* format = reference.format.get();
    AVCodecContext* decoder = reference.decoder.get();
    const int stream = reference.index;
    const AVStream& video = reference.Stream();
    const int64_t origin = video.start_time != AV_NOPTS_VALUE ? video.start_time : 0;
    const int64_t target =
        origin + av_rescale_q(milliseconds, AVRational{1, 1000}, video.time_base);
    if (av_seek_frame(format, stream, target, AVSEEK_FLAG_BACKWARD) < 0) {
        throw std::runtime_error("cannot seek in " + file.string());
    }
    avcodec_flush_buffers(decoder);
    // A frame shows for one period of the nominal rate.
    const int64_t frameTicks =
        video.avg_frame_rate.num > 0 && video.avg_frame_rate.den > 0
            ? av_rescale_q(1, av_inv_q(video.avg_frame_rate), video.time_base)
            : 0;

    av::PacketPtr packet(av_packet_alloc());
    av::FramePtr frame(av_frame_alloc());
    av::FramePtr shown;  // the latest frame starting at or before
    bool draining = false;
    bool done = false;
    while (!done) {
        if (!draining) {
            if (av_read_frame(format, packet.get()) < 0) {
                draining = true;
                avcodec_send_packet(decoder, nullptr);
            } else {
                if (packet->stream_index == stream) {
                    avcodec_send_packet(decoder, packet.get());
                }
                av_packet_unref(packet.get());
            }
        }
        for (;;) {
            const int received = avcodec_receive_frame(decoder, frame.get());
            if (received == AVERROR(EAGAIN)) {
                break;
            }
            if (received < 0) {
                done = true;
                break;
            }
            const int64_t start = frame->best_effort_timestamp;
            if (start > target && shown) {
                done = true;
                break;
            }
            shown = std::move(frame);
            frame.reset(av_frame_alloc());
            if (start >= target || (frameTicks > 0 && target < start + frameTicks)) {
                done = true;
                break;
            }
        }
    }
    if (!shown) {
        throw std::runtime_error("no frame at the time in " + file.string());
    }

    av::ScalerPtr scaler(sws_getContext(shown->width, shown->height,
                                        static_cast<AVPixelFormat>(shown->format), kWidth, kHeight,
                                        AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
    const int stride = (kWidth * 3 + 63) & ~63;
    av::BufferPtr pixels(static_cast<uint8_t*>(av_malloc(static_cast<size_t>(stride) * kHeight)));
    uint8_t* planes[4] = {pixels.get(), nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    const int rows =
        sws_scale(scaler.get(), shown->data, shown->linesize, 0, shown->height, planes, strides);
    benchmark::DoNotOptimize(pixels.get());
    return rows;
}

void BM_PosterReference(benchmark::State& state) {
    const std::filesystem::path& file = VideoFile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeReference(file, kMediaStartMs));
    }
}
BENCHMARK(BM_PosterReference)->Unit(benchmark::kMillisecond);

// Each iteration times the clip's poster, with the cache emptied first so that it decodes,
// and then the reference, so that both see the same state of the machine; the counters give
// both means and their ratio.
void BM_PosterFrame(benchmark::State& state) {
    const std::filesystem::path& file = VideoFile();
    MediaDetectorFactory::Set([] { return std::make_unique<AvMediaDetector>(); });
    testing::FakeDeviceCatalog devices;
    DesTimeline timeline(devices);
    DesVideoGroup group(&timeline, kWidth, kHeight, 15.0f);
    DesTrack track(group);
    VideoClip clip(&track);
    clip.SetSource(testing::ToWide(file));
    clip.GetMediaSegment()->SetStartMs(kMediaStartMs);
    clip.SetSkipBlackPosterFrame(false);
    double posterSeconds = 0;
    double referenceSeconds = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        MediaCache::Instance().Clear();
        const Clock::time_point start = Clock::now();
        std::unique_ptr<DibBitmap> poster = clip.CreatePosterFrame();
        const Clock::time_point posted = Clock::now();
        benchmark::DoNotOptimize(DecodeReference(file, kMediaStartMs));
        const Clock::time_point decoded = Clock::now();
        if (!poster) {
            state.SkipWithError("no poster frame");
            break;
        }
        bytes = poster->bits.size();
        const double posterTime = std::chrono::duration<double>(posted - start).count();
        posterSeconds += posterTime;
        referenceSeconds += std::chrono::duration<double>(decoded - posted).count();
        state.SetIterationTime(posterTime);
    }
    MediaCache::Instance().Clear();
    MediaDetectorFactory::Set(nullptr);
    const auto runs =
        static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["poster_ms"] = 1000 * posterSeconds / runs;
    state.counters["reference_ms"] = 1000 * referenceSeconds / runs;
    state.counters["ratio"] = referenceSeconds > 0 ? posterSeconds / referenceSeconds : 0;
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PosterFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vortrel
