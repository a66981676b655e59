#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "editing/DesRenderer.h"
#include "editing/EditNode.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/MltRenderEngine.h"
#include "support/GeneratedMedia.h"
#include "support/Within.h"

namespace vortrel {
namespace {

using namespace std::chrono_literals;
using testing::Within;
using Events = std::vector<std::string>;

// Writes the playback events down in order.
class PlaybackSink : public ITimelineControlEvents {
  public:
    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override {}
    void OnPlaying(int32_t position) override { events.push_back(std::to_string(position)); }
    void OnPlayingCompleted() override { events.push_back("completed"); }
    void OnConvertProgress(int32_t) override {}
    void OnConvertCompleted() override {}
    Events events;
};

// A control on the Linux back ends with no window system, playing a two-second clip that is
// red for its first second and green for its second, at the video group's 15 frames a
// second. The ticks of the preview timer are given by hand.
class Playback : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);  // tests make no sound
        unsetenv("DISPLAY");
        media_ = new testing::MediaFolder();
        clip_ = FromPath(media_->MakeVideo(
            "colours.mkv", {{{testing::kRed, 1.0}, {testing::kGreen, 1.0}}, 160, 120, 25, 440}));
    }
    static void TearDownTestSuite() { delete media_; }

    Playback() {
        control->Advise(&sink);
        control->SetVideoTrackResolution(160, 120);
    }
    ~Playback() override { control->Unadvise(&sink); }

    void AddClip() {
        int32_t result = -1;
        control->AddVideoClip(1, clip_.c_str(), 0, 2, 0, &result);
        ASSERT_EQ(result, 0);
    }
    TimelineModel& Model() { return *control->GetModel(); }
    MltRenderEngine& Engine() {
        return dynamic_cast<MltRenderEngine&>(Model().GetPreviewRenderer()->GetEngine());
    }
    void Tick() { TimerDispatcher::Instance().Fire(Model().GetPreviewTimerId()); }
    ShownFrame Shown() {
        ShownFrame frame;
        Engine().CopyShownFrame(frame);
        return frame;
    }
    // The colour in the middle of the picture shown, as "r g b" rounded to red, green or other.
    std::string Colour() {
        const ShownFrame frame = Shown();
        if (frame.rgba.empty()) {
            return "none";
        }
        const size_t at =
            (static_cast<size_t>(frame.height / 2) * frame.width + frame.width / 2) * 4;
        const int r = frame.rgba[at], g = frame.rgba[at + 1], b = frame.rgba[at + 2];
        if (r > 200 && g < 60 && b < 60) {
            return "red";
        }
        if (g > 200 && r < 60 && b < 60) {
            return "green";
        }
        return std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
    }
    int32_t Position() {
        int64_t current = 0, stop = 0;
        Engine().GetPositions(current, stop);
        return static_cast<int32_t>(current / 10'000);
    }

    static inline testing::MediaFolder* media_ = nullptr;
    static inline std::wstring clip_;
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    PlaybackSink sink;
};

// One run through the clip: real-time play, pause and resume, a seek while paused, the end
// reported and completed, and a fresh start after it.
TEST_F(Playback, PlaysPausesSeeksAndCompletesInRealTime) {
    AddClip();
    control->Play();
    EXPECT_EQ(sink.events, Events{"0"});
    VariantBool playing = 0;
    control->get_IsPlaying(&playing);
    EXPECT_EQ(playing, 1);
    ASSERT_TRUE(Within(3s, [&] { return Colour() == "red"; })) << Colour();
    std::this_thread::sleep_for(300ms);
    const int32_t early = Position();
    EXPECT_GT(early, 0);
    EXPECT_LT(early, 1000);  // real time, not as fast as it can

    // Playing right after a pause goes on at once and never steps back.
    control->Pause();
    std::vector<int32_t> seen{Position()};
    control->Play();
    for (int sample = 0; sample < 5; ++sample) {
        std::this_thread::sleep_for(100ms);
        seen.push_back(Position());
    }
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << ::testing::PrintToString(seen);
    EXPECT_GT(seen.back() - seen.front(), 250) << ::testing::PrintToString(seen);

    control->Pause();
    const int32_t held = Position();
    EXPECT_EQ(sink.events.back(), std::to_string(held));
    EXPECT_EQ(Shown().position * 1000 / 15, held);  // the picture on screen stays
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(Position(), held);
    EXPECT_EQ(Shown().position * 1000 / 15, held);

    Model().Seek(1500);  // frame 22 of the green second, shown before the seek returns
    EXPECT_EQ((Events{sink.events.end() - 2, sink.events.end()}), (Events{"1500", "1466"}));
    EXPECT_TRUE(Model().IsPaused());
    EXPECT_EQ(Shown().position, 22);
    EXPECT_EQ(Colour(), "green");
    control->Play();
    EXPECT_EQ(sink.events.back(), "1466");  // resuming reports no start

    // Ticks report the position until the one after the end completes.
    sink.events.clear();
    int ticks = 0;
    while (std::find(sink.events.begin(), sink.events.end(), "completed") == sink.events.end() &&
           ticks++ < 12) {
        std::this_thread::sleep_for(500ms);
        Tick();
    }
    ASSERT_GE(sink.events.size(), 4u);
    const size_t completed = sink.events.size() - 3;
    EXPECT_EQ(sink.events[completed], "completed");
    EXPECT_EQ(sink.events[completed - 1], "1933");  // the last frame, 29 of 30
    EXPECT_EQ((Events{sink.events[completed + 1], sink.events[completed + 2]}),
              (Events{"0", "0"}));  // the stop's seek to the start and its read-back
    EXPECT_EQ(Colour(), "none");
    EXPECT_FALSE(Model().IsPlaying());
    EXPECT_FALSE(Model().IsPaused());
    EXPECT_FALSE(Model().GetPreviewRenderer()->IsConnected());

    // Playing after a stop builds afresh and starts from the beginning.
    sink.events.clear();
    control->Play();
    EXPECT_EQ(sink.events, Events{"0"});
    ASSERT_TRUE(Within(3s, [&] { return Colour() == "red"; }));
    // The control goes while it plays.
}

// Frames of the largest picture are 256 MiB; stopping while the player is busy with them must
// not wait on it for long. A larger picture is refused and the timeline keeps its own.
TEST_F(Playback, AtTheLargestPictureStopReturnsPromptly) {
    control->SetVideoTrackResolution(kMaxPictureSide, kMaxPictureSide);
    control->SetVideoTrackResolution(kMaxPictureSide * 2, kMaxPictureSide * 2);
    AddClip();
    control->Play();
    int32_t width = 0;
    ASSERT_TRUE(Within(60s, [&] { return (width = Shown().width) != 0; }));
    EXPECT_EQ(width, kMaxPictureSide);
    const auto start = std::chrono::steady_clock::now();
    control->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(Model().IsPlaying());
}

TEST_F(Playback, AnEmptyTimelinePlaysItsOneBlackFrameAndCompletes) {
    control->Play();
    ASSERT_TRUE(Model().IsPlaying());
    for (int tick = 0; tick < 3 && Model().IsPlaying(); ++tick) {
        std::this_thread::sleep_for(300ms);
        Tick();
    }
    EXPECT_FALSE(Model().IsPlaying());
    EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "completed"), sink.events.end());
}

}  // namespace
}  // namespace vortrel
