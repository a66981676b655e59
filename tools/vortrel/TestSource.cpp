#include "TestSource.h"

#include "platform/av/AvSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace vortrel {

namespace {

constexpr int kMaxSide = 8192;
constexpr double kMaxSeconds = 24.0 * 3600.0;
constexpr double kToneHz = 440.0;
constexpr float kToneLevel = 0.5f;

using namespace av;

std::string ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

// Raises a write error for a failed FFmpeg call.
void Check(int result, const std::string& what) {
    if (result < 0) {
        throw TestSourceWriteError(what + ": " + ErrorText(result));
    }
}

// The codecs of one container; none for a kind of stream the format cannot hold.
struct Container {
    std::optional<AVCodecID> video;
    std::optional<AVCodecID> audio;
    bool still = false;  // one picture written as the encoder's bytes, no muxer
};

std::optional<Container> ContainerOf(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".mp4") {
        return Container{AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC};
    }
    if (extension == ".mkv") {
        return Container{AV_CODEC_ID_FFV1, AV_CODEC_ID_FLAC};
    }
    if (extension == ".avi") {
        return Container{AV_CODEC_ID_MJPEG, AV_CODEC_ID_PCM_S16LE};
    }
    if (extension == ".wav") {
        return Container{std::nullopt, AV_CODEC_ID_PCM_S16LE};
    }
    if (extension == ".png") {
        return Container{AV_CODEC_ID_PNG, std::nullopt, true};
    }
    return std::nullopt;
}

bool HasVideo(TestSourceKind kind) {
    return kind == TestSourceKind::Video || kind == TestSourceKind::AudioVideo ||
           kind == TestSourceKind::Image;
}

bool HasAudio(TestSourceKind kind) {
    return kind == TestSourceKind::Audio || kind == TestSourceKind::AudioVideo;
}

const char* KindName(TestSourceKind kind) {
    switch (kind) {
        case TestSourceKind::Video:
            return "video";
        case TestSourceKind::Audio:
            return "audio";
        case TestSourceKind::AudioVideo:
            return "av";
        case TestSourceKind::Image:
            return "image";
    }
    return "?";
}

int64_t FrameCount(const TestSourceSpec& spec) {
    return std::llround(spec.seconds * spec.fps);
}

int64_t SampleCount(const TestSourceSpec& spec) {
    return std::llround(spec.seconds * kTestSourceSampleRate);
}

// Paints frame number n of the moving pattern into a packed RGB picture.
class PatternPainter {
  public:
    PatternPainter(int width, int height)
        : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height * 3) {}

    const uint8_t* Paint(int64_t frame) {
        static constexpr std::array<std::array<uint8_t, 3>, 7> kBars = {{
            {191, 191, 191},
            {191, 191, 0},
            {0, 191, 191},
            {0, 191, 0},
            {191, 0, 191},
            {191, 0, 0},
            {0, 0, 191},
        }};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                Put(x, y, kBars[static_cast<size_t>(x) * kBars.size() / width_]);
            }
        }
        // A white bar sweeps across, a few pixels further on every frame.
        const int barWidth = std::max(2, width_ / 16);
        const int step = std::max(1, width_ / 64);
        const int barX = static_cast<int>((frame * step) % width_);
        for (int y = 0; y < height_; ++y) {
            for (int x = barX; x < std::min(width_, barX + barWidth); ++x) {
                Put(x, y, {255, 255, 255});
            }
        }
        // Sixteen squares along the bottom spell the frame number in binary.
        const int side = std::max(1, std::min(width_ / 16, height_ / 4));
        const int top = height_ - side;
        for (int bit = 0; bit < 16; ++bit) {
            const bool set = ((frame >> bit) & 1) != 0;
            const std::array<uint8_t, 3> colour =
                set ? std::array<uint8_t, 3>{255, 255, 255} : std::array<uint8_t, 3>{16, 16, 16};
            for (int y = top; y < height_; ++y) {
                for (int x = bit * side; x < std::min(width_, (bit + 1) * side); ++x) {
                    Put(x, y, colour);
                }
            }
        }
        return rgb_.data();
    }

    int Stride() const { return width_ * 3; }

  private:
    void Put(int x, int y, const std::array<uint8_t, 3>& colour) {
        uint8_t* pixel = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
        pixel[0] = colour[0];
        pixel[1] = colour[1];
        pixel[2] = colour[2];
    }

    int width_;
    int height_;
    std::vector<uint8_t> rgb_;
};

// One encoder and, when muxing, its stream: takes frames and hands out packets.
struct Encoder {
    CodecContextPtr context;
    AVStream* stream = nullptr;
    FramePtr frame;
};

AVPixelFormat PixelFormatFor(AVCodecID codec) {
    switch (codec) {
        case AV_CODEC_ID_MJPEG:
            return AV_PIX_FMT_YUVJ420P;
        case AV_CODEC_ID_PNG:
            return AV_PIX_FMT_RGB24;
        default:
            return AV_PIX_FMT_YUV420P;
    }
}

const AVCodec* FindEncoder(AVCodecID id) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (codec == nullptr) {
        throw TestSourceWriteError(std::string("FFmpeg has no encoder for ") +
                                   avcodec_get_name(id));
    }
    return codec;
}

Encoder OpenVideoEncoder(AVCodecID id, const TestSourceSpec& spec, AVFormatContext* muxer) {
    const AVCodec* codec = FindEncoder(id);
    Encoder encoder;
    encoder.context.reset(avcodec_alloc_context3(codec));
    if (!encoder.context) {
        throw TestSourceWriteError("cannot allocate a video encoder");
    }
    AVCodecContext& context = *encoder.context;
    const AVRational rate = av_d2q(spec.fps, 100000);
    context.width = spec.width;
    context.height = spec.height;
    context.time_base = av_inv_q(rate);
    context.framerate = rate;
    context.pix_fmt = PixelFormatFor(id);
    context.gop_size = 12;
    if (id == AV_CODEC_ID_MPEG4) {
        context.bit_rate = 1000000;
    }
    if (id == AV_CODEC_ID_MJPEG) {
        // Full-range JPEG pictures; fixed quality keeps the files small and sharp enough.
        context.flags |= AV_CODEC_FLAG_QSCALE;
        context.global_quality = FF_QP2LAMBDA * 4;
        context.color_range = AVCOL_RANGE_JPEG;
    }
    if (muxer != nullptr && (muxer->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    Check(avcodec_open2(&context, codec, nullptr), "cannot open the video encoder");

    encoder.frame.reset(av_frame_alloc());
    encoder.frame->format = context.pix_fmt;
    encoder.frame->width = context.width;
    encoder.frame->height = context.height;
    Check(av_frame_get_buffer(encoder.frame.get(), 0), "cannot allocate a video frame");

    if (muxer != nullptr) {
        encoder.stream = avformat_new_stream(muxer, nullptr);
        if (encoder.stream == nullptr) {
            throw TestSourceWriteError("cannot add a video stream");
        }
        encoder.stream->time_base = context.time_base;
        encoder.stream->avg_frame_rate = rate;
        Check(avcodec_parameters_from_context(encoder.stream->codecpar, &context),
              "cannot describe the video stream");
    }
    return encoder;
}

Encoder OpenAudioEncoder(AVCodecID id, AVFormatContext* muxer) {
    const AVCodec* codec = FindEncoder(id);
    Encoder encoder;
    encoder.context.reset(avcodec_alloc_context3(codec));
    if (!encoder.context) {
        throw TestSourceWriteError("cannot allocate an audio encoder");
    }
    AVCodecContext& context = *encoder.context;
    context.sample_rate = kTestSourceSampleRate;
    av_channel_layout_default(&context.ch_layout, kTestSourceChannels);
    context.sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    context.time_base = AVRational{1, kTestSourceSampleRate};
    if (id == AV_CODEC_ID_AAC) {
        context.bit_rate = 128000;
    }
    if ((muxer->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    Check(avcodec_open2(&context, codec, nullptr), "cannot open the audio encoder");

    encoder.stream = avformat_new_stream(muxer, nullptr);
    if (encoder.stream == nullptr) {
        throw TestSourceWriteError("cannot add an audio stream");
    }
    encoder.stream->time_base = context.time_base;
    Check(avcodec_parameters_from_context(encoder.stream->codecpar, &context),
          "cannot describe the audio stream");
    encoder.frame.reset(av_frame_alloc());
    return encoder;
}

// Sends one frame (none to drain) and writes every packet the encoder has ready.
void Encode(Encoder& encoder, const AVFrame* frame, AVFormatContext* muxer) {
    Check(avcodec_send_frame(encoder.context.get(), frame), "the encoder refused a frame");
    PacketPtr packet(av_packet_alloc());
    for (;;) {
        const int result = avcodec_receive_packet(encoder.context.get(), packet.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return;
        }
        Check(result, "the encoder failed");
        if (packet->duration == 0 && encoder.context->codec_type == AVMEDIA_TYPE_VIDEO) {
            packet->duration = 1;  // so that the last frame lasts a frame in every container
        }
        av_packet_rescale_ts(packet.get(), encoder.context->time_base, encoder.stream->time_base);
        packet->stream_index = encoder.stream->index;
        Check(av_interleaved_write_frame(muxer, packet.get()), "cannot write a packet");
    }
}

// Makes the frames of the moving pattern in the encoder's pixel format.
class VideoSource {
  public:
    VideoSource(Encoder& encoder, const TestSourceSpec& spec)
        : encoder_(encoder), painter_(spec.width, spec.height), frames_(FrameCount(spec)) {
        scaler_.reset(sws_getContext(spec.width, spec.height, AV_PIX_FMT_RGB24, spec.width,
                                     spec.height, encoder.context->pix_fmt, SWS_BICUBIC, nullptr,
                                     nullptr, nullptr));
        if (!scaler_) {
            throw TestSourceWriteError("cannot convert pictures to the encoder's format");
        }
    }

    bool Done() const { return next_ >= frames_; }
    int64_t Next() const { return next_; }

    AVFrame* MakeFrame() {
        AVFrame* frame = encoder_.frame.get();
        Check(av_frame_make_writable(frame), "cannot write a video frame");
        const uint8_t* rgb = painter_.Paint(next_);
        const int stride = painter_.Stride();
        sws_scale(scaler_.get(), &rgb, &stride, 0, frame->height, frame->data, frame->linesize);
        frame->pts = next_++;
        return frame;
    }

  private:
    Encoder& encoder_;
    PatternPainter painter_;
    ScalerPtr scaler_;
    int64_t frames_;
    int64_t next_ = 0;
};

// Makes the frames of the sine tone in the encoder's sample format.
class AudioSource {
  public:
    AudioSource(Encoder& encoder, const TestSourceSpec& spec)
        : encoder_(encoder), samples_(SampleCount(spec)) {
        AVCodecContext& context = *encoder.context;
        const bool variable =
            (context.codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) != 0 ||
            context.frame_size == 0;
        chunk_ = variable ? 1024 : context.frame_size;
        SwrContext* resampler = nullptr;
        Check(swr_alloc_set_opts2(&resampler, &context.ch_layout, context.sample_fmt,
                                  context.sample_rate, &context.ch_layout, AV_SAMPLE_FMT_FLT,
                                  kTestSourceSampleRate, 0, nullptr),
              "cannot set up the sample conversion");
        resampler_.reset(resampler);
        Check(swr_init(resampler_.get()), "cannot set up the sample conversion");
    }

    bool Done() const { return next_ >= samples_; }
    int64_t Next() const { return next_; }

    AVFrame* MakeFrame() {
        const int count = static_cast<int>(std::min<int64_t>(chunk_, samples_ - next_));
        std::vector<float> tone(static_cast<size_t>(count) * kTestSourceChannels);
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(next_ + i) / kTestSourceSampleRate;
            const float value =
                kToneLevel * static_cast<float>(std::sin(2.0 * std::numbers::pi * kToneHz * t));
            for (int channel = 0; channel < kTestSourceChannels; ++channel) {
                tone[static_cast<size_t>(i) * kTestSourceChannels + channel] = value;
            }
        }
        AVFrame* frame = encoder_.frame.get();
        av_frame_unref(frame);
        frame->format = encoder_.context->sample_fmt;
        frame->sample_rate = encoder_.context->sample_rate;
        frame->nb_samples = count;
        Check(av_channel_layout_copy(&frame->ch_layout, &encoder_.context->ch_layout),
              "cannot describe an audio frame");
        Check(av_frame_get_buffer(frame, 0), "cannot allocate an audio frame");
        const uint8_t* input = reinterpret_cast<const uint8_t*>(tone.data());
        const int converted = swr_convert(resampler_.get(), frame->data, count, &input, count);
        if (converted != count) {
            throw TestSourceWriteError("the sample conversion lost samples");
        }
        frame->pts = next_;
        next_ += count;
        return frame;
    }

  private:
    Encoder& encoder_;
    ResamplerPtr resampler_;
    int64_t samples_;
    int chunk_ = 1024;
    int64_t next_ = 0;
};

void WriteStill(const std::filesystem::path& path, const TestSourceSpec& spec, AVCodecID id) {
    Encoder encoder = OpenVideoEncoder(id, spec, nullptr);
    VideoSource source(encoder, spec);
    Check(avcodec_send_frame(encoder.context.get(), source.MakeFrame()),
          "the encoder refused the picture");
    Check(avcodec_send_frame(encoder.context.get(), nullptr), "the encoder failed");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw TestSourceWriteError("cannot create " + path.string());
    }
    PacketPtr packet(av_packet_alloc());
    while (avcodec_receive_packet(encoder.context.get(), packet.get()) == 0) {
        out.write(reinterpret_cast<const char*>(packet->data), packet->size);
        av_packet_unref(packet.get());
    }
    if (!out.flush()) {
        throw TestSourceWriteError("cannot write " + path.string());
    }
}

void WriteMuxed(const std::filesystem::path& path, const TestSourceSpec& spec,
                const Container& container) {
    const std::string name = path.string();
    AVFormatContext* raw = nullptr;
    Check(avformat_alloc_output_context2(&raw, nullptr, nullptr, name.c_str()),
          "no muxer for " + name);
    OutputContextPtr muxer(raw);

    std::optional<Encoder> video;
    std::optional<Encoder> audio;
    if (HasVideo(spec.kind)) {
        video = OpenVideoEncoder(*container.video, spec, muxer.get());
    }
    if (HasAudio(spec.kind)) {
        audio = OpenAudioEncoder(*container.audio, muxer.get());
    }
    Check(avio_open(&muxer->pb, name.c_str(), AVIO_FLAG_WRITE), "cannot create " + name);
    struct Closer {
        AVFormatContext* muxer;
        ~Closer() { avio_closep(&muxer->pb); }
    } closer{muxer.get()};
    Check(avformat_write_header(muxer.get(), nullptr), "cannot write the header of " + name);

    std::optional<VideoSource> pictures;
    std::optional<AudioSource> tone;
    if (video) {
        pictures.emplace(*video, spec);
    }
    if (audio) {
        tone.emplace(*audio, spec);
    }
    // Feed whichever stream is behind, so that the muxer interleaves without buffering much.
    for (;;) {
        const bool videoLeft = pictures && !pictures->Done();
        const bool audioLeft = tone && !tone->Done();
        if (!videoLeft && !audioLeft) {
            break;
        }
        const bool videoFirst =
            videoLeft &&
            (!audioLeft || av_compare_ts(pictures->Next(), video->context->time_base, tone->Next(),
                                         audio->context->time_base) <= 0);
        if (videoFirst) {
            Encode(*video, pictures->MakeFrame(), muxer.get());
        } else {
            Encode(*audio, tone->MakeFrame(), muxer.get());
        }
    }
    if (video) {
        Encode(*video, nullptr, muxer.get());
    }
    if (audio) {
        Encode(*audio, nullptr, muxer.get());
    }
    Check(av_write_trailer(muxer.get()), "cannot finish " + name);
}

}  // namespace

TestSourceKind ParseTestSourceKind(std::string_view name) {
    for (TestSourceKind kind : {TestSourceKind::Video, TestSourceKind::Audio,
                                TestSourceKind::AudioVideo, TestSourceKind::Image}) {
        if (name == KindName(kind)) {
            return kind;
        }
    }
    throw TestSourceRequestError("unknown kind '" + std::string(name) +
                                 "' (video, audio, av or image)");
}

void ParseFrameSize(std::string_view text, int& width, int& height) {
    const size_t x = text.find('x');
    auto number = [](std::string_view digits, int& value) {
        const char* end = digits.data() + digits.size();
        return !digits.empty() && digits.front() != '+' && digits.front() != '-' &&
               std::from_chars(digits.data(), end, value).ptr == end;
    };
    int w = 0;
    int h = 0;
    if (x == std::string_view::npos || !number(text.substr(0, x), w) ||
        !number(text.substr(x + 1), h)) {
        throw TestSourceRequestError("a frame size is written WxH, not '" + std::string(text) +
                                     "'");
    }
    width = w;
    height = h;
}

void CheckTestSource(const std::filesystem::path& path, const TestSourceSpec& spec) {
    const std::optional<Container> container = ContainerOf(path);
    if (!container) {
        throw TestSourceRequestError("cannot tell the format of '" + path.string() +
                                     "' (use .mp4, .mkv, .avi, .wav or .png)");
    }
    const bool still = spec.kind == TestSourceKind::Image;
    if (still != container->still || (HasVideo(spec.kind) && !container->video) ||
        (HasAudio(spec.kind) && !container->audio)) {
        throw TestSourceRequestError("a " + path.extension().string() + " file cannot hold kind " +
                                     KindName(spec.kind));
    }
    if (spec.width < 2 || spec.height < 2 || spec.width > kMaxSide || spec.height > kMaxSide ||
        (!still && (spec.width % 2 != 0 || spec.height % 2 != 0))) {
        throw TestSourceRequestError("frame size " + std::to_string(spec.width) + "x" +
                                     std::to_string(spec.height) +
                                     " is not an even size from 2x2 to 8192x8192");
    }
    if (still) {
        return;  // a picture has no length or rate
    }
    if (!(spec.seconds > 0.0 && spec.seconds <= kMaxSeconds)) {
        throw TestSourceRequestError("the length must be above 0 and at most a day");
    }
    if (HasVideo(spec.kind) && !(spec.fps >= 1.0 && spec.fps <= 240.0)) {
        throw TestSourceRequestError("the frame rate must be from 1 to 240");
    }
    if (HasVideo(spec.kind) && FrameCount(spec) < 1) {
        throw TestSourceRequestError("the length is shorter than one frame");
    }
}

void WriteTestSource(const std::filesystem::path& path, const TestSourceSpec& spec) {
    CheckTestSource(path, spec);
    const Container container = *ContainerOf(path);
    // The encoders chat on the log (rate statistics, pixel range notes); errors come back
    // as results, so only the log's errors are worth showing while writing.
    struct QuietLog {
        int level = av_log_get_level();
        QuietLog() { av_log_set_level(std::min(level, AV_LOG_ERROR)); }
        ~QuietLog() { av_log_set_level(level); }
    } quiet;
    try {
        if (container.still) {
            WriteStill(path, spec, *container.video);
        } else {
            WriteMuxed(path, spec, container);
        }
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);  // no half-written file is left to mislead
        throw;
    }
}

}  // namespace vortrel
