#include "platform/linux/MltOutputPlan.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/rational.h>
#include <libavutil/samplefmt.h>
}

#include <mlt++/Mlt.h>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <variant>

#include "base/Guid.h"
#include "editing/EditNode.h"
#include "editing/EditTimeline.h"
#include "platform/linux/AvEncoders.h"
#include "platform/linux/MltCatalog.h"

namespace vortrel {

namespace {

using Options = MltOutputPlan::Options;

// Output types.
constexpr int32_t kAvi = 0;
constexpr int32_t kWmv = 1;
constexpr int32_t kMp4 = 2;
constexpr int32_t kFirstMpeg = 3;
constexpr int32_t kLastMpeg = 10;
constexpr int32_t kM2ts = 11;
constexpr int32_t kFlv = 12;

// What a picture, a rate and a sound may be. Beyond these the encoders either refuse or
// write files that nothing plays.
constexpr int kMinSide = 16;
constexpr int kMaxSide = 4096;
constexpr double kMinFps = 1.0;
constexpr double kMaxFps = 240.0;
constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;
constexpr int kMaxChannels = 8;

// The speed presets of the MP4 settings, by their number.
constexpr std::array<const char*, 8> kPresets = {"superfast", "veryfast", "faster", "fast",
                                                 "medium",    "slow",     "slower", "veryslow"};

std::string Text(int64_t value) {
    return std::to_string(value);
}

// A picture of square pixels, or one shown at a display aspect.
void SetDisplayAspect(MltOutputPlan& plan, int num, int den) {
    if (num <= 0 || den <= 0 || plan.width <= 0 || plan.height <= 0) {
        plan.sampleAspectNum = 1;
        plan.sampleAspectDen = 1;
        return;
    }
    av_reduce(&plan.sampleAspectNum, &plan.sampleAspectDen, static_cast<int64_t>(num) * plan.height,
              static_cast<int64_t>(den) * plan.width, std::numeric_limits<int>::max());
}

// A whole number of frames per second from a setting that may hold anything.
int TruncatedFps(double fps) {
    if (!std::isfinite(fps) || fps < 0.0 || fps > kMaxFps * 2) {
        return 0;
    }
    return static_cast<int>(fps);
}

// Fixed MPEG profiles 0 to 5: MPEG-1 at the VCD sizes, MPEG-2 at the SVCD and DVD sizes,
// each with the decoder buffer of its disc format (40, 112 and 224 KiB).
struct MpegProfile {
    bool mpeg2;
    int width;
    int height;
    FrameRate rate;
    int64_t videoBitrate;
    int64_t bufferSize;  // bits
    int channels;
    int64_t audioBitrate;
    int sampleRate;
};

constexpr MpegProfile kMpegProfiles[] = {
    {false, 352, 288, {25, 1}, 1'150'000, 2'300'000, 2, 224'000, 44'100},       // 0 VCD PAL
    {false, 352, 240, {30000, 1001}, 1'150'000, 327'680, 2, 224'000, 44'100},   // 1 VCD NTSC
    {true, 480, 576, {25, 1}, 2'500'000, 917'504, 2, 224'000, 44'100},          // 2 SVCD PAL
    {true, 480, 480, {30000, 1001}, 2'500'000, 917'504, 2, 224'000, 44'100},    // 3 SVCD NTSC
    {true, 720, 576, {25, 1}, 6'000'000, 1'835'008, 2, 224'000, 48'000},        // 4 DVD PAL
    {true, 720, 480, {30000, 1001}, 6'000'000, 1'835'008, 2, 224'000, 48'000},  // 5 DVD NTSC
};
constexpr int32_t kCustomMpeg1 = 6;
constexpr int32_t kCustomMpeg2 = 7;

void PlanAvi(const OutputSettings& settings, const TimelineFormat& timeline,
             const MltCatalog& catalog, MltOutputPlan& plan) {
    plan.format = "avi";
    // An AVI file places each video frame by its position in the stream. Encoders that start
    // their sound early (MP3 by its padding) would otherwise have every later picture moved
    // on by a frame to keep all times positive, which AVI can only show as one empty frame
    // more; the sound's lead is of no use to AVI, whose sound runs by its own sample count.
    plan.formatOptions = {{"avoid_negative_ts", "disabled"}};
    plan.width = timeline.width;
    plan.height = timeline.height;
    plan.rate = timeline.rate;
    plan.sampleRate = timeline.sampleRate;
    plan.channels = timeline.channels;
    // A position that names no compressor (-1 among them) leaves the stream uncompressed.
    const AvCompressorEntry* video =
        settings.AVIVideoCompressor >= 0
            ? catalog.Compressor(DeviceCategory::VideoCompressors,
                                 static_cast<size_t>(settings.AVIVideoCompressor))
            : nullptr;
    if (video != nullptr) {
        plan.videoEncoder = video->encoder;
        plan.pixelFormat = video->format;
        plan.videoOptions = video->options;
    } else {
        plan.videoEncoder = "rawvideo";
        plan.pixelFormat = "bgr24";  // the 24-bit bitmap that every AVI player reads
    }
    const AvCompressorEntry* audio =
        settings.AVIAudioCompressor >= 0
            ? catalog.Compressor(DeviceCategory::AudioCompressors,
                                 static_cast<size_t>(settings.AVIAudioCompressor))
            : nullptr;
    if (audio != nullptr) {
        plan.audioEncoder = audio->encoder;
        plan.sampleFormat = audio->format;
        plan.audioOptions = audio->options;
    } else {
        plan.audioEncoder = "pcm_s16le";
        plan.sampleFormat = "s16";
    }
}

bool PlanWmv(const std::array<uint8_t, 16>& profileId, MltOutputPlan& plan) {
    for (const OutputProfile& profile : AvEncoders::OutputProfiles()) {
        const std::optional<Guid> id = Guid::Parse(profile.id);
        if (!id || id->ToBytes() != profileId) {
            continue;
        }
        plan.format = AvEncoders::kProfileContainer;
        if (profile.videoStreams > 0) {
            plan.videoEncoder = AvEncoders::kProfileVideoEncoder;
            plan.videoOptions = {{"b", Text(profile.videoBitrate)}};
            plan.width = profile.width;
            plan.height = profile.height;
            plan.rate = FrameRateOf(profile.frameRate);
        }
        plan.audioEncoder = AvEncoders::kProfileAudioEncoder;
        plan.audioOptions = {{"b", Text(profile.audioBitrate)}};
        plan.sampleRate = profile.audioSampleRate;
        plan.channels = profile.audioChannels;
        return true;
    }
    return false;  // the all-zero id among the unknown ones
}

void PlanMp4(const OutputSettings& settings, MltOutputPlan& plan) {
    plan.format = "mp4";
    plan.videoEncoder = "libx264";
    if (settings.MP4H264Preset >= 0 && settings.MP4H264Preset < std::ssize(kPresets)) {
        plan.videoOptions.emplace_back("preset", kPresets[settings.MP4H264Preset]);
    }
    plan.videoOptions.emplace_back("b", Text(settings.MP4VideoBitrate));
    plan.width = settings.MP4Width;
    plan.height = settings.MP4Height;
    plan.rate = {TruncatedFps(settings.MP4Framerate), 1};
    // The aspect flag: set (0) keeps the picture's own shape with square pixels; cleared
    // (any other value) shows the picture at 16:9.
    if (settings.MP4AspectRatio != 0) {
        SetDisplayAspect(plan, 16, 9);
    }
    plan.audioEncoder = "aac";
    plan.audioOptions = {{"b", Text(settings.MP4AudioBitrate)}};
    plan.sampleRate = settings.MP4AudioSampleRate;
    plan.channels = settings.MP4AudioChannels;
}

void PlanMpeg(const OutputSettings& settings, int32_t profileNumber, MltOutputPlan& plan) {
    MpegProfile profile{};
    if (profileNumber == kCustomMpeg1 || profileNumber == kCustomMpeg2) {
        profile = {profileNumber == kCustomMpeg2, settings.MPEGWidth,
                   settings.MPEGHeight,           FrameRateOf(settings.MPEGFrameRate),
                   settings.MPEGVideoBitrate,     settings.MPEGBufferSize,
                   settings.MPEGAudioChannels,    settings.MPEGAudioBitrate,
                   settings.MPEGAudioSampleRate};
    } else {
        profile = kMpegProfiles[profileNumber];
    }
    const bool ac3 = settings.MPEGAC3 != 0;
    // AC-3 has no place in an MPEG-1 system stream that players agree on, so it goes into
    // an MPEG-2 program stream, which carries MPEG-1 video as well.
    plan.format = profile.mpeg2 || ac3 ? "vob" : "mpeg";
    plan.videoEncoder = profile.mpeg2 ? "mpeg2video" : "mpeg1video";
    plan.width = profile.width;
    plan.height = profile.height;
    plan.rate = profile.rate;
    // One rate for the average, the ceiling and the floor: a constant bit rate.
    const std::string rate = Text(profile.videoBitrate);
    plan.videoOptions = {
        {"b", rate}, {"maxrate", rate}, {"minrate", rate}, {"bufsize", Text(profile.bufferSize)}};
    // The aspect code as in an MPEG sequence header: 1 square pixels, 2 4:3, 3 16:9,
    // 4 2.21:1; any other code keeps the profile's own shape, 4:3 for the fixed profiles and
    // square pixels for the custom ones.
    switch (settings.MPEGAspectRatio) {
        case 1:
            SetDisplayAspect(plan, 0, 0);
            break;
        case 2:
            SetDisplayAspect(plan, 4, 3);
            break;
        case 3:
            SetDisplayAspect(plan, 16, 9);
            break;
        case 4:
            SetDisplayAspect(plan, 221, 100);
            break;
        default:
            if (profileNumber < kCustomMpeg1) {
                SetDisplayAspect(plan, 4, 3);
            }
            break;
    }
    plan.audioEncoder = ac3 ? "ac3" : "mp2";
    plan.audioOptions = {{"b", Text(profile.audioBitrate)}};
    plan.sampleRate = profile.sampleRate;
    plan.channels = profile.channels;
}

void PlanM2ts(const OutputSettings& settings, MltOutputPlan& plan) {
    plan.format = "mpegts";
    // 192-byte packets with their arrival times, as AVCHD keeps them; the muxer would only
    // choose them itself for a file named .m2ts.
    plan.formatOptions = {{"mpegts_m2ts_mode", "1"}};
    plan.videoEncoder = "libx264";
    plan.videoOptions = {{"b", Text(int64_t{settings.AVCHDVideoBitrate} * 1000)}};
    plan.width = settings.AVCHDWidth;
    plan.height = settings.AVCHDHeight;
    plan.rate = FrameRateOf(settings.AVCHDVideoFrameRate);
    // Aspect code 1 (setting 0) keeps square pixels; code 2 shows the picture at 16:9.
    if (settings.AVCHDAspectRatio != 0) {
        SetDisplayAspect(plan, 16, 9);
    }
    plan.audioEncoder = "ac3";
    plan.audioOptions = {{"b", Text(int64_t{settings.AVCHDAudioBitrate} * 1000)}};
    plan.sampleRate = settings.AVCHDAudioSampleRate;
    plan.channels = settings.AVCHDAudioChannels;
}

void PlanFlv(const OutputSettings& settings, MltOutputPlan& plan) {
    plan.format = "flv";
    plan.videoEncoder = "flv";  // Sorenson H.263, FLV1
    plan.videoOptions = {{"b", Text(settings.FLVVideoBitrate)}};
    plan.width = settings.FLVWidth;
    plan.height = settings.FLVHeight;
    plan.rate = FrameRateOf(settings.FLVFrameRate);
    plan.audioEncoder = "libmp3lame";
    plan.audioOptions = {{"b", Text(settings.FLVAudioBitrate)}};
    plan.sampleRate = settings.FLVAudioSampleRate;
    plan.channels = settings.FLVAudioChannels;
}

struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FormatContextFreer {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr) {
            uint8_t* bytes = nullptr;
            avio_close_dyn_buf(context->pb, &bytes);
            av_free(bytes);
            context->pb = nullptr;
        }
        avformat_free_context(context);
    }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextFreer>;

std::string ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof(text));
    return text;
}

// The bit rates and buffer sizes must be given, and positive: zero would quietly switch the
// encoder to a mode of its own choice.
bool CheckRates(const Options& options, std::string& reason) {
    for (const auto& [name, value] : options) {
        if (name != "b" && name != "maxrate" && name != "minrate" && name != "bufsize") {
            continue;
        }
        int64_t number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size() || number <= 0 ||
            number > std::numeric_limits<int32_t>::max()) {
            reason = "the setting " + name + " = " + value + " is out of range";
            return false;
        }
    }
    return true;
}

bool ApplyOptions(AVCodecContext& context, const Options& options, std::string& reason) {
    for (const auto& [name, value] : options) {
        const int result =
            av_opt_set(&context, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
        if (result < 0) {
            reason = "the encoder " + std::string(context.codec->name) + " does not take " + name +
                     " = " + value + ": " + ErrorText(result);
            return false;
        }
    }
    return true;
}

// Opens the video encoder as MLT's avformat consumer opens it: the options first, then the
// picture it is given, in the named pixel format or the encoder's first.
CodecContextPtr OpenVideo(const MltOutputPlan& plan, const AVOutputFormat& muxer,
                          std::string& reason) {
    const AVCodec* codec = avcodec_find_encoder_by_name(plan.videoEncoder.c_str());
    if (codec == nullptr) {
        reason = "no video encoder " + plan.videoEncoder;
        return nullptr;
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context) {
        reason = "out of memory";
        return nullptr;
    }
    context->log_level_offset = AV_LOG_VERBOSE - AV_LOG_INFO;
    if (!ApplyOptions(*context, plan.videoOptions, reason)) {
        return nullptr;
    }
    context->width = plan.width;
    context->height = plan.height;
    context->time_base = {plan.rate.den, plan.rate.num};
    context->framerate = {plan.rate.num, plan.rate.den};
    context->sample_aspect_ratio = {plan.sampleAspectNum, plan.sampleAspectDen};
    AVPixelFormat pixels = !plan.pixelFormat.empty()    ? av_get_pix_fmt(plan.pixelFormat.c_str())
                           : codec->pix_fmts != nullptr ? codec->pix_fmts[0]
                                                        : AV_PIX_FMT_YUV422P;
    if (codec->pix_fmts != nullptr) {
        const AVPixelFormat* format = codec->pix_fmts;
        while (*format != AV_PIX_FMT_NONE && *format != pixels) {
            ++format;
        }
        if (*format == AV_PIX_FMT_NONE) {
            pixels = codec->pix_fmts[0];
        }
    }
    context->pix_fmt = pixels;
    if ((muxer.flags & AVFMT_GLOBALHEADER) != 0) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    const int result = avcodec_open2(context.get(), codec, nullptr);
    if (result < 0) {
        reason = "the video encoder " + plan.videoEncoder + " does not open at " +
                 Text(plan.width) + "x" + Text(plan.height) + ", " + Text(plan.rate.num) + "/" +
                 Text(plan.rate.den) + " fps: " + ErrorText(result);
        return nullptr;
    }
    return context;
}

// The sample format MLT's avformat consumer gives an encoder: the named one when the
// encoder takes it, else 16-bit, else the first the encoder takes that MLT can deliver.
AVSampleFormat SampleFormatFor(const AVCodec& codec, const std::string& named) {
    AVSampleFormat wanted = AV_SAMPLE_FMT_S16;
    if (!named.empty()) {
        wanted = av_get_sample_fmt(named.c_str());
    }
    if (codec.sample_fmts == nullptr) {
        return wanted;
    }
    for (const AVSampleFormat* format = codec.sample_fmts; *format != AV_SAMPLE_FMT_NONE;
         ++format) {
        if (*format == wanted) {
            return wanted;
        }
    }
    for (const AVSampleFormat* format = codec.sample_fmts; *format != AV_SAMPLE_FMT_NONE;
         ++format) {
        switch (*format) {
            case AV_SAMPLE_FMT_U8:
            case AV_SAMPLE_FMT_S16:
            case AV_SAMPLE_FMT_S32:
            case AV_SAMPLE_FMT_FLT:
            case AV_SAMPLE_FMT_U8P:
            case AV_SAMPLE_FMT_S16P:
            case AV_SAMPLE_FMT_S32P:
            case AV_SAMPLE_FMT_FLTP:
                return *format;
            default:
                break;
        }
    }
    return AV_SAMPLE_FMT_NONE;
}

CodecContextPtr OpenAudio(const MltOutputPlan& plan, const AVOutputFormat& muxer,
                          std::string& reason) {
    const AVCodec* codec = avcodec_find_encoder_by_name(plan.audioEncoder.c_str());
    if (codec == nullptr) {
        reason = "no audio encoder " + plan.audioEncoder;
        return nullptr;
    }
    // The consumer trades AC-3 for its fixed-point twin where there is one.
    if (codec->id == AV_CODEC_ID_AC3) {
        if (const AVCodec* fixed = avcodec_find_encoder_by_name("ac3_fixed")) {
            codec = fixed;
        }
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context) {
        reason = "out of memory";
        return nullptr;
    }
    context->log_level_offset = AV_LOG_VERBOSE - AV_LOG_INFO;
    context->sample_fmt = SampleFormatFor(*codec, plan.sampleFormat);
    av_channel_layout_default(&context->ch_layout, plan.channels);
    if ((muxer.flags & AVFMT_GLOBALHEADER) != 0) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (!ApplyOptions(*context, plan.audioOptions, reason)) {
        return nullptr;
    }
    context->sample_rate = plan.sampleRate;
    context->time_base = {1, plan.sampleRate};
    const int result = avcodec_open2(context.get(), codec, nullptr);
    if (result < 0) {
        reason = "the audio encoder " + plan.audioEncoder + " does not open at " +
                 Text(plan.sampleRate) + " Hz, " + Text(plan.channels) +
                 " channels: " + ErrorText(result);
        return nullptr;
    }
    return context;
}

// Writes the file header into memory: the muxer refuses here what it cannot carry (FLV
// takes MP3 only at 11, 22 and 44 kHz, for one).
bool CheckMuxer(const MltOutputPlan& plan, AVCodecContext* video, AVCodecContext* audio,
                std::string& reason) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, plan.format.c_str(), nullptr) < 0 ||
        raw == nullptr) {
        reason = "no muxer " + plan.format;
        return false;
    }
    FormatContextPtr context(raw);
    for (const auto& [name, value] : plan.formatOptions) {
        if (av_opt_set(context.get(), name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN) < 0) {
            reason = "the muxer " + plan.format + " does not take " + name + " = " + value;
            return false;
        }
    }
    for (AVCodecContext* codec : {video, audio}) {
        if (codec == nullptr) {
            continue;
        }
        AVStream* stream = avformat_new_stream(context.get(), nullptr);
        if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, codec) < 0) {
            reason = "out of memory";
            return false;
        }
        stream->time_base = codec->time_base;
        stream->sample_aspect_ratio = codec->sample_aspect_ratio;
    }
    if (avio_open_dyn_buf(&context->pb) < 0) {
        reason = "out of memory";
        return false;
    }
    const int result = avformat_write_header(context.get(), nullptr);
    if (result < 0) {
        reason = "the muxer " + plan.format + " does not take these streams: " + ErrorText(result);
        return false;
    }
    return true;
}

}  // namespace

MltOutputPlan::Options MltOutputPlan::ConsumerProperties() const {
    Options properties = {{"f", format}};
    properties.insert(properties.end(), formatOptions.begin(), formatOptions.end());
    properties.emplace_back("vcodec", videoEncoder.empty() ? "none" : videoEncoder);
    if (!videoEncoder.empty()) {
        if (!pixelFormat.empty()) {
            properties.emplace_back("pix_fmt", pixelFormat);
        }
        for (const auto& [name, value] : videoOptions) {
            properties.emplace_back("v" + name, value);
        }
    }
    properties.emplace_back("acodec", audioEncoder.empty() ? "none" : audioEncoder);
    if (!audioEncoder.empty()) {
        properties.emplace_back("frequency", Text(sampleRate));
        properties.emplace_back("channels", Text(channels));
        if (!sampleFormat.empty()) {
            properties.emplace_back("sample_fmt", sampleFormat);
        }
        for (const auto& [name, value] : audioOptions) {
            properties.emplace_back("a" + name, value);
        }
    }
    return properties;
}

std::optional<MltOutputPlan> PlanOutput(const ConversionRequest& request,
                                        const TimelineFormat& timeline, const MltCatalog& catalog) {
    const OutputSettings& settings = request.settings;
    MltOutputPlan plan;
    const int32_t type = settings.OutputType;
    if (type == kAvi) {
        PlanAvi(settings, timeline, catalog, plan);
    } else if (type == kWmv) {
        if (!PlanWmv(request.wmvProfileId, plan)) {
            return std::nullopt;
        }
    } else if (type == kMp4) {
        PlanMp4(settings, plan);
    } else if (type >= kFirstMpeg && type <= kLastMpeg) {
        PlanMpeg(settings, type - kFirstMpeg, plan);
    } else if (type == kM2ts) {
        PlanM2ts(settings, plan);
    } else if (type == kFlv) {
        PlanFlv(settings, plan);
    } else {
        return std::nullopt;
    }
    return plan;
}

bool CheckOutput(const MltOutputPlan& plan, std::string& reason) {
    const AVOutputFormat* muxer = av_guess_format(plan.format.c_str(), nullptr, nullptr);
    if (muxer == nullptr) {
        reason = "no muxer " + plan.format;
        return false;
    }
    const bool video = !plan.videoEncoder.empty();
    const bool audio = !plan.audioEncoder.empty();
    if (!video && !audio) {
        reason = "the output has no stream";
        return false;
    }
    if (video) {
        // Pictures are 4:2:0 or 4:2:2 for most encoders, so both sides must be even.
        if (plan.width < kMinSide || plan.width > kMaxSide || plan.height < kMinSide ||
            plan.height > kMaxSide || plan.width % 2 != 0 || plan.height % 2 != 0) {
            reason = "the picture size " + Text(plan.width) + "x" + Text(plan.height) +
                     " is not an even size from 16 to 4096";
            return false;
        }
        const double fps =
            plan.rate.den > 0 ? static_cast<double>(plan.rate.num) / plan.rate.den : 0.0;
        if (plan.rate.num <= 0 || plan.rate.den <= 0 || fps < kMinFps || fps > kMaxFps) {
            reason = "the frame rate " + Text(plan.rate.num) + "/" + Text(plan.rate.den) +
                     " is not from 1 to 240 frames per second";
            return false;
        }
        if (!CheckRates(plan.videoOptions, reason)) {
            return false;
        }
    }
    if (audio) {
        if (plan.sampleRate < kMinSampleRate || plan.sampleRate > kMaxSampleRate ||
            plan.channels < 1 || plan.channels > kMaxChannels) {
            reason = "the sound at " + Text(plan.sampleRate) + " Hz in " + Text(plan.channels) +
                     " channels is out of range";
            return false;
        }
        if (!CheckRates(plan.audioOptions, reason)) {
            return false;
        }
    }
    CodecContextPtr videoContext;
    if (video && !(videoContext = OpenVideo(plan, *muxer, reason))) {
        return false;
    }
    CodecContextPtr audioContext;
    if (audio && !(audioContext = OpenAudio(plan, *muxer, reason))) {
        return false;
    }
    return CheckMuxer(plan, videoContext.get(), audioContext.get(), reason);
}

FrameRate FrameRateOf(double fps) {
    if (!std::isfinite(fps) || fps <= 0.0 || fps > kMaxFps * 2) {
        return {0, 1};
    }
    // The rates of NTSC video, which a float holds only roughly.
    for (const int base : {24, 30, 60}) {
        if (std::abs(fps - base * 1000.0 / 1001.0) < 0.005) {
            return {base * 1000, 1001};
        }
    }
    const AVRational rate = av_d2q(fps, 1000);
    return {rate.num, rate.den};
}

TimelineFormat FormatOf(const EditTimeline& timeline, const Mlt::Profile& profile) {
    TimelineFormat format;
    format.width = profile.width();
    format.height = profile.height();
    format.rate = {profile.frame_rate_num(), profile.frame_rate_den()};
    for (int32_t index = 0; index < timeline.GetGroupCount(); ++index) {
        const auto group = timeline.GetGroup(index);
        if (const auto* audio = std::get_if<AudioMediaType>(&group->GetMediaType())) {
            if (audio->sampleRate > 0) {
                format.sampleRate = audio->sampleRate;
            }
            if (audio->channels > 0) {
                format.channels = audio->channels;
            }
        }
    }
    return format;
}

}  // namespace vortrel
