#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "model/TimeSegment.h"

namespace vortrel {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(TimeRules, SecondsAreTruncatedToMillisecondsNeverRounded) {
    const std::pair<float, int32_t> cases[] = {
        {0.7f, 699},   {0.9f, 899},  {3.3f, 3299},    {1.1f, 1100},
        {2.5f, 2500},  {1.0f, 1000}, {1.0005f, 1000},  // a zero-length content can result
        {-0.7f, -699}, {kNaN, 0},    {kInf, kMax},    {-3.0e9f, kMin},
    };
    for (auto [seconds, ms] : cases) {
        EXPECT_EQ(SecondsToMilliseconds(seconds), ms) << seconds;
    }
    EXPECT_EQ(MillisecondsToSeconds(699), 0.699f);
    EXPECT_EQ(MillisecondsToSeconds(3299), 3.299f);
}

TEST(TimeRules, ReferenceTimeIs64BitAndTruncatesBackTowardZero) {
    EXPECT_EQ(MillisecondsToReferenceTime(kMax), int64_t{kMax} * 10000);
    EXPECT_EQ(ReferenceTimeToMilliseconds(19999), 1);
    EXPECT_EQ(ReferenceTimeToMilliseconds(-19999), -1);
    // Beyond what 32 bits of milliseconds hold, a position saturates instead of wrapping.
    EXPECT_EQ(ReferenceTimeToMilliseconds(std::numeric_limits<int64_t>::max()), kMax);
}

TEST(TimeRules, PixelRuleAtSeveralZooms) {
    EXPECT_EQ(MillisecondsToPixels(4000, 1.0f), 1000);
    EXPECT_EQ(MillisecondsToPixels(4000, 2.0f), 2000);
    EXPECT_EQ(MillisecondsToPixels(4000, 0.5f), 500);
    EXPECT_EQ(MillisecondsToPixels(1000, 0.3f), 75);  // k = 0.075f, a hair above 0.075
    EXPECT_EQ(PixelsToMilliseconds(125, 1.0f), 500);
    EXPECT_EQ(PixelsToMilliseconds(1, 0.3f), 13);
    // The bias is added before truncation toward zero: -500.0 + 0.0005 gives -499.
    EXPECT_EQ(PixelsToMilliseconds(-125, 1.0f), -499);
    for (float scale : {0.25f, 0.5f, 1.0f, 2.0f, 4.0f}) {
        for (int32_t x : {1, 17, 1000, 123456}) {
            EXPECT_EQ(MillisecondsToPixels(PixelsToMilliseconds(x, scale), scale), x) << scale;
        }
    }
}

TEST(TimeRules, DegenerateScalesGiveDefinedValuesNotUndefinedBehaviour) {
    for (float scale : {0.0f, -1.0f, kNaN, kInf, 1.0e-45f}) {
        EXPECT_FALSE(IsUsableScale(scale)) << scale;
    }
    EXPECT_EQ(MillisecondsToPixels(4000, 0.0f), 0);
    EXPECT_EQ(MillisecondsToPixels(4000, kNaN), 0);
    EXPECT_EQ(MillisecondsToPixels(kMax, 1.0e30f), kMax);
    EXPECT_EQ(PixelsToMilliseconds(0, 0.0f), 0);
    EXPECT_EQ(PixelsToMilliseconds(10, 0.0f), kMax);
    EXPECT_EQ(PixelsToMilliseconds(-10, 0.0f), kMin);
}

TEST(TimeSegment, PixelRangeFollowsTheScaleItPointsAt) {
    TimeScale scale;
    TimeSegment segment;
    segment.SetStartMs(100);
    EXPECT_FALSE(segment.SetPixelRange(125, 250));  // no scale yet: refused, unchanged
    EXPECT_EQ(segment.GetStart(), 100);

    segment.SetScale(scale.GetScaleField());
    scale.SetScale(2.0f);  // the segment sees a new zoom without being told
    EXPECT_TRUE(segment.SetPixelRange(125, 250));
    EXPECT_EQ(segment.GetStart(), 250);
    EXPECT_EQ(segment.GetStop(), 500);

    for (float unusable : {0.0f, -2.0f, kNaN, kInf}) {
        scale.SetScale(unusable);
        EXPECT_FALSE(segment.SetPixelRange(10, 20));
        EXPECT_EQ(segment.GetStart(), 250);
    }
}

}  // namespace
}  // namespace vortrel
