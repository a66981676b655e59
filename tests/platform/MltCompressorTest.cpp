#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/MltCatalog.h"

namespace vortrel {
namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

template <auto free>
struct Freer {
    template <class T>
    void operator()(T* p) const {
        free(&p);
    }
};
using Context = std::unique_ptr<AVCodecContext, Freer<avcodec_free_context>>;
using Frame = std::unique_ptr<AVFrame, Freer<av_frame_free>>;

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
    return result >= 0 && unused == 0 ? ::testing::AssertionSuccess()
                                      : ::testing::AssertionFailure()
                                            << avcodec_get_name(context.codec_id)
                                            << " does not open: " << result << ", " << unused
                                            << " options unused";
}

// Encodes five black pictures, or a quarter of a second of silence, with an open encoder and
// gives the number of bytes it gives out, the delayed ones included.
int64_t Encode(AVCodecContext& encoder) {
    const bool video = encoder.codec_type == AVMEDIA_TYPE_VIDEO;
    const int step = video ? 1 : encoder.frame_size > 0 ? encoder.frame_size : 1024;
    const int end = video ? 5 : encoder.sample_rate / 4;
    AVPacket* packet = av_packet_alloc();
    int64_t bytes = 0;
    for (int at = 0; at < end + step; at += step) {
        Frame frame(at < end ? av_frame_alloc() : nullptr);  // null asks for the rest
        if (frame) {
            frame->pts = at;
            frame->format = video ? int{encoder.pix_fmt} : int{encoder.sample_fmt};
            frame->width = encoder.width;
            frame->height = encoder.height;
            frame->nb_samples = video ? 0 : step;
            av_channel_layout_copy(&frame->ch_layout, &encoder.ch_layout);
            av_frame_get_buffer(frame.get(), 0);
        }
        if (frame && video) {
            const ptrdiff_t linesizes[4] = {frame->linesize[0], frame->linesize[1],
                                            frame->linesize[2], frame->linesize[3]};
            av_image_fill_black(frame->data, linesizes, encoder.pix_fmt, AVCOL_RANGE_MPEG,
                                encoder.width, encoder.height);
        } else if (frame) {
            av_samples_set_silence(frame->extended_data, 0, step, encoder.ch_layout.nb_channels,
                                   encoder.sample_fmt);
        }
        EXPECT_GE(avcodec_send_frame(&encoder, frame.get()), 0);
        while (avcodec_receive_packet(&encoder, packet) >= 0) {
            bytes += packet->size;
            av_packet_unref(packet);
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

// The first audio compressor is the default, and MPEG audio layer II leads where LAME is missing;
// which one leads is shown by the encoders call script.
TEST(MltCompressors, TheDefaultAudioCompressorsTakeEveryUsualRateAndLayout) {
    MltCatalog catalog;
    for (const AvCompressorEntry* entry :
         {catalog.Compressor(DeviceCategory::AudioCompressors, 0),
          catalog.FindCompressor(Guid::FromName("vortrel/audio-compressor/mp2"))}) {
        ASSERT_NE(entry, nullptr);
        for (int rate : {22050, 32000, 44100, 48000}) {
            for (int channels : {1, 2}) {
                EXPECT_TRUE(
                    Opens(*Audio(entry->encoder, entry->format, rate, channels), entry->options))
                    << entry->encoder << ", " << rate << " Hz, " << channels << " channels";
            }
        }
    }
}

// Their names are listed by the encoders call script.
TEST(MltOutputProfiles, GrowFromSmallToLargeUnderUniqueIdsAndEncodeAtTheirSettings) {
    const std::vector<OutputProfile> profiles = MltCatalog().ListOutputProfiles();
    if (avcodec_find_encoder_by_name(AvEncoders::kProfileVideoEncoder) == nullptr ||
        avcodec_find_encoder_by_name(AvEncoders::kProfileAudioEncoder) == nullptr) {
        EXPECT_TRUE(profiles.empty());
        return;
    }
    ASSERT_GE(profiles.size(), 3u);
    EXPECT_EQ(profiles.front().id,
              Guid::FromName("vortrel/output-profile/wmv-320x240-15").ToString());
    std::set<std::wstring> ids;
    for (size_t i = 0; i < profiles.size(); ++i) {
        const OutputProfile& profile = profiles[i];
        SCOPED_TRACE(Narrow(profile.name));
        EXPECT_TRUE(ids.insert(profile.id).second && Guid::Parse(profile.id).has_value());
        EXPECT_EQ(profile.audioStreams, 1);
        EXPECT_EQ(profile.videoStreams, i + 1 < profiles.size()) << "audio only comes last";
        if (profile.videoStreams > 0) {
            if (i > 0) {
                const OutputProfile& previous = profiles[i - 1];
                EXPECT_GE(profile.width * profile.height, previous.width * previous.height);
                EXPECT_GT(profile.videoBitrate, previous.videoBitrate);
                EXPECT_GE(profile.audioBitrate, previous.audioBitrate);
            }
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
