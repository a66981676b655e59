#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/rational.h>
}

#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/Guid.h"
#include "editing/DesGroup.h"
#include "editing/EditTimeline.h"
#include "mediafile/MediaFile.h"
#include "platform/av/AvAudioDecoder.h"
#include "platform/linux/AvEncoders.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltConverter.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

using testing::MediaFolder;
using testing::ToWide;

constexpr int64_t kTimePerSecond = 10'000'000;

// A timeline of a generated clip with sound (one second unless told otherwise), on both
// groups or on the audio group only, at 160x120 and 25 fps.
struct Timeline {
    std::shared_ptr<EditTimeline> timeline = EditTimeline::Create(nullptr);

    explicit Timeline(const std::filesystem::path& media, double seconds = 1.0,
                      bool pictures = true) {
        auto video = timeline->CreateEmptyNode(EditNodeType::Group);
        video->SetMediaType(MakeVideoMediaType(160, 120));
        video->SetOutputFPS(25.0);
        timeline->AddGroup(video);
        auto audio = timeline->CreateEmptyNode(EditNodeType::Group);
        audio->SetMediaType(MakeAudioMediaType(44100));
        timeline->AddGroup(audio);
        const auto length = static_cast<int64_t>(std::llround(seconds * kTimePerSecond));
        for (const auto& group : {video, audio}) {
            auto track = timeline->CreateEmptyNode(EditNodeType::Track);
            group->InsertTrack(track, -1);
            if (group == video && !pictures) {
                continue;
            }
            auto source = timeline->CreateEmptyNode(EditNodeType::Source);
            source->SetMediaName(ToWide(media));
            source->SetStartStop(0, length);
            source->SetMediaTimes(0, length);
            track->AddSource(source);
        }
    }
};

// The video stream's codec, as the media file reports it.
std::wstring VideoCodecOf(const MediaFile& file) {
    wchar_t name[64] = {};
    file.getContainerVideoStreamName(0, name, 64);
    return name;
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path().filename());
    }
    return files;
}

// The pictures of a file's video stream: how many it holds, how many frame times they span
// from the first to the last shown, and how many the header declares (0: none declared).
struct VideoFrames {
    int64_t held = 0;
    int64_t spanned = 0;
    int64_t declared = 0;
};

VideoFrames CountFrames(const std::filesystem::path& path, double fps) {
    VideoFrames frames;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        ADD_FAILURE() << "cannot open " << path;
        return frames;
    }
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVPacket* packet = av_packet_alloc();
    int64_t first = std::numeric_limits<int64_t>::max();
    int64_t last = std::numeric_limits<int64_t>::min();
    while (index >= 0 && av_read_frame(format, packet) >= 0) {
        // An AVI file marks a frame it has no picture for with an empty chunk.
        if (packet->stream_index == index && packet->size > 0) {
            ++frames.held;
            const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (time != AV_NOPTS_VALUE) {
                first = std::min(first, time);
                last = std::max(last, time);
            }
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (index >= 0 && first <= last) {
        const AVStream& stream = *format->streams[index];
        frames.declared = stream.nb_frames;
        frames.spanned = std::llround((last - first) * av_q2d(stream.time_base) * fps) + 1;
    }
    avformat_close_input(&format);
    return frames;
}

// One conversion as the control's tick sees it: the progress read at each poll until the
// converter reports completion.
struct Conversion {
    bool completed = false;
    std::vector<int64_t> progress;
    int64_t duration = 0;
};

Conversion WaitForCompletion(MltConverter& converter,
                             std::chrono::seconds limit = std::chrono::seconds(30)) {
    Conversion run;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int64_t current = 0;
        if (converter.GetProgress(current, run.duration)) {
            run.progress.push_back(current);
        }
        if (converter.IsComplete()) {
            run.completed = true;
            converter.GetProgress(current, run.duration);
            run.progress.push_back(current);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return run;
}

// The converter on a timeline of generated media, made once for the suite: ctest runs each
// test in a process of its own.
class MltConverterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        media = new MediaFolder();
        clip = media->MakeVideo("clip.mkv", {{{testing::kBlue, 1.0}}, 160, 120, 25, 440});
        catalog = new MltCatalog();
    }
    static void TearDownTestSuite() {
        delete catalog;
        delete media;
    }

    void SetUp() override {
        output = std::make_unique<MediaFolder>();
        converter = std::make_unique<MltConverter>(*catalog);
    }

    // Small pictures for every output type whose size is a setting.
    static ConversionRequest Request(int32_t type, const std::string& name) {
        ConversionRequest request;
        request.settings.OutputType = type;
        request.settings.MP4Width = 160;
        request.settings.MP4Height = 120;
        request.settings.MPEGWidth = 160;
        request.settings.MPEGHeight = 120;
        request.settings.AVCHDWidth = 160;
        request.settings.AVCHDHeight = 120;
        request.settings.FLVWidth = 160;
        request.settings.FLVHeight = 120;
        request.fileName = ToWide(std::filesystem::path(name));
        return request;
    }

    std::filesystem::path Out(const std::string& name) const { return output->Path() / name; }

    static inline MediaFolder* media = nullptr;
    static inline std::filesystem::path clip;
    static inline MltCatalog* catalog = nullptr;
    std::unique_ptr<MediaFolder> output;
    std::unique_ptr<MltConverter> converter;
    Timeline timeline{clip};
};

// What one output type writes for the one-second timeline.
struct Expected {
    const char* label;
    int32_t type;
    std::function<void(ConversionRequest&)> adjust;
    const wchar_t* container;
    const wchar_t* video;  // empty: no video stream
    const wchar_t* audio;
    int32_t width;
    int32_t height;
    double frameRate;
    int32_t sampleRate;
    int audioFrame;  // samples per frame of the audio codec, 0 for PCM
    std::function<::testing::AssertionResult(const std::filesystem::path&)> check = nullptr;
};

// The pixel shape the file's video stream declares.
std::function<::testing::AssertionResult(const std::filesystem::path&)> PixelShapeIs(int num,
                                                                                     int den) {
    return [num, den](const std::filesystem::path& path) -> ::testing::AssertionResult {
        AVFormatContext* format = nullptr;
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
            return ::testing::AssertionFailure() << "cannot open " << path;
        }
        avformat_find_stream_info(format, nullptr);
        AVRational shape{0, 1};
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                shape = format->streams[i]->codecpar->sample_aspect_ratio;
                break;
            }
        }
        avformat_close_input(&format);
        if (av_cmp_q(shape, AVRational{num, den}) != 0) {
            return ::testing::AssertionFailure() << "pixels are " << shape.num << ":" << shape.den
                                                 << ", not " << num << ":" << den;
        }
        return ::testing::AssertionSuccess();
    };
}

// An M2TS file is a transport stream of 192-byte packets, each a 4-byte arrival time and
// then the 188 bytes that start with the sync byte.
::testing::AssertionResult HasArrivalTimes(const std::filesystem::path& path) {
    const std::string bytes = testing::ReadFile(path);
    if (bytes.size() < 192 || bytes.size() % 192 != 0 || bytes[4] != 0x47 || bytes[196] != 0x47) {
        return ::testing::AssertionFailure()
               << "no 192-byte packets in " << bytes.size() << " bytes";
    }
    return ::testing::AssertionSuccess();
}

std::array<uint8_t, 16> FirstWmvProfileWithVideo() {
    for (const OutputProfile& profile : AvEncoders::OutputProfiles()) {
        if (profile.videoStreams > 0) {
            return Guid::Parse(profile.id)->ToBytes();
        }
    }
    return {};
}

void SetMpegStereoMp2(ConversionRequest& request) {
    request.settings.MPEGAC3 = 0;
}

const std::vector<Expected>& Outputs() {
    static const std::vector<Expected> outputs = {
        {"AviUncompressed", 0, nullptr, L"avi", L"rawvideo", L"mp3", 160, 120, 25, 44100, 1152},
        {"AviFirstCompressors", 0,
         [](ConversionRequest& r) {
             r.settings.AVIVideoCompressor = 0;
             r.settings.AVIAudioCompressor = -1;
         },
         L"avi", L"mjpeg", L"pcm_s16le", 160, 120, 25, 44100, 0},
        {"AviPositionsOutOfRange", 0,
         [](ConversionRequest& r) {
             r.settings.AVIVideoCompressor = 1000;
             r.settings.AVIAudioCompressor = 1000;
         },
         L"avi", L"rawvideo", L"pcm_s16le", 160, 120, 25, 44100, 0},
        {"Wmv", 1, [](ConversionRequest& r) { r.wmvProfileId = FirstWmvProfileWithVideo(); },
         L"asf", L"wmv2", L"wmav2", 320, 240, 15, 22050, 2048},
        {"Mp4", 2,
         [](ConversionRequest& r) {
             r.settings.MP4Framerate = 29.97;  // written at 29
             r.settings.MP4AudioSampleRate = 22050;
         },
         L"mov", L"h264", L"aac", 160, 120, 29, 22050, 1024, PixelShapeIs(1, 1)},
        {"Mp4Wide", 2, [](ConversionRequest& r) { r.settings.MP4AspectRatio = 1; }, L"mov", L"h264",
         L"aac", 160, 120, 25, 44100, 1024, PixelShapeIs(4, 3)},
        {"MpegProfile0", 3, nullptr, L"mpeg", L"mpeg1video", L"ac3", 352, 288, 25, 44100, 1536},
        {"MpegProfile1Mp2", 4, SetMpegStereoMp2, L"mpeg", L"mpeg1video", L"mp2", 352, 240, 29.97,
         44100, 1152},
        {"MpegProfile2", 5, nullptr, L"mpeg", L"mpeg2video", L"ac3", 480, 576, 25, 44100, 1536},
        {"MpegProfile3", 6, nullptr, L"mpeg", L"mpeg2video", L"ac3", 480, 480, 29.97, 44100, 1536},
        {"MpegProfile4", 7, nullptr, L"mpeg", L"mpeg2video", L"ac3", 720, 576, 25, 48000, 1536,
         PixelShapeIs(16, 15)},  // 4:3
        {"MpegProfile5", 8, nullptr, L"mpeg", L"mpeg2video", L"ac3", 720, 480, 29.97, 48000, 1536},
        {"MpegCustom1", 9, SetMpegStereoMp2, L"mpeg", L"mpeg1video", L"mp2", 160, 120, 25, 44100,
         1152},
        {"MpegCustom2", 10,
         [](ConversionRequest& r) {
             r.settings.MPEGFrameRate = 30.0f;
             r.settings.MPEGAudioSampleRate = 48000;
             r.settings.MPEGAspectRatio = 3;  // 16:9
         },
         L"mpeg", L"mpeg2video", L"ac3", 160, 120, 30, 48000, 1536, PixelShapeIs(4, 3)},
        {"M2ts", 11, nullptr, L"mpegts", L"h264", L"ac3", 160, 120, 30, 44100, 1536,
         HasArrivalTimes},
        {"M2tsWide", 11, [](ConversionRequest& r) { r.settings.AVCHDAspectRatio = 1; }, L"mpegts",
         L"h264", L"ac3", 160, 120, 30, 44100, 1536, PixelShapeIs(4, 3)},
        {"Flv", 12, [](ConversionRequest& r) { r.settings.FLVAudioSampleRate = 22050; }, L"flv",
         L"flv1", L"mp3", 160, 120, 25, 22050, 1152},
    };
    return outputs;
}

void PrintTo(const Expected& expected, std::ostream* out) {
    *out << expected.label;
}

class OutputTypeTest : public MltConverterTest, public ::testing::WithParamInterface<Expected> {};

TEST_P(OutputTypeTest, WritesItsContainerStreamsAndLength) {
    const Expected& expected = GetParam();
    ConversionRequest request = Request(expected.type, Out("out.bin").string());
    if (expected.adjust) {
        expected.adjust(request);
    }
    ASSERT_TRUE(converter->Start(*timeline.timeline, request)) << converter->LastError();
    EXPECT_TRUE(converter->IsConnected());

    const Conversion run = WaitForCompletion(*converter);
    ASSERT_TRUE(run.completed) << converter->LastError();
    // Progress only grows, and ends at the whole length.
    EXPECT_TRUE(std::is_sorted(run.progress.begin(), run.progress.end()));
    EXPECT_NEAR(static_cast<double>(run.duration), kTimePerSecond, kTimePerSecond / 25.0);
    EXPECT_EQ(run.progress.back(), run.duration);
    converter->Stop();
    converter->Reset();
    EXPECT_FALSE(converter->IsConnected());
    // Only the finished file is left, under its own name.
    EXPECT_EQ(FilesIn(output->Path()), std::vector<std::filesystem::path>{"out.bin"});

    MediaFile probe;
    ASSERT_TRUE(probe.open(ToWide(Out("out.bin")).c_str()));
    wchar_t container[64] = {};
    wchar_t audio[64] = {};
    probe.getContainer(container, 64);
    probe.getContainerAudioStreamName(0, audio, 64);
    EXPECT_EQ(std::wstring(container), expected.container);
    EXPECT_EQ(VideoCodecOf(probe), expected.video);
    EXPECT_EQ(std::wstring(audio), expected.audio);
    EXPECT_EQ(probe.getWidth(), expected.width);
    EXPECT_EQ(probe.getHeight(), expected.height);
    EXPECT_NEAR(probe.getFrameRate(), expected.frameRate, 0.01);
    EXPECT_EQ(probe.getAudioSampleRate(), expected.sampleRate);
    EXPECT_EQ(probe.getAudioChannel(), 2);
    // Within a frame of the timeline; the sound may run on by up to two frames of its codec
    // (the last one is padded, and some encoders start with a delay).
    const double frame = 1000.0 / expected.frameRate;
    EXPECT_GE(probe.getDuration(), 1000.0 - frame);
    EXPECT_LE(probe.getDuration(),
              1000.0 + frame + 2000.0 * expected.audioFrame / expected.sampleRate);
    // Exactly the timeline's frames, at their times: no frame more, none left out.
    const int64_t frames = std::llround(expected.frameRate);
    const VideoFrames counted = CountFrames(Out("out.bin"), expected.frameRate);
    EXPECT_EQ(counted.held, frames);
    EXPECT_EQ(counted.spanned, frames);
    if (counted.declared != 0) {
        EXPECT_EQ(counted.declared, frames);
    }
    if (expected.check) {
        EXPECT_TRUE(expected.check(Out("out.bin")));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOutputType, OutputTypeTest, ::testing::ValuesIn(Outputs()),
                         [](const auto& test) { return std::string(test.param.label); });

TEST_F(MltConverterTest, StopAndResetLeaveAnEarlierFileAndNoPartOfTheNewOne) {
    const std::filesystem::path target = Out("kept.mp4");
    std::ofstream(target) << "an earlier file";
    ConversionRequest request = Request(2, target.string());
    request.settings.MP4H264Preset = 7;  // slow enough to stop half-way
    const std::vector<std::filesystem::path> kept = {"kept.mp4"};

    ASSERT_TRUE(converter->Start(*timeline.timeline, request)) << converter->LastError();
    // A second start while one runs changes nothing.
    EXPECT_FALSE(converter->Start(*timeline.timeline, Request(2, Out("other.mp4").string())));
    converter->Stop();
    EXPECT_FALSE(converter->IsComplete());
    EXPECT_EQ(testing::ReadFile(target), "an earlier file");
    EXPECT_EQ(FilesIn(output->Path()), kept);
    converter->Reset();

    // Reset while writing removes the partial file.
    ConversionRequest gone = request;
    gone.fileName = ToWide(Out("gone.mp4"));
    ASSERT_TRUE(converter->Start(*timeline.timeline, gone)) << converter->LastError();
    EXPECT_TRUE(converter->IsConnected());
    converter->Reset();
    EXPECT_FALSE(converter->IsConnected());
    EXPECT_EQ(FilesIn(output->Path()), kept);

    // A conversion that completes replaces it.
    ASSERT_TRUE(converter->Start(*timeline.timeline, request)) << converter->LastError();
    ASSERT_TRUE(WaitForCompletion(*converter).completed) << converter->LastError();
    EXPECT_EQ(FilesIn(output->Path()), kept);
    MediaFile probe;
    ASSERT_TRUE(probe.open(ToWide(target).c_str()));
    EXPECT_EQ(VideoCodecOf(probe), L"h264");
}

TEST_F(MltConverterTest, SettingsNoEncoderTakesFailStartWithoutAFile) {
    const std::filesystem::path target = Out("bad.out");
    std::ofstream(target) << "an earlier file";
    struct Case {
        const char* what;
        int32_t type;
        std::function<void(ConversionRequest&)> adjust;
    };
    const Case cases[] = {
        {"MP4 without channels", 2, [](auto& r) { r.settings.MP4AudioChannels = 0; }},
        {"negative MP4 bit rate", 2, [](auto& r) { r.settings.MP4VideoBitrate = -5; }},
        {"huge FLV picture", 12, [](auto& r) { r.settings.FLVWidth = 100000; }},
        {"FLV MP3 at 32 kHz", 12, [](auto& r) { r.settings.FLVAudioSampleRate = 32000; }},
        {"M2TS at 1000 fps", 11, [](auto& r) { r.settings.AVCHDVideoFrameRate = 1000.0f; }},
        {"M2TS AC-3 at 96 kHz", 11, [](auto& r) { r.settings.AVCHDAudioSampleRate = 96000; }},
        {"MPEG-1 at 15 fps", 9, [](auto& r) { r.settings.MPEGFrameRate = 15.0f; }},
        {"MPEG buffer too small for the rate", 10,
         [](auto& r) { r.settings.MPEGBufferSize = 1000; }},
        {"MP2 in five channels", 9,
         [](auto& r) {
             r.settings.MPEGAC3 = 0;
             r.settings.MPEGAudioChannels = 5;
         }},
        {"MPEG frame rate not a number", 10, [](auto& r) { r.settings.MPEGFrameRate = NAN; }},
        {"WMV without a profile", 1, nullptr},
        {"WMV with an unknown profile", 1, [](auto& r) { r.wmvProfileId.fill(0x5a); }},
        {"output type 13", 13, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConversionRequest request = Request(c.type, target.string());
        if (c.adjust) {
            c.adjust(request);
        }
        EXPECT_FALSE(converter->Start(*timeline.timeline, request));
        EXPECT_FALSE(converter->LastError().empty());
        EXPECT_FALSE(converter->IsConnected());
        EXPECT_EQ(FilesIn(output->Path()), std::vector<std::filesystem::path>{"bad.out"});
        EXPECT_EQ(testing::ReadFile(target), "an earlier file");
    }
}

TEST_F(MltConverterTest, NothingToWriteFailsStart) {
    // A folder, and a folder that does not exist.
    EXPECT_FALSE(converter->Start(*timeline.timeline, Request(2, output->Path().string())));
    EXPECT_FALSE(converter->Start(*timeline.timeline,
                                  Request(2, (output->Path() / "no" / "such.mp4").string())));
    // An empty timeline.
    const auto empty = EditTimeline::Create(nullptr);
    EXPECT_FALSE(converter->Start(*empty, Request(2, Out("empty.mp4").string())));
    EXPECT_TRUE(FilesIn(output->Path()).empty());
}

TEST_F(MltConverterTest, ALengthBetweenFramesHoldsTheNearestWholeNumberOfThem) {
    // 1.03 s is 25.75 frames at 25 fps and 30.87 at 29.97 fps.
    const Timeline uneven(clip, 1.03);
    struct Case {
        int32_t type;
        double fps;
        int64_t frames;
    };
    for (const Case c : {Case{0, 25.0, 26}, Case{4, 30000.0 / 1001.0, 31}}) {
        SCOPED_TRACE(c.type);
        ConversionRequest request = Request(c.type, Out("uneven.bin").string());
        request.settings.MPEGAC3 = 0;
        ASSERT_TRUE(converter->Start(*uneven.timeline, request)) << converter->LastError();
        ASSERT_TRUE(WaitForCompletion(*converter).completed) << converter->LastError();
        converter->Reset();
        const VideoFrames counted = CountFrames(Out("uneven.bin"), c.fps);
        EXPECT_EQ(counted.held, c.frames);
        EXPECT_EQ(counted.spanned, c.frames);
    }
}

// The level of each side of a file's sound between 0.25 and 0.75 s, in decibels of full
// scale (RMS), as the waveform decoder delivers it: stereo, a mono file on both sides.
std::array<double, 2> SideLevels(const std::filesystem::path& file) {
    AvAudioDecoder decoder;
    std::array<double, 2> sums{};
    size_t frames = 0;
    const auto add = [&](const int16_t* samples, size_t count) {
        for (size_t i = 0; i + 1 < count; i += 2) {
            sums[0] += static_cast<double>(samples[i]) * samples[i];
            sums[1] += static_cast<double>(samples[i + 1]) * samples[i + 1];
            ++frames;
        }
    };
    if (decoder.Open(ToWide(file)) != IAudioDecoder::Result::Ok ||
        decoder.Decode(kTimePerSecond / 4, kTimePerSecond * 3 / 4, add) !=
            IAudioDecoder::Result::Ok ||
        frames == 0) {
        ADD_FAILURE() << "no sound in " << file;
        return {};
    }
    std::array<double, 2> levels{};
    for (size_t side = 0; side < 2; ++side) {
        levels[side] = 10.0 * std::log10(sums[side] / frames / (32768.0 * 32768.0));
    }
    return levels;
}

// A sine in one sample format and layout, and the output it is written to.
struct LevelCase {
    const char* label;
    const char* file;
    int channels;
    std::vector<std::string> codec;  // ffmpeg's arguments
    int32_t type = 0;                // AVI with uncompressed sound unless adjusted
    std::function<void(ConversionRequest&)> adjust = nullptr;
};

void PrintTo(const LevelCase& level, std::ostream* out) {
    *out << level.label;
}

void MonoMp4(ConversionRequest& request) {
    request.settings.MP4AudioChannels = 1;
}

const std::vector<LevelCase>& LevelCases() {
    static const std::vector<LevelCase> cases = {
        {"Pcm8Mono", "u8-1.wav", 1, {"-c:a", "pcm_u8"}},
        {"Pcm16Stereo", "s16-2.wav", 2, {"-c:a", "pcm_s16le"}},
        {"Pcm24Mono", "s24-1.wav", 1, {"-c:a", "pcm_s24le"}},
        {"Pcm32Stereo", "s32-2.wav", 2, {"-c:a", "pcm_s32le"}},
        {"FloatMono", "f32-1.wav", 1, {"-c:a", "pcm_f32le"}},
        {"AacStereo", "aac-2.m4a", 2, {"-c:a", "aac", "-b:a", "192k"}},
        {"VorbisMono", "vorbis-1.ogg", 1, {"-c:a", "libvorbis", "-q:a", "6"}},
        // Through a lossy encoder, and into a mono file, which takes a mono source as it is.
        {"Pcm8MonoToMp4", "u8-1.wav", 1, {"-c:a", "pcm_u8"}, 2},
        {"Pcm16MonoToMonoMp4", "s16-1.wav", 1, {"-c:a", "pcm_s16le"}, 2, MonoMp4},
        {"Pcm16StereoToMonoMp4", "s16-2.wav", 2, {"-c:a", "pcm_s16le"}, 2, MonoMp4},
    };
    return cases;
}

class SourceLevelTest : public MltConverterTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(SourceLevelTest, AClipAtVolumeOneSoundsAtItsSourcesLevel) {
    const LevelCase& level = GetParam();
    const std::filesystem::path source =
        media->MakeSine(level.file, 1.0, level.channels, level.codec);
    const Timeline sound(source, 1.0, false);
    ConversionRequest request = Request(level.type, Out("out.bin").string());
    request.settings.AVIAudioCompressor = -1;
    if (level.adjust) {
        level.adjust(request);
    }
    ASSERT_TRUE(converter->Start(*sound.timeline, request)) << converter->LastError();
    ASSERT_TRUE(WaitForCompletion(*converter).completed) << converter->LastError();

    const std::array<double, 2> expected = SideLevels(source);
    const std::array<double, 2> rendered = SideLevels(Out("out.bin"));
    EXPECT_NEAR(expected[0], -9.03, 0.2);  // the sine as made
    for (size_t side = 0; side < 2; ++side) {
        EXPECT_NEAR(rendered[side], expected[side], 0.5) << "side " << side;
    }
}

INSTANTIATE_TEST_SUITE_P(EverySampleFormat, SourceLevelTest, ::testing::ValuesIn(LevelCases()),
                         [](const auto& test) { return std::string(test.param.label); });

}  // namespace
}  // namespace vortrel
