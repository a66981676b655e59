#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "editing/EditFailures.h"
#include "model/TimelineModel.h"
#include "ports/ITimerHost.h"
#include "ports/Platform.h"
#include "support/FakeAudioDecoder.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

// A window that records what the control asks of it.
class RecordingWindow : public IControlWindow, public ITimerHost {
  public:
    void Invalidate() override { log.push_back("invalidate"); }
    void SetCursor(ControlCursor cursor) override {
        log.push_back(cursor == ControlCursor::Wait ? "wait" : "arrow");
    }
    void SetCapture() override { log.push_back("capture"); }
    void ReleaseCapture() override { log.push_back("release"); }
    void SetTimer(int32_t, int32_t) override {}
    void KillTimer(int32_t) override {}
    std::vector<std::string> log;
};

// An event sink that records the events in order.
class RecordingSink : public ITimelineControlEvents {
  public:
    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override { log.push_back("update"); }
    void OnPlaying(int32_t position) override {
        log.push_back("playing " + std::to_string(position));
    }
    void OnPlayingCompleted() override { log.push_back("completed"); }
    void OnConvertProgress(int32_t progress) override {
        log.push_back("progress " + std::to_string(progress));
    }
    void OnConvertCompleted() override { log.push_back("converted"); }
    std::vector<std::string> log;
};

// A control with a window, on a fake catalogue, with a real file to add.
class Control : public ::testing::Test {
  protected:
    Control() {
        detector.Script().lengths = std::deque<std::optional<double>>(100, 60.0);
        control.Initialize();
        control.OnCreate(&window, &window);
        control.Advise(&sink);
        file = FromPath(media.WriteFile("clip.avi", "not really a video"));
        window.log.clear();
    }
    ~Control() override {
        control.Unadvise(&sink);
        control.OnDestroy();
    }

    // Files last a minute (the detector) and decode to nothing (the audio decoder).
    testing::ScopedFakeMediaDetector detector;
    testing::ScopedFakeAudioDecoder decoder;
    testing::MediaFolder media;
    testing::FakeDeviceCatalog devices;
    std::shared_ptr<EditFailures> failures = std::make_shared<EditFailures>();
    CTimelineControl control{devices.AsPlatform(), failures};
    RecordingWindow window;
    RecordingSink sink;
    std::wstring file;
};

TEST_F(Control, NullOutputsAreNeverWrittenAndNothingCrashes) {
    EXPECT_EQ(control.AddVideoClip(1, file.c_str(), 0, 1, 0, nullptr), kOk);
    EXPECT_EQ(control.AddVideoClip(1, nullptr, 0, 1, 0, nullptr), kOk);
    EXPECT_EQ(control.GetVideoClip(1, 0, nullptr, nullptr, nullptr, nullptr), kOk);
    EXPECT_EQ(control.GetAudioClip(9, 9, nullptr, nullptr, nullptr, nullptr, nullptr), kOk);
    EXPECT_EQ(control.GetTextClip2(7, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr),
              kOk);
    EXPECT_EQ(control.GetMediaInfo(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              kOk);
    EXPECT_EQ(control.LoadProject(nullptr, nullptr), kOk);
    EXPECT_EQ(control.Save(L"x", nullptr), kOk);
    EXPECT_EQ(control.get_OutputType(nullptr), kOk);
    int32_t count = 0;
    control.GetClipCount(1, &count);
    EXPECT_EQ(count, 1);
}

#ifndef _WIN32  // Windows has no named pipes in the file system
// A pipe with no writer would hold whoever opened it for reading until one came.
TEST_F(Control, PipesNamedForProjectsOrTrackImagesNeverHoldTheControl) {
    const std::filesystem::path pipe = media.Path() / "pipe.xml";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    int32_t result = -1;
    EXPECT_EQ(control.LoadProject(FromPath(pipe).c_str(), &result), kOk);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(control.ChangeTrackImage(1, FromPath(pipe).c_str()), kOk);
    // The wait cursor around the load, and no repaint: nothing changed.
    EXPECT_EQ(window.log, (std::vector<std::string>{"wait", "arrow"}));
}
#endif

TEST_F(Control, EveryEventFollowsAnUpdate) {
    TimelineModel& model = *control.GetModel();
    model.GetPlaybackPosition()->Notify(1234);
    model.GetPlaybackCompleted()->Notify(0);
    model.GetConvertProgress()->Notify(25);
    model.GetConvertCompleted()->Notify(0);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"update", "playing 1234", "update", "completed",
                                                  "update", "progress 25", "update", "converted"}));
    // A sink that disconnects while it is told does not stop the others being told.
    RecordingSink second;
    struct Leaving : RecordingSink {
        CTimelineControl* control = nullptr;
        void OnUpdate() override { control->Unadvise(this); }
    } leaving;
    leaving.control = &control;
    control.Advise(&leaving);
    control.Advise(&second);
    model.GetPlaybackPosition()->Notify(5);
    EXPECT_EQ(second.log, (std::vector<std::string>{"update", "playing 5"}));
    control.Unadvise(&second);
}

TEST_F(Control, RepaintsAndCursorsFollowTheOutcome) {
    int32_t result = 0;
    control.AddAudioClip(5, file.c_str(), 0, 2, 0, 1, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(window.log, (std::vector<std::string>{"wait", "invalidate", "arrow"}));

    window.log.clear();
    control.AddAudioClip(5, L"", 0, 2, 0, 1, &result);  // refused: no cursor, no repaint
    control.ChangeVideoClip(1, 5, file.c_str(), 0, 2, 0, &result);
    control.DeleteClip(1, 3);
    EXPECT_TRUE(window.log.empty());

    // A set-up that fails leaves the content in place, reports -5, repaints nothing and does
    // not leave the wait cursor behind.
    failures->FailAlways(EditOp::AddSource);
    control.AddAudioClip(6, file.c_str(), 0, 2, 0, 1, &result);
    EXPECT_EQ(result, -5);
    EXPECT_EQ(window.log, (std::vector<std::string>{"wait", "arrow"}));
    failures->Reset();
    failures->FailAlways(EditOp::SetStartStop);  // the text overlay refuses its span
    control.AddTextClip(7, L"caption", 0, 1, 0, 0, 0, 0, &result);
    EXPECT_EQ(result, -5);
    int32_t count = 0;
    control.GetClipCount(7, &count);
    EXPECT_EQ(count, 1);
}

TEST_F(Control, OutputSettingsTakeTheirDefaultsWhenTheWindowIsMade) {
    control.put_MPEGWidth(70000);
    control.put_OutputType(7);
    control.OnDestroy();
    control.OnCreate(&window, &window);
    int32_t width = 0, type = -1;
    control.get_MPEGWidth(&width);
    control.get_OutputType(&type);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(type, 0);
}

TEST(UninitialisedControl, AnswersWithoutAModel) {
    testing::FakeDeviceCatalog devices;
    CTimelineControl control(devices.AsPlatform());
    int32_t result = 99;
    control.AddVideoClip(1, L"x", 0, 1, 0, &result);
    EXPECT_EQ(result, -2);
    control.GetClipCount(1, &result);
    EXPECT_EQ(result, -1);
    OutString name = L"x";
    control.GetDESEffect(0, &name);
    EXPECT_EQ(name, OutString(L""));
    control.Play();
    control.Clear();
}

}  // namespace
}  // namespace vortrel
