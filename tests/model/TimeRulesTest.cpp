#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "model/TimeSegment.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

constexpr int32_t kMaxMs = std::numeric_limits<int32_t>::max();
constexpr int32_t kMinMs = std::numeric_limits<int32_t>::min();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(SecondsToMilliseconds, TruncatesFloatsThatLieJustBelowADecimal) {
    EXPECT_EQ(SecondsToMilliseconds(0.7f), 699);
    EXPECT_EQ(SecondsToMilliseconds(0.9f), 899);
    EXPECT_EQ(SecondsToMilliseconds(3.3f), 3299);
    EXPECT_EQ(SecondsToMilliseconds(1.1f), 1100);
    EXPECT_EQ(SecondsToMilliseconds(2.5f), 2500);
    EXPECT_EQ(SecondsToMilliseconds(-0.7f), -699);  // toward zero, not down
}

TEST(SecondsToMilliseconds, TimesLessThanAMillisecondApartBecomeEqual) {
    EXPECT_EQ(SecondsToMilliseconds(1.0f), 1000);
    EXPECT_EQ(SecondsToMilliseconds(1.0005f), 1000);
}

TEST(SecondsToMilliseconds, NonFiniteAndHugeSecondsSaturateInsteadOfOverflowing) {
    EXPECT_EQ(SecondsToMilliseconds(kNaN), 0);
    EXPECT_EQ(SecondsToMilliseconds(kInf), kMaxMs);
    EXPECT_EQ(SecondsToMilliseconds(-kInf), kMinMs);
    EXPECT_EQ(SecondsToMilliseconds(3.0e9f), kMaxMs);
    EXPECT_EQ(SecondsToMilliseconds(-3.0e9f), kMinMs);
}

TEST(MillisecondsToSeconds, ReturnsTheNearestFloat) {
    EXPECT_EQ(MillisecondsToSeconds(699), 0.699f);
    EXPECT_EQ(MillisecondsToSeconds(3299), 3.299f);
    EXPECT_EQ(MillisecondsToSeconds(-1), -0.001f);
    // A whole-millisecond float time survives the round trip.
    EXPECT_EQ(SecondsToMilliseconds(MillisecondsToSeconds(2500)), 2500);
}

TEST(ReferenceTime, ConvertsIn64BitsAndTruncatesBackTowardZero) {
    EXPECT_EQ(MillisecondsToReferenceTime(kMaxMs), int64_t{kMaxMs} * 10000);
    EXPECT_EQ(MillisecondsToReferenceTime(-5), -50000);
    EXPECT_EQ(ReferenceTimeToMilliseconds(19999), 1);
    EXPECT_EQ(ReferenceTimeToMilliseconds(-19999), -1);
    EXPECT_EQ(ReferenceTimeToMilliseconds(MillisecondsToReferenceTime(kMinMs)), kMinMs);
    // Beyond what 32 bits of milliseconds hold, the position saturates instead of wrapping.
    EXPECT_EQ(ReferenceTimeToMilliseconds(std::numeric_limits<int64_t>::max()), kMaxMs);
}

TEST(PixelRule, WidthFollowsTheZoom) {
    EXPECT_EQ(MillisecondsToPixels(4000, 1.0f), 1000);
    EXPECT_EQ(MillisecondsToPixels(4000, 2.0f), 2000);
    EXPECT_EQ(MillisecondsToPixels(4000, 0.5f), 500);
    EXPECT_EQ(MillisecondsToPixels(1000, 1.0f), 250);
    // k is rounded to a float first: at scale 0.3, k = 0.075f lies a hair above 0.075.
    EXPECT_EQ(MillisecondsToPixels(1000, 0.3f), 75);
    EXPECT_EQ(MillisecondsToPixels(3, 1.0f), 0);
}

TEST(PixelRule, PixelsBackToMilliseconds) {
    EXPECT_EQ(PixelsToMilliseconds(125, 1.0f), 500);
    EXPECT_EQ(PixelsToMilliseconds(125, 2.0f), 250);
    EXPECT_EQ(PixelsToMilliseconds(1, 0.3f), 13);  // 13.33 truncated
    // The bias is added before truncation toward zero, so left of the origin it pulls
    // toward zero: -500.0 + 0.0005 truncates to -499.
    EXPECT_EQ(PixelsToMilliseconds(-125, 1.0f), -499);
    // At zooms where k is exact, a dragged edge maps back onto its own pixel.
    for (float scale : {0.25f, 0.5f, 1.0f, 2.0f, 4.0f}) {
        for (int32_t x : {0, 1, 17, 250, 1000, 123456}) {
            EXPECT_EQ(MillisecondsToPixels(PixelsToMilliseconds(x, scale), scale), x)
                << "scale " << scale << " x " << x;
        }
    }
}

TEST(PixelRule, DegenerateScalesGiveDefinedValues) {
    EXPECT_FALSE(IsUsableScale(0.0f));
    EXPECT_FALSE(IsUsableScale(-1.0f));
    EXPECT_FALSE(IsUsableScale(kNaN));
    EXPECT_FALSE(IsUsableScale(kInf));
    EXPECT_FALSE(IsUsableScale(1.0e-45f));  // k underflows to zero
    EXPECT_TRUE(IsUsableScale(1.0f));

    EXPECT_EQ(MillisecondsToPixels(4000, 0.0f), 0);
    EXPECT_EQ(MillisecondsToPixels(4000, kNaN), 0);
    EXPECT_EQ(MillisecondsToPixels(4000, kInf), kMaxMs);
    EXPECT_EQ(MillisecondsToPixels(4000, -1.0f), -999);  // bias toward zero
    EXPECT_EQ(MillisecondsToPixels(kMaxMs, 1.0e30f), kMaxMs);
    EXPECT_EQ(PixelsToMilliseconds(0, 0.0f), 0);
    EXPECT_EQ(PixelsToMilliseconds(10, 0.0f), kMaxMs);
    EXPECT_EQ(PixelsToMilliseconds(-10, 0.0f), kMinMs);
    EXPECT_EQ(PixelsToMilliseconds(10, kNaN), 0);
}

TEST(TimeScale, AcceptsAndNotifiesEveryValue) {
    TimeScale scale;
    EXPECT_EQ(scale.GetScale(), 1.0f);
    testing::CallbackObserver observer;
    scale.GetScaleChanged()->Attach(&observer);
    for (float value : {2.0f, 0.0f, -3.5f, kInf, 0.123456789f}) {
        scale.SetScale(value);
        EXPECT_EQ(scale.GetScale(), value);
    }
    scale.SetScale(kNaN);
    EXPECT_TRUE(std::isnan(scale.GetScale()));
    EXPECT_EQ(observer.calls, 6);
}

TEST(TimeSegment, StartsEmptyAndStoresTruncatedSeconds) {
    TimeSegment segment;
    EXPECT_EQ(segment.GetStart(), 0);
    EXPECT_EQ(segment.GetStop(), 0);
    EXPECT_EQ(segment.GetScale(), nullptr);
    segment.SetStart(0.7f);
    segment.SetStop(3.3f);
    EXPECT_EQ(segment.GetStart(), 699);
    EXPECT_EQ(segment.GetStop(), 3299);
    EXPECT_EQ(MillisecondsToSeconds(segment.GetStart()), 0.699f);
    EXPECT_EQ(MillisecondsToSeconds(segment.GetStop()), 3.299f);
}

TEST(TimeSegment, PixelRangeFollowsTheScaleItPointsAt) {
    TimeScale scale;
    TimeSegment segment;
    segment.SetStartMs(100);
    EXPECT_FALSE(segment.SetPixelRange(125, 250));  // no scale yet: refused, unchanged
    EXPECT_EQ(segment.GetStart(), 100);

    segment.SetScale(scale.GetScaleField());
    EXPECT_TRUE(segment.SetPixelRange(125, 250));
    EXPECT_EQ(segment.GetStart(), 500);
    EXPECT_EQ(segment.GetStop(), 1000);

    scale.SetScale(2.0f);  // the segment sees the new zoom without being told
    EXPECT_TRUE(segment.SetPixelRange(125, 250));
    EXPECT_EQ(segment.GetStart(), 250);
    EXPECT_EQ(segment.GetStop(), 500);

    for (float unusable : {0.0f, -2.0f, kNaN, kInf}) {
        scale.SetScale(unusable);
        EXPECT_FALSE(segment.SetPixelRange(10, 20));
        EXPECT_EQ(segment.GetStart(), 250);
        EXPECT_EQ(segment.GetStop(), 500);
    }
}

}  // namespace
}  // namespace vortrel
