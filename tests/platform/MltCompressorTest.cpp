#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/MltCatalog.h"

namespace vortrel {
namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

struct ContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using Context = std::unique_ptr<AVCodecContext, ContextFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// An encoder set up as the conversion would, not yet open.
Context Video(const std::string& encoder, const std::string& format, int width, int height,
              AVRational rate) {
    Context context(avcodec_alloc_context3(avcodec_find_encoder_by_name(encoder.c_str())));
    context->pix_fmt = av_get_pix_fmt(format.c_str());
    context->width = width;
    context->height = height;
    context->framerate = rate;
    context->time_base = av_inv_q(rate);
    return context;
}

Context Audio(const std::string& encoder, const std::string& format, int rate, int channels) {
    Context context(avcodec_alloc_context3(avcodec_find_encoder_by_name(encoder.c_str())));
    context->sample_fmt = av_get_sample_fmt(format.c_str());
    context->sample_rate = rate;
    context->time_base = {1, rate};
    av_channel_layout_default(&context->ch_layout, channels);
    return context;
}

// Opens an encoder; a misspelt option, which FFmpeg would leave unused, counts as a failure.
::testing::AssertionResult Opens(AVCodecContext& context, const Options& options = {}) {
    // Keeps the encoders' reports of their set-up out of the test output.
    context.log_level_offset = AV_LOG_VERBOSE - AV_LOG_INFO;
    AVDictionary* settings = nullptr;
    for (const auto& [name, value] : options) {
        av_dict_set(&settings, name.c_str(), value.c_str(), 0);
    }
    const int result = avcodec_open2(&context, nullptr, &settings);
    const int unused = av_dict_count(settings);
    av_dict_free(&settings);
    if (result < 0 || unused != 0) {
        return ::testing::AssertionFailure()
               << avcodec_get_name(context.codec_id) << " does not open: " << result << ", "
               << unused << " options unused";
    }
    return ::testing::AssertionSuccess();
}

// Encodes five black pictures, or a quarter of a second of silence, with an open encoder and
// gives the number of bytes it gives out, the delayed ones included.
int64_t Encode(AVCodecContext& encoder) {
    const bool video = encoder.codec_type == AVMEDIA_TYPE_VIDEO;
    const int step = video ? 1 : encoder.frame_size > 0 ? encoder.frame_size : 1024;
    const int end = video ? 5 : encoder.sample_rate / 4;
    AVPacket* packet = av_packet_alloc();
    int64_t bytes = 0;
    for (int at = 0;; at += step) {
        const bool more = at < end;
        Frame frame(more ? av_frame_alloc() : nullptr);  // null asks for the rest
        if (frame && video) {
            frame->format = encoder.pix_fmt;
            frame->width = encoder.width;
            frame->height = encoder.height;
            av_frame_get_buffer(frame.get(), 0);
            const ptrdiff_t linesizes[4] = {frame->linesize[0], frame->linesize[1],
                                            frame->linesize[2], frame->linesize[3]};
            av_image_fill_black(frame->data, linesizes, encoder.pix_fmt, AVCOL_RANGE_MPEG,
                                encoder.width, encoder.height);
        } else if (frame) {
            frame->format = encoder.sample_fmt;
            frame->nb_samples = step;
            av_channel_layout_copy(&frame->ch_layout, &encoder.ch_layout);
            av_frame_get_buffer(frame.get(), 0);
            av_samples_set_silence(frame->extended_data, 0, step, encoder.ch_layout.nb_channels,
                                   encoder.sample_fmt);
        }
        if (frame) {
            frame->pts = at;
        }
        EXPECT_GE(avcodec_send_frame(&encoder, frame.get()), 0);
        while (avcodec_receive_packet(&encoder, packet) >= 0) {
            bytes += packet->size;
            av_packet_unref(packet);
        }
        if (!more) {
            break;
        }
    }
    av_packet_free(&packet);
    return bytes;
}

TEST(MltCompressors, EveryCompressorEncodesInTheFormatItAsksFor) {
    MltCatalog catalog;
    for (const AvCompressorEntry& entry : catalog.Compressors()) {
        SCOPED_TRACE(Narrow(entry.friendlyName));
        Context encoder = entry.category == DeviceCategory::VideoCompressors
                              ? Video(entry.encoder, entry.format, 640, 360, {30000, 1001})
                              : Audio(entry.encoder, entry.format, 48000, 2);
        ASSERT_TRUE(Opens(*encoder, entry.options));
        EXPECT_GT(Encode(*encoder), 0);
    }
}

TEST(MltCompressors, TheDefaultAudioCompressorTakesEveryUsualRateAndLayout) {
    MltCatalog catalog;
    const AvCompressorEntry* first = catalog.Compressor(DeviceCategory::AudioCompressors, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->encoder,
              avcodec_find_encoder_by_name("libmp3lame") != nullptr ? "libmp3lame" : "mp2");
    // MPEG audio layer II leads where LAME is missing, so it must pass the same test.
    const AvCompressorEntry* fallback =
        catalog.FindCompressor(Guid::FromName("vortrel/audio-compressor/mp2"));
    ASSERT_NE(fallback, nullptr);
    for (const AvCompressorEntry* entry : {first, fallback}) {
        for (int rate : {22050, 32000, 44100, 48000}) {
            for (int channels : {1, 2}) {
                EXPECT_TRUE(
                    Opens(*Audio(entry->encoder, entry->format, rate, channels), entry->options))
                    << rate << " Hz, " << channels << " channels";
            }
        }
    }
}

TEST(MltOutputProfiles, GrowFromSmallToLargeUnderUniqueStableIds) {
    const std::vector<OutputProfile> profiles = MltCatalog().ListOutputProfiles();
    if (avcodec_find_encoder_by_name(AvEncoders::kProfileVideoEncoder) == nullptr ||
        avcodec_find_encoder_by_name(AvEncoders::kProfileAudioEncoder) == nullptr) {
        EXPECT_TRUE(profiles.empty());
        return;
    }
    ASSERT_GE(profiles.size(), 3u);
    EXPECT_EQ(profiles.front().id,
              Guid::FromName("vortrel/output-profile/wmv-320x240-15").ToString());
    std::set<std::wstring> names, ids;
    int withVideo = 0;
    for (size_t i = 0; i < profiles.size(); ++i) {
        const OutputProfile& profile = profiles[i];
        SCOPED_TRACE(Narrow(profile.name));
        EXPECT_TRUE(names.insert(profile.name).second);
        EXPECT_TRUE(ids.insert(profile.id).second);
        EXPECT_TRUE(Guid::Parse(profile.id).has_value());
        EXPECT_EQ(profile.audioStreams, 1);
        if (profile.videoStreams == 0) {
            EXPECT_EQ(i + 1, profiles.size()) << "audio only comes last";
            continue;
        }
        EXPECT_EQ(profile.videoStreams, 1);
        ++withVideo;
        if (i > 0) {
            const OutputProfile& previous = profiles[i - 1];
            EXPECT_GE(profile.width * profile.height, previous.width * previous.height);
            EXPECT_GT(profile.videoBitrate, previous.videoBitrate);
            EXPECT_GE(profile.audioBitrate, previous.audioBitrate);
        }
    }
    EXPECT_GE(withVideo, 2);
}

TEST(MltOutputProfiles, EveryProfileEncodesAtItsSettings) {
    for (const OutputProfile& profile : MltCatalog().ListOutputProfiles()) {
        SCOPED_TRACE(Narrow(profile.name));
        if (profile.videoStreams > 0) {
            Context video = Video(AvEncoders::kProfileVideoEncoder, "yuv420p", profile.width,
                                  profile.height, av_d2q(profile.frameRate, 1001000));
            video->bit_rate = profile.videoBitrate;
            ASSERT_TRUE(Opens(*video));
            EXPECT_GT(Encode(*video), 0);
        }
        Context audio = Audio(AvEncoders::kProfileAudioEncoder, "fltp", profile.audioSampleRate,
                              profile.audioChannels);
        audio->bit_rate = profile.audioBitrate;
        ASSERT_TRUE(Opens(*audio));
        EXPECT_GT(Encode(*audio), 0);
    }
}

}  // namespace
}  // namespace vortrel
