#include "platform/linux/AvEncoders.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <memory>

namespace vortrel {

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

// A compressor the catalogue offers when libavcodec has its encoder and the encoder opens.
struct Candidate {
    DeviceCategory category;
    // The class id derives from the key: a key must never change once it has shipped, or
    // saved projects lose their compressor. The friendly name may change.
    const char* key;
    const wchar_t* name;
    const char* encoder;
    Options options;
    // The output's default is the first audio compressor; the first available one of these
    // takes that place, as they open at every usual rate and layout and keep files small.
    bool canLead = false;
};

// The encoders an AVI file carries that take a picture of any size or the usual audio rates.
// DV is left out: it takes only the few picture sizes of its tape formats.
const std::vector<Candidate>& Candidates() {
    constexpr auto kVideo = DeviceCategory::VideoCompressors;
    constexpr auto kAudio = DeviceCategory::AudioCompressors;
    // The MPEG-family encoders aim at a fixed bit rate of 200 kbit/s unless told otherwise,
    // whatever the picture size; capping the quantiser keeps the picture clean instead.
    const Options quantiser = {{"qmin", "2"}, {"qmax", "5"}};
    static const std::vector<Candidate> candidates = {
        {kVideo, "video-compressor/mjpeg", L"Motion JPEG", "mjpeg", {{"qmin", "2"}, {"qmax", "4"}}},
        {kVideo, "video-compressor/mpeg4", L"MPEG-4 Visual", "mpeg4", quantiser},
        // AVI keeps no presentation times, so the frames must come in the order they show.
        {kVideo,
         "video-compressor/h264",
         L"H.264",
         "libx264",
         {{"preset", "medium"}, {"crf", "23"}, {"bf", "0"}}},
        {kVideo, "video-compressor/mpeg2", L"MPEG-2", "mpeg2video", quantiser},
        {kVideo, "video-compressor/huffyuv", L"Huffyuv (lossless)", "huffyuv", {}},
        {kVideo, "video-compressor/ffv1", L"FFV1 (lossless)", "ffv1", {}},
        {kVideo, "video-compressor/utvideo", L"Ut Video (lossless)", "utvideo", {}},

        // 160 kbit/s is a valid MPEG audio rate at every sample rate these layers take.
        {kAudio, "audio-compressor/mp3", L"MP3", "libmp3lame", {{"b", "160000"}}, true},
        {kAudio, "audio-compressor/ac3", L"AC-3", "ac3", {{"b", "192000"}}},
        {kAudio, "audio-compressor/mp2", L"MPEG Audio Layer II", "mp2", {{"b", "160000"}}, true},
        {kAudio, "audio-compressor/pcm-s16le", L"PCM 16-bit", "pcm_s16le", {}},
        {kAudio, "audio-compressor/pcm-u8", L"PCM 8-bit", "pcm_u8", {}},
        {kAudio, "audio-compressor/ima-adpcm", L"IMA ADPCM", "adpcm_ima_wav", {}},
    };
    return candidates;
}

struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};

// Opens the encoder once as the conversion would, on a 320x240 picture at 25 fps or on
// 44.1 kHz stereo, in the first format it takes. Gives that format's name, or empty when the
// encoder does not open or ignores one of the options (a misspelt option would otherwise go
// unnoticed).
std::string TryOpen(const AVCodec* codec, const Options& options) {
    std::unique_ptr<AVCodecContext, CodecContextFreer> context(avcodec_alloc_context3(codec));
    if (!context) {
        return {};
    }
    std::string format;
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        const AVPixelFormat pixels = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
        context->pix_fmt = pixels;
        context->width = 320;
        context->height = 240;
        context->time_base = {1, 25};
        context->framerate = {25, 1};
        format = av_get_pix_fmt_name(pixels);
    } else {
        const AVSampleFormat samples =
            codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        context->sample_fmt = samples;
        context->sample_rate = 44100;
        context->time_base = {1, 44100};
        av_channel_layout_default(&context->ch_layout, 2);
        format = av_get_sample_fmt_name(samples);
    }
    AVDictionary* settings = nullptr;
    for (const auto& [name, value] : options) {
        av_dict_set(&settings, name.c_str(), value.c_str(), 0);
    }
    // Encoders report their set-up at the information level, which has no place in a probe;
    // one level down it shows only when asked for, while warnings and errors still show.
    context->log_level_offset = AV_LOG_VERBOSE - AV_LOG_INFO;
    const bool opened = avcodec_open2(context.get(), codec, &settings) >= 0;
    const bool allTaken = av_dict_count(settings) == 0;
    av_dict_free(&settings);
    return opened && allTaken ? format : std::string();
}

std::vector<AvCompressorEntry> Probe() {
    std::vector<AvCompressorEntry> entries;
    std::vector<bool> canLead;
    const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
    if (avi == nullptr) {
        return entries;
    }
    for (const Candidate& candidate : Candidates()) {
        const AVCodec* codec = avcodec_find_encoder_by_name(candidate.encoder);
        if (codec == nullptr || avformat_query_codec(avi, codec->id, FF_COMPLIANCE_NORMAL) != 1) {
            continue;
        }
        std::string format = TryOpen(codec, candidate.options);
        if (format.empty()) {
            continue;
        }
        entries.push_back({candidate.category, candidate.name,
                           Guid::FromName(std::string("vortrel/") + candidate.key),
                           candidate.encoder, std::move(format), candidate.options});
        canLead.push_back(candidate.canLead);
    }
    // The first audio compressor that can lead goes in front of the other audio ones.
    const auto audio = std::find_if(entries.begin(), entries.end(), [](const auto& entry) {
        return entry.category == DeviceCategory::AudioCompressors;
    });
    for (auto it = audio; it != entries.end(); ++it) {
        if (canLead[it - entries.begin()]) {
            std::rotate(audio, it, it + 1);
            break;
        }
    }
    return entries;
}

// One of our output profiles: what it is for and its settings.
struct ProfileSettings {
    const char* key;  // never changes once shipped, as the profile's id derives from it
    const wchar_t* use;
    int32_t width;  // 0 for audio only
    int32_t height;
    double frameRate;
    int32_t videoBitrate;
    int32_t audioBitrate;
    int32_t audioSampleRate;
    int32_t audioChannels;
};

// From small to large. The one audio-only profile comes last, so that a caller wanting
// video skips it without losing its place in the others.
constexpr ProfileSettings kProfiles[] = {
    {"output-profile/wmv-320x240-15", L"For slow connections", 320, 240, 15, 256'000, 32'000,
     22'050, 2},
    {"output-profile/wmv-320x240-30", L"For web pages", 320, 240, 30, 512'000, 64'000, 44'100, 2},
    {"output-profile/wmv-640x360-30", L"Wide picture for web pages", 640, 360, 30, 1'000'000,
     96'000, 44'100, 2},
    {"output-profile/wmv-640x480-30", L"For playback from disc", 640, 480, 30, 1'500'000, 128'000,
     44'100, 2},
    {"output-profile/wmv-1280x720-30", L"High definition", 1280, 720, 30, 3'000'000, 192'000,
     48'000, 2},
    {"output-profile/wma-64", L"Sound only", 0, 0, 0, 0, 64'000, 44'100, 2},
};

// A number without trailing zeros: 15, 22.05, 1.5.
std::wstring Number(double value) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%g", value);
    return text;
}

std::wstring Rate(int32_t bitsPerSecond) {
    return bitsPerSecond >= 1'000'000 ? Number(bitsPerSecond / 1e6) + L" Mbit/s"
                                      : Number(bitsPerSecond / 1e3) + L" kbit/s";
}

OutputProfile MakeProfile(const ProfileSettings& settings) {
    OutputProfile profile;
    const bool video = settings.width > 0;
    const std::wstring audio = Rate(settings.audioBitrate) + L" " +
                               (settings.audioChannels == 1 ? L"mono" : L"stereo") + L" audio at " +
                               Number(settings.audioSampleRate / 1e3) + L" kHz";
    if (video) {
        const std::wstring size =
            std::to_wstring(settings.width) + L"x" + std::to_wstring(settings.height);
        profile.name = L"WMV " + size + L" " + Number(settings.frameRate) + L" fps, " +
                       Rate(settings.videoBitrate) + L" video, " + Rate(settings.audioBitrate) +
                       L" audio";
        profile.description = std::wstring(settings.use) + L": " + size + L" pixels at " +
                              Number(settings.frameRate) + L" frames per second, " +
                              Rate(settings.videoBitrate) + L" video and " + audio + L".";
    } else {
        profile.name = L"WMA audio only, " + Rate(settings.audioBitrate);
        profile.description = std::wstring(settings.use) + L": " + audio + L", no video.";
    }
    profile.id = Guid::FromName(std::string("vortrel/") + settings.key).ToString();
    profile.videoStreams = video ? 1 : 0;
    profile.audioStreams = 1;
    profile.width = settings.width;
    profile.height = settings.height;
    profile.frameRate = settings.frameRate;
    profile.videoBitrate = settings.videoBitrate;
    profile.audioBitrate = settings.audioBitrate;
    profile.audioSampleRate = settings.audioSampleRate;
    profile.audioChannels = settings.audioChannels;
    return profile;
}

}  // namespace

const std::vector<AvCompressorEntry>& AvEncoders::Compressors() {
    // Encoders come with the libraries loaded at start-up, so one probe serves the process.
    static const std::vector<AvCompressorEntry> entries = Probe();
    return entries;
}

std::vector<OutputProfile> AvEncoders::OutputProfiles() {
    std::vector<OutputProfile> profiles;
    if (avcodec_find_encoder_by_name(kProfileVideoEncoder) == nullptr ||
        avcodec_find_encoder_by_name(kProfileAudioEncoder) == nullptr) {
        return profiles;
    }
    for (const ProfileSettings& settings : kProfiles) {
        profiles.push_back(MakeProfile(settings));
    }
    return profiles;
}

}  // namespace vortrel
