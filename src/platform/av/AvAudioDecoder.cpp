#include "platform/av/AvAudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/mathematics.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/av/AvSupport.h"

namespace vortrel {

namespace {

using Clock = std::chrono::steady_clock;
using Result = IAudioDecoder::Result;
using namespace av;

// Longest that opening the file or reading one packet may take: a damaged file or a stuck
// file system must not hang the caller. Decoding itself is bounded by the file's size.
constexpr auto kStallBudget = std::chrono::seconds(10);

// The format every buffer is delivered in.
constexpr int kOutputRate = 22050;
constexpr int kOutputChannels = 2;

constexpr AVRational kMediaTime{1, 10000000};  // 100-ns units
constexpr int64_t kNoTime = AV_NOPTS_VALUE;

// Decoding starts this long before the span, so that codecs whose frames overlap (AAC, the
// bit reservoir of MP3) have rebuilt their state by the first sample kept.
constexpr int64_t kPreroll = 2000000;  // 200 ms

// The channel layout of a frame, made explicit: decoders that know only the count leave the
// order unspecified, which the resampler cannot mix down.
AVChannelLayout LayoutOf(const AVFrame& frame) {
    AVChannelLayout layout{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC ||
        av_channel_layout_copy(&layout, &frame.ch_layout) < 0) {
        av_channel_layout_default(&layout, frame.ch_layout.nb_channels);
    }
    return layout;
}

struct ChannelLayout {
    AVChannelLayout layout{};
    ChannelLayout() = default;
    ~ChannelLayout() { av_channel_layout_uninit(&layout); }
    ChannelLayout(const ChannelLayout&) = delete;
    ChannelLayout& operator=(const ChannelLayout&) = delete;
};

}  // namespace

struct AvAudioDecoder::Impl {
    using Consumer = std::function<void(const int16_t* samples, size_t count)>;

    std::string url;
    FormatContextPtr format;
    CodecContextPtr decoder;
    int stream = -1;
    bool atStart = false;  // nothing read since the file was opened
    Clock::time_point deadline;

    // The resampler and the input format it was made for.
    ResamplerPtr resampler;
    ChannelLayout resamplerLayout;
    int resamplerFormat = -1;
    int resamplerRate = 0;
    std::vector<int16_t> output;

    // The span being decoded, in 100-ns units from the start of the stream, and how many
    // output frames (sample pairs) it may still take.
    int64_t spanStart = 0;
    int64_t spanStop = 0;
    int64_t remaining = 0;

    bool OpenInput() {
        deadline = Clock::now() + kStallBudget;
        FormatContextPtr opened = OpenLocalInput(url, &deadline);
        if (!opened) {
            return false;
        }
        format = std::move(opened);
        atStart = true;
        return true;
    }

    // Reads only the chosen stream: the demuxer then skips the others' packets.
    void DiscardOtherStreams() {
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            format->streams[i]->discard =
                static_cast<int>(i) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }
    }

    static CodecContextPtr OpenCodec(const AVStream& candidate) {
        const AVCodecParameters& parameters = *candidate.codecpar;
        if (parameters.codec_type != AVMEDIA_TYPE_AUDIO || parameters.sample_rate <= 0 ||
            parameters.ch_layout.nb_channels <= 0) {
            return nullptr;
        }
        const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
        if (codec == nullptr) {
            return nullptr;
        }
        CodecContextPtr context(avcodec_alloc_context3(codec));
        if (!context || avcodec_parameters_to_context(context.get(), &parameters) < 0) {
            return nullptr;
        }
        context->pkt_timebase = candidate.time_base;
        if (avcodec_open2(context.get(), codec, nullptr) < 0) {
            return nullptr;
        }
        return context;
    }

    Result Open(const std::wstring& path) {
        const std::optional<std::string> utf8 = FileNameOf(path);
        if (!utf8) {
            return Result::NoSource;
        }
        // Only regular files: opening a FIFO or a device could block for ever.
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::path(*utf8), error)) {
            return Result::NoSource;
        }
        // The explicit protocol keeps a name with a colon from being read as a URL.
        url = "file:" + *utf8;
        if (!OpenInput()) {
            return Result::NoSource;
        }
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            const AVStream& candidate = *format->streams[i];
            if (candidate.time_base.num <= 0 || candidate.time_base.den <= 0) {
                continue;
            }
            if (CodecContextPtr context = OpenCodec(candidate)) {
                decoder = std::move(context);
                stream = static_cast<int>(i);
                DiscardOtherStreams();
                return Result::Ok;
            }
        }
        return Result::NoAudio;
    }

    // Opens the file again, for demuxers that cannot seek back.
    bool Reopen() {
        const unsigned streams = format->nb_streams;
        const AVCodecID codec = format->streams[stream]->codecpar->codec_id;
        format.reset();
        if (!OpenInput() || format->nb_streams != streams ||
            format->streams[stream]->codecpar->codec_id != codec) {
            format.reset();  // the file is gone or has changed
            return false;
        }
        DiscardOtherStreams();
        return true;
    }

    // Positions the file at the packet at or before a time of the stream (in 100-ns units).
    bool SeekTo(int64_t time) {
        const AVStream& audio = *format->streams[stream];
        const int64_t origin = audio.start_time != kNoTime ? audio.start_time : 0;
        if (time <= 0 && atStart) {
            return true;  // already there, and some demuxers cannot seek at all
        }
        deadline = Clock::now() + kStallBudget;
        // Before the stream's first packet there is nothing to land on.
        const int64_t target =
            origin + av_rescale_q(std::max<int64_t>(time, 0), kMediaTime, audio.time_base);
        if (av_seek_frame(format.get(), stream, target, AVSEEK_FLAG_BACKWARD) >= 0) {
            return true;
        }
        // A file that cannot seek is read from its start, dropping what precedes the span.
        return atStart || Reopen();
    }

    // Hands out up to count output frames, within what the span may still take.
    void Deliver(int count, const Consumer& consumer) {
        const auto frames = static_cast<int64_t>(std::min<int64_t>(count, remaining));
        if (frames <= 0) {
            return;
        }
        remaining -= frames;
        consumer(output.data(), static_cast<size_t>(frames) * kOutputChannels);
    }

    // Returns what the resampler still holds from earlier input.
    bool FlushResampler(const Consumer& consumer) {
        while (resampler && remaining > 0) {
            const int pending = swr_get_out_samples(resampler.get(), 0);
            if (pending <= 0) {
                return true;
            }
            output.resize(static_cast<size_t>(pending) * kOutputChannels);
            auto* out = reinterpret_cast<uint8_t*>(output.data());
            const int converted = swr_convert(resampler.get(), &out, pending, nullptr, 0);
            if (converted < 0) {
                return false;
            }
            if (converted == 0) {
                return true;
            }
            Deliver(converted, consumer);
        }
        return true;
    }

    // Makes the resampler fit a frame's format; one made for another format is flushed first.
    bool FitResampler(const AVFrame& frame, const Consumer& consumer) {
        ChannelLayout layout;
        layout.layout = LayoutOf(frame);
        if (resampler && resamplerFormat == frame.format && resamplerRate == frame.sample_rate &&
            av_channel_layout_compare(&resamplerLayout.layout, &layout.layout) == 0) {
            return true;
        }
        if (!FlushResampler(consumer)) {
            return false;
        }
        resampler.reset();
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;  // the call takes no const
        SwrContext* made = nullptr;
        if (swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_S16, kOutputRate, &layout.layout,
                                static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0,
                                nullptr) < 0) {
            swr_free(&made);
            return false;
        }
        ResamplerPtr context(made);
        if (layout.layout.nb_channels == 1) {
            // A mono stream plays on both sides at full level, rather than 3 dB down as the
            // default mix of a centre channel would make it.
            const double both[2] = {1.0, 1.0};
            if (swr_set_matrix(context.get(), both, 1) < 0) {
                return false;
            }
        }
        if (swr_init(context.get()) < 0) {
            return false;
        }
        resampler = std::move(context);
        av_channel_layout_uninit(&resamplerLayout.layout);
        resamplerLayout.layout = layout.layout;
        layout.layout = AVChannelLayout{};  // ownership moved to resamplerLayout
        resamplerFormat = frame.format;
        resamplerRate = frame.sample_rate;
        return true;
    }

    // Resamples the samples [first, last) of a frame and hands them out.
    bool Convert(const AVFrame& frame, int first, int last, const Consumer& consumer) {
        if (!FitResampler(frame, consumer)) {
            return false;
        }
        const auto sampleFormat = static_cast<AVSampleFormat>(frame.format);
        const int channels = frame.ch_layout.nb_channels;
        const int planes = av_sample_fmt_is_planar(sampleFormat) ? channels : 1;
        const int stride = av_get_bytes_per_sample(sampleFormat) * (planes == 1 ? channels : 1);
        std::vector<const uint8_t*> input(static_cast<size_t>(planes));
        for (int plane = 0; plane < planes; ++plane) {
            input[static_cast<size_t>(plane)] =
                frame.extended_data[plane] + static_cast<ptrdiff_t>(first) * stride;
        }
        const int inputCount = last - first;
        const int room = swr_get_out_samples(resampler.get(), inputCount);
        if (room < 0) {
            return false;
        }
        output.resize(static_cast<size_t>(room) * kOutputChannels);
        auto* out = reinterpret_cast<uint8_t*>(output.data());
        const int converted = swr_convert(resampler.get(), &out, room, input.data(), inputCount);
        if (converted < 0) {
            return false;
        }
        Deliver(converted, consumer);
        return true;
    }

    enum class Step { More, Done, Failed, Overshot };

    // Keeps the part of a decoded frame inside the span. position is where the frame starts
    // when it carries no time, and afterwards where the next one starts.
    Step Take(const AVFrame& frame, int64_t& position, bool first, const Consumer& consumer) {
        const int rate = frame.sample_rate;
        const int count = frame.nb_samples;
        if (rate <= 0 || count <= 0 || frame.ch_layout.nb_channels <= 0 || frame.format < 0) {
            return Step::More;  // nothing to hear
        }
        const AVStream& audio = *format->streams[stream];
        const int64_t origin = audio.start_time != kNoTime ? audio.start_time : 0;
        int64_t start = position;
        if (frame.best_effort_timestamp != kNoTime) {
            start = av_rescale_q(frame.best_effort_timestamp - origin, audio.time_base, kMediaTime);
        }
        const AVRational sampleTime{1, rate};
        const int64_t end = start + av_rescale_q(count, sampleTime, kMediaTime);
        position = end;
        if (first && start > spanStart) {
            return Step::Overshot;  // the seek landed inside the span
        }
        if (end <= spanStart) {
            return Step::More;
        }
        if (start >= spanStop) {
            return Step::Done;
        }
        const int from = start < spanStart
                             ? static_cast<int>(std::min<int64_t>(
                                   count, av_rescale_q(spanStart - start, kMediaTime, sampleTime)))
                             : 0;
        const int to = end > spanStop
                           ? static_cast<int>(std::min<int64_t>(
                                 count, av_rescale_q(spanStop - start, kMediaTime, sampleTime)))
                           : count;
        if (from < to && !Convert(frame, from, to, consumer)) {
            return Step::Failed;
        }
        return end >= spanStop || remaining <= 0 ? Step::Done : Step::More;
    }

    // Decodes from the packet at or before seekTime to the end of the span.
    Step Run(int64_t seekTime, const Consumer& consumer) {
        if (!SeekTo(seekTime)) {
            return Step::Failed;
        }
        const bool fromStart = atStart;
        avcodec_flush_buffers(decoder.get());
        PacketPtr packet(av_packet_alloc());
        FramePtr frame(av_frame_alloc());
        if (!packet || !frame) {
            return Step::Failed;
        }
        int64_t position = fromStart ? 0 : std::max<int64_t>(seekTime, 0);
        bool first = !fromStart && seekTime > 0;
        bool draining = false;
        for (;;) {
            if (!draining) {
                deadline = Clock::now() + kStallBudget;
                const int read = av_read_frame(format.get(), packet.get());
                atStart = false;
                if (read == AVERROR_EXIT) {
                    return Step::Failed;  // reading stalled past its budget
                }
                if (read < 0) {
                    // The end of the file, or of what can be read of it: take what the
                    // decoder still holds.
                    draining = true;
                    avcodec_send_packet(decoder.get(), nullptr);
                } else {
                    if (packet->stream_index == stream) {
                        // A damaged packet is skipped; the decoder recovers at the next one.
                        avcodec_send_packet(decoder.get(), packet.get());
                    }
                    av_packet_unref(packet.get());
                }
            }
            for (;;) {
                const int received = avcodec_receive_frame(decoder.get(), frame.get());
                if (received == AVERROR(EAGAIN) && !draining) {
                    break;
                }
                if (received < 0) {
                    if (draining) {
                        return Step::Done;
                    }
                    break;  // a frame that failed to decode
                }
                const Step step = Take(*frame, position, first, consumer);
                first = false;
                av_frame_unref(frame.get());
                if (step != Step::More) {
                    return step;
                }
            }
        }
    }

    Result Decode(int64_t start, int64_t stop, const Consumer& consumer) {
        if (!format || !decoder) {
            return Result::DecodeFailed;
        }
        spanStart = std::max<int64_t>(start, 0);
        spanStop = stop;
        if (spanStop <= spanStart) {
            return Result::Ok;
        }
        // The span holds this many output frames; rounding errors of the resampler never
        // add to it.
        remaining = av_rescale_rnd(spanStop - spanStart, kOutputRate, kMediaTime.den, AV_ROUND_UP);
        resampler.reset();
        Step step = Run(spanStart - kPreroll, consumer);
        if (step == Step::Overshot) {
            // The file's index placed the span's start too late: read it from the start.
            step = Run(0, consumer);
        }
        if (step == Step::Failed || !FlushResampler(consumer)) {
            return Result::DecodeFailed;
        }
        return Result::Ok;
    }
};

AvAudioDecoder::AvAudioDecoder() : impl_(std::make_unique<Impl>()) {}

AvAudioDecoder::~AvAudioDecoder() = default;

IAudioDecoder::Result AvAudioDecoder::Open(const std::wstring& path) {
    impl_ = std::make_unique<Impl>();
    try {
        const Result result = impl_->Open(path);
        if (result != Result::Ok) {
            impl_ = std::make_unique<Impl>();
        }
        return result;
    } catch (const std::exception&) {
        impl_ = std::make_unique<Impl>();
        return Result::NoSource;  // out of memory while probing: the file cannot be read
    }
}

IAudioDecoder::Result AvAudioDecoder::Decode(
    int64_t start, int64_t stop,
    const std::function<void(const int16_t* samples, size_t count)>& consumer) {
    return impl_->Decode(start, stop, consumer);
}

}  // namespace vortrel
