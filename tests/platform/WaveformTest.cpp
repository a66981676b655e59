#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "editing/AudioGrabberCallback.h"
#include "editing/DesError.h"
#include "editing/WaveformExtractor.h"
#include "platform/av/AvAudioDecoder.h"
#include "support/FakeAudioDecoder.h"
#include "support/GeneratedMedia.h"
#include "support/ScopedPort.h"

namespace vortrel {
namespace {

using testing::MediaFolder;
using testing::ScopedFakeAudioDecoder;
using testing::ToWide;
using Result = IAudioDecoder::Result;

std::vector<double> Reduce(const std::vector<std::vector<int16_t>>& buffers) {
    std::vector<double> levels;
    AudioGrabberCallback callback(&levels);
    for (const auto& buffer : buffers) {
        callback.SampleCB(buffer.data(), buffer.size());
        EXPECT_EQ(callback.sampleIndex, 0);
    }
    return levels;
}

// The message of the DesError a call raises; empty when it raises none.
template <typename Call>
std::string FailureOf(Call call) {
    try {
        call();
    } catch (const DesError& error) {
        return error.what();
    }
    return {};
}

TEST(AudioGrabberCallbackTest, PairsHoldTheFirstValueThenFullGroupsAndDropTheTail) {
    std::vector<int16_t> buffer(50, 0);
    buffer[0] = -7;      // its own pair
    buffer[1] = 300;     // the first value of the group closing at index 44
    buffer[44] = -1200;  // the last value of that group
    buffer[45] = 9000;   // the tail: in no pair
    const std::vector<double> levels = Reduce({buffer, {5}});
    ASSERT_EQ(levels.size(), 6u);
    EXPECT_EQ(levels[0], 0.0);
    EXPECT_EQ(levels[1], -7.0);
    EXPECT_EQ(levels[2], 300.0);
    EXPECT_EQ(levels[3], -1200.0);
    EXPECT_EQ(levels[4], 5.0);  // the next buffer starts a pair of its own
    EXPECT_TRUE(std::signbit(levels[5]));
}

TEST(AudioGrabberCallbackTest, PeakCountsMinus32768AndTheDroppedTailAndSilenceStaysZero) {
    std::vector<double> levels;
    AudioGrabberCallback callback(&levels);
    const std::vector<int16_t> loud = {32767, -32768};
    callback.SampleCB(loud.data(), loud.size());  // -32768 falls in the tail
    std::vector<int16_t> group(45, 0);
    group[10] = -32768;
    callback.SampleCB(group.data(), group.size());
    callback.SampleCB(group.data(), 0);  // an empty buffer changes nothing
    EXPECT_EQ(callback.peak, 32768);
    callback.NormalizeLevels();
    ASSERT_EQ(levels.size(), 6u);
    EXPECT_EQ(levels[0], 32767.0 / 32768.0);
    EXPECT_EQ(levels[5], -1.0);

    // Silence keeps its positive and negative zeros through normalisation.
    std::vector<double> quiet;
    AudioGrabberCallback silence(&quiet);
    silence.SampleCB(std::vector<int16_t>(100, 0).data(), 100);
    silence.NormalizeLevels();
    EXPECT_EQ(silence.peak, 0);
    ASSERT_EQ(quiet.size(), 6u);
    for (size_t i = 0; i < quiet.size(); ++i) {
        EXPECT_EQ(quiet[i], 0.0);
        EXPECT_EQ(std::signbit(quiet[i]), i % 2 == 1) << "value " << i;
    }
}

TEST(ExtractWaveformTest, PassesTheSegmentInMediaTimeAndNormalises) {
    ScopedFakeAudioDecoder fake;
    fake.Script().buffers = {{1000, -500}, {-2000}};
    std::vector<double> levels;
    ExtractWaveform(L"/media/a.wav", levels, 1500, 2750);
    ASSERT_EQ(fake.Script().spans.size(), 1u);
    EXPECT_EQ(fake.Script().spans[0], std::make_pair(int64_t{15000000}, int64_t{27500000}));
    EXPECT_EQ(fake.Script().openedPaths, std::vector<std::wstring>{L"/media/a.wav"});
    EXPECT_EQ(levels, (std::vector<double>{0.5, -0.0, 0.0, -1.0}));
    EXPECT_EQ(fake.Script().destroyed, 1);
}

TEST(ExtractWaveformTest, EachFailureRaisesItsMessageAndKeepsTheLevels) {
    struct Case {
        bool create;
        Result open;
        Result decode;
        const char* message;
    };
    const Case cases[] = {
        {false, Result::Ok, Result::Ok, "Could not create filter graph"},
        {true, Result::NoSource, Result::Ok, "Could not add source filter"},
        {true, Result::NoAudio, Result::Ok, "Could not connect: source <-> grabber"},
        {true, Result::Ok, Result::DecodeFailed, "Could not run filter graph"},
    };
    for (const Case& c : cases) {
        ScopedFakeAudioDecoder fake;
        fake.Script().createSucceeds = c.create;
        fake.Script().openResult = c.open;
        fake.Script().decodeResult = c.decode;
        fake.Script().buffers = {{400, -200}};
        std::vector<double> levels;
        EXPECT_EQ(FailureOf([&] { ExtractWaveform(L"a.wav", levels, 0, 1000); }), c.message);
        // What was appended before the failure stays, not normalised.
        const std::vector<double> kept = {400.0, -0.0};
        EXPECT_EQ(levels, c.decode == Result::DecodeFailed ? kept : std::vector<double>{});
        EXPECT_EQ(fake.Script().created, fake.Script().destroyed);
    }
    EXPECT_EQ(FailureOf([] {
                  std::vector<double> levels;
                  ExtractWaveform(L"a.wav", levels, 0, 1000);
              }),
              "Could not create filter graph");  // no factory installed at all
}

// 44.1 kHz stereo: silence, a 1 kHz tone, silence, a second each.
std::vector<int16_t> SilenceToneSilence() {
    constexpr int kRate = 44100;
    std::vector<int16_t> samples(static_cast<size_t>(3 * kRate) * 2, 0);
    for (int i = kRate; i < 2 * kRate; ++i) {
        const double phase = 2 * std::numbers::pi * 1000.0 * i / kRate;
        samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(16000 * std::cos(phase));
    }
    return samples;
}

// The pairs of levels that pass a test.
template <typename Test>
size_t PairsThat(const std::vector<double>& levels, Test test) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < levels.size(); i += 2) {
        count += test(levels[i], levels[i + 1]) ? 1 : 0;
    }
    return count;
}

// Pairs of a normalised 1 kHz tone span almost the full range (all but the pairs of one
// value that open each buffer).
size_t LoudPairs(const std::vector<double>& levels) {
    return PairsThat(levels, [](double high, double low) { return high > 0.9 && low < -0.9; });
}

// Pairs of pure silence: a tone is almost never exactly 0.
size_t SilentPairs(const std::vector<double>& levels) {
    return PairsThat(levels, [](double high, double low) { return high == 0.0 && low == 0.0; });
}

// The extraction on the FFmpeg decoder, on files generated once for the whole suite.
class RealWaveformTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        files = std::make_unique<MediaFolder>();
        steps = files->WriteFile("steps.wav", testing::PcmWave(44100, 2, SilenceToneSilence()));
    }
    static void TearDownTestSuite() { files.reset(); }
    testing::ScopedPort<IAudioDecoder> installed{[] { return std::make_unique<AvAudioDecoder>(); }};

    static std::vector<double> Extract(const std::filesystem::path& file, int32_t start,
                                       int32_t stop) {
        std::vector<double> levels;
        ExtractWaveform(ToWide(file), levels, start, stop);
        return levels;
    }

    static inline std::unique_ptr<MediaFolder> files;
    static inline std::filesystem::path steps;
};

TEST_F(RealWaveformTest, SegmentsStartAndStopOnTheirSample) {
    // A single sample of the tone in the silent seconds would show.
    for (const auto& [start, stop] : {std::pair{0, 1000}, std::pair{2000, 3000}}) {
        const std::vector<double> silence = Extract(steps, start, stop);
        EXPECT_GT(silence.size(), 2000u);
        EXPECT_EQ(SilentPairs(silence), silence.size() / 2) << start;
    }
    // About one pair a millisecond.
    const std::vector<double> middle = Extract(steps, 1000, 2000);
    EXPECT_NEAR(static_cast<double>(middle.size() / 2), 1030.0, 30.0);
    EXPECT_EQ(SilentPairs(middle), 0u);
    EXPECT_GE(LoudPairs(middle), 950u);
    // From the middle of the tone into the silence after it: half and half, to a few ms.
    const std::vector<double> edge = Extract(steps, 1750, 2250);
    EXPECT_NEAR(static_cast<double>(SilentPairs(edge)) / static_cast<double>(edge.size() / 2), 0.5,
                0.01);
}

TEST_F(RealWaveformTest, CompressedAudioIsWholeRightAfterASeek) {
    // AAC in MP4: the seek lands on a packet before the span, whose frame is cut.
    const auto video = files->MakeVideo("tone.mp4", {{{testing::kBlack, 3.0}}, 64, 48, 25, {1000}});
    const std::vector<double> levels = Extract(video, 1000, 1100);
    ASSERT_GE(levels.size(), 200u);
    EXPECT_GE(LoudPairs(levels), 95u);
}

TEST_F(RealWaveformTest, DamagedAndOddFilesFailOrGiveWhatTheyHold) {
    const auto tone = files->MakeTone("half.wav", 2.0, 440, 22050, 2);
    const auto truncated = files->WriteTruncatedCopy(tone, "cut.wav", 0.5);
    const std::vector<double> levels = Extract(truncated, 0, 2000);
    EXPECT_NEAR(static_cast<double>(levels.size() / 2), 1000.0, 60.0);

    EXPECT_EQ(FailureOf([] { Extract(files->Path() / "missing.wav", 0, 1000); }),
              "Could not add source filter");
    const auto fifo = files->Path() / "fifo.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(FailureOf([&] { Extract(fifo, 0, 1000); }), "Could not add source filter");
    const auto silent = files->MakeVideo("silent.mkv", {{{testing::kBlack, 1.0}}, 64, 48, 25, {}});
    EXPECT_EQ(FailureOf([&] { Extract(silent, 0, 1000); }),
              "Could not connect: source <-> grabber");
}

TEST_F(RealWaveformTest, DecoderDeliversStereoAtTheOutputRateWithinTheSpan) {
    const auto tone = files->MakeTone("mono.mka", 2.0, 440, 48000, 1);
    AvAudioDecoder decoder;
    ASSERT_EQ(decoder.Open(ToWide(tone)), Result::Ok);
    size_t values = 0;
    size_t buffers = 0;
    bool sidesMatch = true;
    const auto consume = [&](const int16_t* samples, size_t count) {
        ++buffers;
        values += count;
        for (size_t i = 0; i + 1 < count; i += 2) {
            sidesMatch = sidesMatch && samples[i] == samples[i + 1];
        }
    };
    ASSERT_EQ(decoder.Decode(2500000, 12500000, consume), Result::Ok);
    EXPECT_EQ(values % 2, 0u);
    EXPECT_NEAR(static_cast<double>(values), 2 * 22050.0, 4.0);
    EXPECT_GT(buffers, 5u);   // one per decoded frame, not the whole span at once
    EXPECT_TRUE(sidesMatch);  // a mono stream plays on both sides
    // A second span on the same decoder seeks back.
    values = 0;
    ASSERT_EQ(decoder.Decode(0, 5000000, consume), Result::Ok);
    EXPECT_NEAR(static_cast<double>(values), 22050.0, 4.0);
}

}  // namespace
}  // namespace vortrel
