// The cost of a waveform: extracting 60 s of audio against a plain decode of the same span to
// the same 16-bit stereo at 22 050 Hz, in the same run, on FLAC and on AAC. The extraction
// adds the reduction to pairs and its buffer handling; the ratio is what counts (goal 1.5).
#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ReferenceStream.h"
#include "editing/WaveformExtractor.h"
#include "platform/av/AvAudioDecoder.h"
#include "platform/av/AvSupport.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kSpanMs = 60000;

// The two 60 s files, made with melt when the first case needs them.
struct BenchMedia {
    testing::MediaFolder folder;
    std::filesystem::path flac = folder.MakeTone("tone.mka", 60.0, 440, 48000, 2);
    std::filesystem::path aac =
        folder.MakeVideo("tone.mp4", {{{testing::kBlack, 60.0}}, 64, 48, 25, {440}});
};

const std::filesystem::path& FileFor(const benchmark::State& state) {
    static BenchMedia media;
    return state.range(0) == 0 ? media.flac : media.aac;
}

// The reference: the usual decode loop of the first audio stream from the file's start to
// the end of the span, resampled to 16-bit stereo at 22 050 Hz, and nothing else done with
// the samples. Returns the number of 16-bit values.
size_t DecodeReference(const std::filesystem::path& file, int32_t spanMs) {
    ReferenceStream reference = OpenReferenceStream(file, AVMEDIA_TYPE_AUDIO);
    AVFormatContext* format = reference.format.get();
    AVCodecContext* decoder = reference.decoder.get();
    const int stream = reference.index;
    const AVStream& audio = reference.Stream();
    SwrContext* made = nullptr;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_S16, 22050, &decoder->ch_layout,
                        decoder->sample_fmt, decoder->sample_rate, 0, nullptr);
    av::ResamplerPtr resampler(made);
    if (!resampler || swr_init(resampler.get()) < 0) {
        throw std::runtime_error("cannot resample " + file.string());
    }
    const int64_t stop = av_rescale_q(spanMs, AVRational{1, 1000}, audio.time_base);
    av::PacketPtr packet(av_packet_alloc());
    av::FramePtr frame(av_frame_alloc());
    std::vector<int16_t> out;
    size_t values = 0;
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame.get()) >= 0) {
            out.resize(
                static_cast<size_t>(swr_get_out_samples(resampler.get(), frame->nb_samples)) * 2);
            auto* to = reinterpret_cast<uint8_t*>(out.data());
            const int got =
                swr_convert(resampler.get(), &to, static_cast<int>(out.size() / 2),
                            const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            values += got > 0 ? static_cast<size_t>(got) * 2 : 0;
            benchmark::DoNotOptimize(out.data());
        }
    };
    while (av_read_frame(format, packet.get()) >= 0) {
        const bool past = packet->pts != AV_NOPTS_VALUE && packet->pts >= stop;
        if (packet->stream_index == stream && !past) {
            avcodec_send_packet(decoder, packet.get());
            drain();
        }
        av_packet_unref(packet.get());
        if (past) {
            break;
        }
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
    return values;
}

void BM_DecodeReference(benchmark::State& state) {
    const std::filesystem::path& file = FileFor(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeReference(file, kSpanMs));
    }
}
BENCHMARK(BM_DecodeReference)->ArgName("aac")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each iteration times the extraction and then the reference, so that both see the same
// state of the machine; the counters give both means and their ratio.
void BM_ExtractWaveform(benchmark::State& state) {
    const std::filesystem::path& file = FileFor(state);
    AudioDecoderFactory::Set([] { return std::make_unique<AvAudioDecoder>(); });
    const std::wstring source = testing::ToWide(file);
    double extractSeconds = 0;
    double referenceSeconds = 0;
    size_t pairs = 0;
    for (auto _ : state) {
        std::vector<double> levels;
        const Clock::time_point start = Clock::now();
        ExtractWaveform(source, levels, 0, kSpanMs);
        const Clock::time_point extracted = Clock::now();
        benchmark::DoNotOptimize(DecodeReference(file, kSpanMs));
        const Clock::time_point decoded = Clock::now();
        pairs = levels.size() / 2;
        const double extractTime = std::chrono::duration<double>(extracted - start).count();
        extractSeconds += extractTime;
        referenceSeconds += std::chrono::duration<double>(decoded - extracted).count();
        state.SetIterationTime(extractTime);
    }
    AudioDecoderFactory::Set(nullptr);
    const auto runs = static_cast<double>(state.iterations());
    state.counters["extract_ms"] = 1000 * extractSeconds / runs;
    state.counters["reference_ms"] = 1000 * referenceSeconds / runs;
    state.counters["ratio"] = extractSeconds / referenceSeconds;
    state.counters["pairs"] = static_cast<double>(pairs);
}
BENCHMARK(BM_ExtractWaveform)
    ->ArgName("aac")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vortrel
