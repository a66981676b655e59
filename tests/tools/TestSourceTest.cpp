#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestSource.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

namespace fs = std::filesystem;

// What decoding a whole file yields.
struct Decoded {
    int videoStreams = 0;
    int audioStreams = 0;
    int64_t frames = 0;
    int64_t samples = 0;
    int64_t audioDuration = 0;  // the audio stream's length in samples as the container says
    int width = 0;
    int height = 0;
    int sampleRate = 0;
    int channels = 0;
    std::vector<size_t> pictureHashes;  // of the luma plane of each decoded picture
};

// Decodes every stream of a file to the end with FFmpeg's libraries, independently of the
// writer: counts frames and samples and fingerprints each picture.
Decoded DecodeAll(const fs::path& path) {
    Decoded result;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        ADD_FAILURE() << "cannot open " << path;
        return result;
    }
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> formatGuard(
        format, [](AVFormatContext* f) { avformat_close_input(&f); });
    avformat_find_stream_info(format, nullptr);

    std::vector<AVCodecContext*> decoders(format->nb_streams, nullptr);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* parameters = format->streams[i]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
        if (codec == nullptr) {
            continue;
        }
        decoders[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoders[i], parameters);
        decoders[i]->pkt_timebase = format->streams[i]->time_base;
        avcodec_open2(decoders[i], codec, nullptr);
        if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++result.videoStreams;
        } else if (parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++result.audioStreams;
            result.audioDuration = av_rescale_q(format->streams[i]->duration,
                                                format->streams[i]->time_base, {1, 44100});
        }
    }

    AVFrame* frame = av_frame_alloc();
    auto drain = [&](AVCodecContext* decoder) {
        while (avcodec_receive_frame(decoder, frame) == 0) {
            if (decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
                ++result.frames;
                result.width = frame->width;
                result.height = frame->height;
                std::string luma;
                for (int y = 0; y < frame->height; ++y) {
                    luma.append(
                        reinterpret_cast<const char*>(frame->data[0] + y * frame->linesize[0]),
                        static_cast<size_t>(frame->width));
                }
                result.pictureHashes.push_back(std::hash<std::string>()(luma));
            } else {
                result.samples += frame->nb_samples;
                result.sampleRate = frame->sample_rate;
                result.channels = frame->ch_layout.nb_channels;
            }
            av_frame_unref(frame);
        }
    };
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        AVCodecContext* decoder = decoders[static_cast<size_t>(packet->stream_index)];
        if (decoder != nullptr && avcodec_send_packet(decoder, packet) >= 0) {
            drain(decoder);
        }
        av_packet_unref(packet);
    }
    for (AVCodecContext* decoder : decoders) {
        if (decoder != nullptr) {
            avcodec_send_packet(decoder, nullptr);
            drain(decoder);
            avcodec_free_context(&decoder);
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    return result;
}

class TestSourceTest : public ::testing::Test {
  protected:
    void SetUp() override { av_log_set_level(AV_LOG_ERROR); }

    fs::path Write(const std::string& name, const TestSourceSpec& spec) {
        const fs::path path = folder_.Path() / name;
        WriteTestSource(path, spec);
        return path;
    }

    testing::MediaFolder folder_;  // removed with what it holds
};

TestSourceSpec Spec(TestSourceKind kind, double seconds, int width = 64, int height = 48,
                    double fps = 25.0) {
    TestSourceSpec spec;
    spec.kind = kind;
    spec.seconds = seconds;
    spec.width = width;
    spec.height = height;
    spec.fps = fps;
    return spec;
}

// Each container holds exactly round(S × F) frames and round(S × 44100) samples, as the
// control's media-length rules depend on exact lengths. Poster frames, seeking and previews
// tell frames apart by their pictures: no two frames of a video may look alike.
TEST_F(TestSourceTest, EveryContainerHoldsExactlyTheAskedFramesAndSamples) {
    struct Case {
        const char* name;
        TestSourceSpec spec;
        int videoStreams;
        int audioStreams;
    };
    const Case cases[] = {
        {"av.mkv", Spec(TestSourceKind::AudioVideo, 1.3), 1, 1},
        {"av.avi", Spec(TestSourceKind::AudioVideo, 0.9), 1, 1},
        {"av.mp4", Spec(TestSourceKind::AudioVideo, 1.1), 1, 1},
        {"video.mp4", Spec(TestSourceKind::Video, 0.5), 1, 0},
        {"ntsc.mkv", Spec(TestSourceKind::Video, 2.0, 64, 48, 29.97), 1, 0},
        {"moving.mkv", Spec(TestSourceKind::Video, 12.0), 1, 0},
        {"still.png", Spec(TestSourceKind::Image, 0, 33, 17), 1, 0},
        {"audio.mkv", Spec(TestSourceKind::Audio, 0.77), 0, 1},
        {"audio.wav", Spec(TestSourceKind::Audio, 1.2345), 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = DecodeAll(Write(c.name, c.spec));
        EXPECT_EQ(decoded.videoStreams, c.videoStreams);
        EXPECT_EQ(decoded.audioStreams, c.audioStreams);
        if (c.videoStreams > 0) {
            const bool image = c.spec.kind == TestSourceKind::Image;
            EXPECT_EQ(decoded.frames, image ? 1 : std::llround(c.spec.seconds * c.spec.fps));
            EXPECT_EQ(decoded.width, c.spec.width);
            EXPECT_EQ(decoded.height, c.spec.height);
            const std::set<size_t> distinct(decoded.pictureHashes.begin(),
                                            decoded.pictureHashes.end());
            EXPECT_EQ(distinct.size(), decoded.pictureHashes.size());
        }
        if (c.audioStreams > 0) {
            // An MP4 file trims the encoder's padding through its edit list, which the
            // demuxer of this FFmpeg applies at the start only: its length is the list's.
            const bool editList = fs::path(c.name).extension() == ".mp4";
            EXPECT_EQ(editList ? decoded.audioDuration : decoded.samples,
                      std::llround(c.spec.seconds * 44100.0));
            EXPECT_EQ(decoded.sampleRate, 44100);
            EXPECT_EQ(decoded.channels, 2);
        }
    }
}

TEST_F(TestSourceTest, RequestsTheFormatCannotMeetAreRefusedAndWriteNothing) {
    struct Case {
        const char* name;
        TestSourceSpec spec;
    };
    const Case cases[] = {
        {"tone.wav", Spec(TestSourceKind::AudioVideo, 1)},
        {"tone.wav", Spec(TestSourceKind::Video, 1)},
        {"still.png", Spec(TestSourceKind::AudioVideo, 1)},
        {"clip.mp4", Spec(TestSourceKind::Image, 1)},
        {"clip.mov", Spec(TestSourceKind::AudioVideo, 1)},
        {"noextension", Spec(TestSourceKind::AudioVideo, 1)},
        {"odd.mkv", Spec(TestSourceKind::Video, 1, 33, 17)},
        {"zero.mkv", Spec(TestSourceKind::Video, 0)},
        {"negative.wav", Spec(TestSourceKind::Audio, -1)},
        {"nan.wav", Spec(TestSourceKind::Audio, std::nan(""))},
        {"tooshort.mkv", Spec(TestSourceKind::Video, 0.01)},  // under half a frame
        {"slow.mkv", Spec(TestSourceKind::Video, 1, 64, 48, 0.5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(Write(c.name, c.spec), TestSourceRequestError);
        EXPECT_FALSE(fs::exists(folder_.Path() / c.name));
    }
    // A folder that does not exist is a write error.
    EXPECT_THROW(Write("missing/clip.mkv", Spec(TestSourceKind::Video, 1)), TestSourceWriteError);
    EXPECT_THROW(Write("missing/still.png", Spec(TestSourceKind::Image, 1)), TestSourceWriteError);
}

TEST(TestSourceArguments, KindsAndSizesParseOrAreRefused) {
    EXPECT_EQ(ParseTestSourceKind("video"), TestSourceKind::Video);
    EXPECT_EQ(ParseTestSourceKind("audio"), TestSourceKind::Audio);
    EXPECT_EQ(ParseTestSourceKind("av"), TestSourceKind::AudioVideo);
    EXPECT_EQ(ParseTestSourceKind("image"), TestSourceKind::Image);
    EXPECT_THROW(ParseTestSourceKind("AV"), TestSourceRequestError);

    int width = 0;
    int height = 0;
    ParseFrameSize("640x360", width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);
    for (const char* bad : {"640", "640x", "x360", "640X360", "-2x2", "+2x2", "2x2x2", "axb"}) {
        EXPECT_THROW(ParseFrameSize(bad, width, height), TestSourceRequestError) << bad;
    }
}

}  // namespace
}  // namespace vortrel
