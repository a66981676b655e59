#include <gtest/gtest.h>

#include <limits>

#include "model/IClip.h"
#include "model/TimeScale.h"
#include "support/FakeMediaDetector.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::ScopedFakeMediaDetector;
using testing::TestClip;

// A clip on the timeline at scale 1 with a media segment of 0 to 4000 ms and a source whose
// length the fake detector reports.
class ClipDrag : public ::testing::Test {
  protected:
    ClipDrag() {
        clip.SetSource(L"C:\\media\\clip.avi");
        clip.GetSegment()->SetScale(scale.GetScaleField());
        clip.GetSegment()->SetStartMs(1000);
        clip.GetSegment()->SetStopMs(5000);
        clip.GetMediaSegment()->SetStartMs(0);
        clip.GetMediaSegment()->SetStopMs(4000);
    }

    int32_t MediaStart() const { return clip.GetMediaSegment()->GetStart(); }
    int32_t MediaStop() const { return clip.GetMediaSegment()->GetStop(); }

    ScopedFakeMediaDetector detector;
    TimeScale scale;
    TestClip clip;
};

TEST_F(ClipDrag, MovingKeepsTheMediaSpanAndAsksNoDetector) {
    clip.SetPixelRange(500, 1500);  // 2000 to 6000 ms: same length
    EXPECT_EQ(clip.GetSegment()->GetStart(), 2000);
    EXPECT_EQ(clip.GetSegment()->GetStop(), 6000);
    EXPECT_EQ(MediaStart(), 0);
    EXPECT_EQ(MediaStop(), 4000);
    EXPECT_EQ(detector.Script().created, 0);
}

TEST_F(ClipDrag, ShorteningCutsTheMediaStop) {
    detector.Script().lengths = {10.0};
    clip.GetMediaSegment()->SetStartMs(700);
    clip.GetMediaSegment()->SetStopMs(4700);
    clip.SetPixelRange(250, 750);  // 1000 to 3000 ms
    EXPECT_EQ(MediaStart(), 700);
    EXPECT_EQ(MediaStop(), 2700);
}

TEST_F(ClipDrag, LengtheningBeyondTheSourceStopsAtTheSourceLength) {
    detector.Script().lengths = {6.5};
    clip.GetMediaSegment()->SetStartMs(500);
    clip.SetPixelRange(0, 2500);  // 0 to 10000 ms, longer than the 6.5 s source
    EXPECT_EQ(clip.GetSegment()->GetStop(), 10000);
    EXPECT_EQ(MediaStart(), 500);
    EXPECT_EQ(MediaStop(), 500 + 6500);
    EXPECT_EQ(detector.Script().openedPaths, (std::vector<std::wstring>{L"C:\\media\\clip.avi"}));
    EXPECT_EQ(detector.Script().destroyed, detector.Script().created);
}

TEST_F(ClipDrag, AnUnknownSourceLengthDoesNotCutTheMediaSpanToNothing) {
    detector.Script().openSucceeds = false;
    clip.SetPixelRange(0, 2500);
    EXPECT_EQ(MediaStop(), 10000);
}

TEST_F(ClipDrag, RefusedWithoutAUsableScale) {
    for (float unusable : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        scale.SetScale(unusable);
        clip.SetPixelRange(0, 2500);
        EXPECT_EQ(clip.GetSegment()->GetStart(), 1000);
        EXPECT_EQ(MediaStop(), 4000);
    }
    TestClip loose;  // never added to a track: no scale at all
    loose.SetPixelRange(0, 2500);
    EXPECT_EQ(loose.GetSegment()->GetStop(), 0);
}

TEST_F(ClipDrag, ExtremeTimesSaturateInsteadOfOverflowing) {
    detector.Script().openSucceeds = false;
    clip.GetMediaSegment()->SetStartMs(std::numeric_limits<int32_t>::max() - 100);
    clip.SetPixelRange(0, 2500);
    EXPECT_EQ(MediaStop(), std::numeric_limits<int32_t>::max());
}

TEST(MediaLength, AsksTheCurrentStreamOncePerStreamUntilItAnswers) {
    ScopedFakeMediaDetector detector;
    detector.Script().streamCount = 3;
    detector.Script().lengths = {std::nullopt, std::nullopt, 2.0};
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 2000);
    EXPECT_EQ(detector.Script().lengthQuestions, 3);

    detector.Script().lengths = {std::nullopt, std::nullopt, std::nullopt, 2.0};
    EXPECT_EQ(clip.GetMediaLength(), 0);  // three streams, three questions, no answer
    EXPECT_EQ(detector.Script().lengthQuestions, 6);
}

TEST(MediaLength, TruncatesToWholeMilliseconds) {
    ScopedFakeMediaDetector detector;
    detector.Script().lengths = {1.2349999};
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 1234);
}

TEST(MediaLength, IsZeroWheneverTheDetectorCannotTell) {
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 0);  // no detector installed at all

    ScopedFakeMediaDetector detector;
    auto& script = detector.Script();
    auto lengthWith = [&](auto&& configure) {
        script = {};
        script.lengths = {3.0};
        configure(script);
        return clip.GetMediaLength();
    };
    EXPECT_EQ(lengthWith([](auto& s) { s.createSucceeds = false; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.openSucceeds = false; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = std::nullopt; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = 0; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = -2; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.lengths = {std::numeric_limits<double>::quiet_NaN()}; }),
              0);
    EXPECT_EQ(lengthWith([](auto& s) { s.lengths = {1.0e12}; }),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(lengthWith([](auto&) {}), 3000);
}

}  // namespace
}  // namespace vortrel
