#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/IClip.h"
#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "support/FakeMediaDetector.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::ScopedFakeMediaDetector;
using testing::TestClip;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The control's calls pin the usual conversions; these are the limits behind them.
TEST(TimeRules, SecondsAreTruncatedToMillisecondsAndSaturate) {
    const std::pair<float, int32_t> cases[] = {
        {0.7f, 699}, {2.5f, 2500}, {kNaN, 0}, {kInf, kMax}, {-3.0e9f, kMin}};
    for (auto [seconds, ms] : cases) {
        EXPECT_EQ(SecondsToMilliseconds(seconds), ms) << seconds;
    }
}

TEST(TimeRules, ReferenceTimeIs64BitAndTruncatesBackTowardZero) {
    EXPECT_EQ(MillisecondsToReferenceTime(kMax), int64_t{kMax} * 10000);
    EXPECT_EQ(ReferenceTimeToMilliseconds(19999), 1);
    EXPECT_EQ(ReferenceTimeToMilliseconds(-19999), -1);
    // Beyond what 32 bits of milliseconds hold, a position saturates instead of wrapping.
    EXPECT_EQ(ReferenceTimeToMilliseconds(std::numeric_limits<int64_t>::max()), kMax);
}

// Each row: a time, a zoom and the pixels; or pixels, a zoom and the time. Degenerate zooms
// give defined values, not undefined behaviour.
TEST(TimeRules, PixelRuleAtSeveralZooms) {
    struct Row {
        int32_t from;
        float scale;
        int32_t to;
    };
    const Row toPixels[] = {{4000, 1.0f, 1000}, {4000, 2.0f, 2000}, {4000, 0.5f, 500},
                            {1000, 0.3f, 75},  // k = 0.075f, a hair above 0.075
                            {4000, 0.0f, 0},    {4000, kNaN, 0},    {kMax, 1.0e30f, kMax}};
    for (const Row& row : toPixels) {
        EXPECT_EQ(MillisecondsToPixels(row.from, row.scale), row.to)
            << row.from << " " << row.scale;
    }
    // The bias is added before truncation toward zero: -500.0 + 0.0005 gives -499.
    const Row toTime[] = {{125, 1.0f, 500}, {1, 0.3f, 13},    {-125, 1.0f, -499},
                          {0, 0.0f, 0},     {10, 0.0f, kMax}, {-10, 0.0f, kMin}};
    for (const Row& row : toTime) {
        EXPECT_EQ(PixelsToMilliseconds(row.from, row.scale), row.to)
            << row.from << " " << row.scale;
    }
    for (float scale : {0.25f, 0.5f, 1.0f, 2.0f, 4.0f}) {
        for (int32_t x : {1, 17, 1000, 123456}) {
            EXPECT_EQ(MillisecondsToPixels(PixelsToMilliseconds(x, scale), scale), x) << scale;
        }
    }
    for (float scale : {0.0f, -1.0f, kNaN, kInf, 1.0e-45f}) {
        EXPECT_FALSE(IsUsableScale(scale)) << scale;
    }
}

// A clip at 1000 to 5000 ms on a timeline at scale 1, playing 500 to 4500 ms of its source.
class ClipDrag : public ::testing::Test {
  protected:
    ClipDrag() {
        clip.SetSource(L"C:\\media\\clip.avi");
        clip.GetSegment()->SetScale(scale.GetScaleField());
        clip.GetSegment()->SetStartMs(1000);
        clip.GetSegment()->SetStopMs(5000);
        clip.GetMediaSegment()->SetStartMs(500);
        clip.GetMediaSegment()->SetStopMs(4500);
    }
    int32_t MediaStop() const { return clip.GetMediaSegment()->GetStop(); }

    ScopedFakeMediaDetector detector;
    TimeScale scale;
    TestClip clip;
};

TEST_F(ClipDrag, MovingKeepsTheMediaSpanWithoutAskingTheDetector) {
    clip.SetPixelRange(500, 1500);
    EXPECT_EQ(clip.GetSegment()->GetStart(), 2000);
    EXPECT_EQ(clip.GetSegment()->GetStop(), 6000);
    EXPECT_EQ(MediaStop(), 4500);
    EXPECT_EQ(detector.Script().created, 0);
}

TEST_F(ClipDrag, ResizingSetsTheMediaStopFromTheMediaStartWithinTheSourceLength) {
    detector.Script().lengths = {6.5, 6.5};
    clip.SetPixelRange(250, 750);  // 2000 ms long
    EXPECT_EQ(clip.GetMediaSegment()->GetStart(), 500);
    EXPECT_EQ(MediaStop(), 2500);
    clip.SetPixelRange(0, 2500);  // 10 s long, beyond the 6.5 s source
    EXPECT_EQ(clip.GetSegment()->GetStop(), 10000);
    EXPECT_EQ(MediaStop(), 500 + 6500);
    EXPECT_EQ(detector.Script().openedPaths.back(), L"C:\\media\\clip.avi");
    EXPECT_EQ(detector.Script().destroyed, detector.Script().created);
}

TEST_F(ClipDrag, AnUnknownSourceLengthDoesNotCutTheMediaSpanToNothing) {
    detector.Script().openSucceeds = false;
    clip.SetPixelRange(0, 2500);
    EXPECT_EQ(MediaStop(), 500 + 10000);
    clip.GetMediaSegment()->SetStartMs(kMax - 100);  // and it saturates, never wraps
    clip.SetPixelRange(0, 1000);
    EXPECT_EQ(MediaStop(), kMax);
}

TEST_F(ClipDrag, RefusedWithoutAUsableScale) {
    for (float unusable : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        scale.SetScale(unusable);
        clip.SetPixelRange(0, 2500);
        EXPECT_EQ(clip.GetSegment()->GetStart(), 1000);
        EXPECT_EQ(MediaStop(), 4500);
    }
    TestClip loose;  // never on a track: no scale at all
    loose.SetPixelRange(0, 2500);
    EXPECT_EQ(loose.GetSegment()->GetStop(), 0);
}

TEST(MediaLength, AsksTheCurrentStreamAtMostOncePerStream) {
    ScopedFakeMediaDetector detector;
    detector.Script().streamCount = 3;
    detector.Script().lengths = {std::nullopt, std::nullopt, 1.2349999};
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 1234);  // third answer, truncated
    detector.Script().lengths = {std::nullopt, std::nullopt, std::nullopt, 2.0};
    EXPECT_EQ(clip.GetMediaLength(), 0);  // three streams, three questions, no answer
    EXPECT_EQ(detector.Script().lengthQuestions, 6);
}

TEST(MediaLength, IsZeroWheneverTheDetectorCannotTell) {
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 0);  // no detector installed at all

    ScopedFakeMediaDetector detector;
    auto lengthWith = [&](auto&& configure) {
        detector.Script() = {};
        detector.Script().lengths = {3.0};
        configure(detector.Script());
        return clip.GetMediaLength();
    };
    EXPECT_EQ(lengthWith([](auto&) {}), 3000);
    EXPECT_EQ(lengthWith([](auto& s) { s.createSucceeds = false; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.openSucceeds = false; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = std::nullopt; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = -2; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.lengths = {std::numeric_limits<double>::quiet_NaN()}; }),
              0);
    EXPECT_EQ(lengthWith([](auto& s) { s.lengths = {1.0e12}; }), kMax);
}

}  // namespace
}  // namespace vortrel
