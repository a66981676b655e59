#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editing/DesError.h"
#include "editing/DesRenderer.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeRenderEngine.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using Calls = std::vector<std::string>;

constexpr NativeWindow kHostWindow = 7;
constexpr NativeWindow kHostParent = 3;

// A model on the fake render engine, with the preview timer and the position and completion
// notifications written into the engine's call log, so that one list shows their order.
class Preview : public ::testing::Test, public ITimerHost {
  protected:
    Preview() {
        TimerDispatcher::Instance().RegisterHost(this);
        model = std::make_unique<TimelineModel>(devices);
        model->BuildTracks();
        model->GetPlaybackPosition()->Attach(&positionLog);
        model->GetPlaybackCompleted()->Attach(&completedLog);
    }
    ~Preview() override {
        model.reset();
        TimerDispatcher::Instance().UnregisterHost(this);
    }

    void SetTimer(int32_t id, int32_t ms) override {
        if (id == model->GetPreviewTimerId()) {
            Log().push_back("SetTimer " + std::to_string(ms));
        }
    }
    void KillTimer(int32_t id) override {
        if (model && id == model->GetPreviewTimerId()) {
            Log().push_back("KillTimer");
        }
    }

    Calls& Log() { return engine.Script().calls; }
    Calls TakeLog() { return std::exchange(Log(), {}); }
    void Tick() { TimerDispatcher::Instance().Fire(model->GetPreviewTimerId()); }
    void ExpectIdle() {
        EXPECT_FALSE(model->IsPlaying());
        EXPECT_FALSE(model->IsPaused());
        EXPECT_FALSE(model->GetPreviewRenderer()->IsConnected());
    }

    testing::ScopedFakeRenderEngine engine;
    testing::ScopedPort<INativeWindows> windows{testing::FakeNativeWindows::MakerOf({
        {kHostWindow, {kHostParent, WindowRect{9, 9, 411, 211}}},
        {kHostParent, {0, WindowRect{0, 0, 640, 480}}},
    })};
    testing::FakeDeviceCatalog devices;
    std::unique_ptr<TimelineModel> model;
    CallbackObserver positionLog{[this](ISubject& subject) {
        Log().push_back("position " + std::to_string(static_cast<SeekEvent&>(subject).GetValue()));
    }};
    CallbackObserver completedLog{[this](ISubject&) { Log().push_back("completed"); }};
};

TEST_F(Preview, BeforeTheFirstPlayPauseStopAndSeekDoNothing) {
    TakeLog();
    model->Pause();
    model->Seek(5000);
    model->Stop();
    Tick();  // a stray tick only stops its timer
    EXPECT_EQ(TakeLog(), (Calls{"KillTimer"}));
    ExpectIdle();
}

TEST_F(Preview, PlayBuildsOncePlacesTheVideoAndReportsTheStart) {
    model->SetPreviewWindow(kHostWindow);
    EXPECT_EQ(model->GetPreviewParent(), kHostParent);
    EXPECT_EQ(model->GetPreviewRect(), (WindowRect{10, 10, 410, 210}));
    TakeLog();

    model->Play();
    EXPECT_EQ(TakeLog(),
              (Calls{"SetTimelineObject", "ConnectFrontEnd", "GetState", "SetOwner 3",
                     "SetWindowStyle 1140850688", "GetVideoSize", "SetWindowPosition 77 10 266 200",
                     "position 0", "Run", "SetTimer 1000"}));
    EXPECT_TRUE(model->IsPlaying());
    EXPECT_FALSE(model->IsPaused());

    // Playing again keeps the position: no build, no placement, no report.
    engine.Script().current = 12'340'000;
    model->Play();
    EXPECT_EQ(TakeLog(), (Calls{"GetState", "Run", "SetTimer 1000"}));
    EXPECT_TRUE(model->IsPlaying());
}

TEST_F(Preview, AnOutputResetRendersTheOutputsAndFailuresLeaveThePreviewIdle) {
    engine.Script().connectResult = kRenderOutputReset;
    model->Play();
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "RenderOutputPins"), 1);
    EXPECT_TRUE(model->IsPlaying());
    model->Stop();

    for (auto fail :
         {&testing::RenderScript::setTimelineResult, &testing::RenderScript::connectResult,
          &testing::RenderScript::renderPinsResult}) {
        engine.Script() = testing::RenderScript{};
        engine.Script().connectResult = kRenderOutputReset;
        engine.Script().*fail = kRenderFailed;
        model->Play();
        EXPECT_EQ(std::count(Log().begin(), Log().end(), "Run"), 0);
        EXPECT_EQ(std::count(Log().begin(), Log().end(), "position 0"), 0);
        ExpectIdle();
    }
}

TEST_F(Preview, WithoutAPreviewWindowTheVideoIsLeftWhereTheEngineKeepsIt) {
    model->Play();
    EXPECT_EQ(TakeLog(), (Calls{"SetTimelineObject", "ConnectFrontEnd", "GetState", "position 0",
                                "Run", "SetTimer 1000"}));
    model->Stop();
    const Calls stop = TakeLog();
    EXPECT_EQ(std::count(stop.begin(), stop.end(), "SetVisible 0"), 0);
}

TEST_F(Preview, SeekWhilePlayingPausesAndReportsTheSeekThenTheReadBack) {
    model->Play();
    TakeLog();
    model->Seek(5000);
    EXPECT_EQ(TakeLog(), (Calls{"SetPositions 50000000", "position 5000", "Pause", "KillTimer",
                                "GetPositions", "position 5000"}));
    EXPECT_FALSE(model->IsPlaying());
    EXPECT_TRUE(model->IsPaused());

    // Playing on resumes without a report of the start.
    model->Play();
    EXPECT_EQ(TakeLog(), (Calls{"GetState", "Run", "SetTimer 1000"}));
}

TEST_F(Preview, TicksReportThePositionAndTheTickAfterTheEndCompletesAndStops) {
    model->SetPreviewWindow(kHostWindow);
    model->Play();
    TakeLog();
    engine.Script().current = 9'999'999;  // reported in whole milliseconds
    Tick();
    EXPECT_EQ(TakeLog(), (Calls{"GetPositions", "position 999", "IsComplete"}));

    engine.Script().current = 30'000'000;
    engine.Script().complete = true;
    Tick();
    EXPECT_EQ(TakeLog(), (Calls{"GetPositions", "position 3000", "IsComplete"}));
    EXPECT_TRUE(model->IsPlaying());

    Tick();
    EXPECT_EQ(TakeLog(), (Calls{"KillTimer", "completed", "KillTimer", "SetPositions 0",
                                "position 0", "Pause", "KillTimer", "GetPositions", "position 0",
                                "Stop", "SetVisible 0", "SetOwner 0", "ScrapIt"}));
    ExpectIdle();

    // The next play builds the graph afresh and starts from the beginning.
    engine.Script().complete = false;
    model->Play();
    EXPECT_EQ(Log().front(), "SetTimelineObject");
    EXPECT_TRUE(model->IsPlaying());
}

TEST_F(Preview, ClearAndLoadingAProjectStopThePreview) {
    model->Play();
    model->Clear();
    ExpectIdle();

    model->Play();
    model->Pause();
    EXPECT_TRUE(model->IsPaused());
    const std::string file = ::testing::TempDir() + "preview-project.xml";
    ASSERT_TRUE(model->SaveProject(std::wstring(file.begin(), file.end())));
    ASSERT_TRUE(model->LoadProject(std::wstring(file.begin(), file.end())));
    ExpectIdle();
}

TEST_F(Preview, AHostThatStopsFromInsideAReportLeavesThePreviewIdle) {
    model->Play();
    positionLog.SetCallback([this](ISubject&) { model->Stop(); });
    Tick();  // the report of the position stops the preview
    ExpectIdle();
    model->Play();
    model->Seek(1000);  // so does the report of the seek
    ExpectIdle();
    positionLog.SetCallback(nullptr);
}

TEST_F(Preview, HandlesThatAreNotWindowsGiveNoPreviewParent) {
    model->SetPreviewWindow(kHostWindow);
    model->SetPreviewWindow(99);
    EXPECT_EQ(model->GetPreviewParent(), 0);
    EXPECT_EQ(model->GetPreviewRect(), WindowRect{});
    model->SetPreviewWindow(kHostParent);  // a top-level window has no parent either
    EXPECT_EQ(model->GetPreviewParent(), 0);
}

TEST(PreviewPlacement, KeepsTheVideoShapeCentredInTheArea) {
    // As high as a wide area, as wide as a tall one.
    EXPECT_EQ(PlaceVideo({10, 10, 410, 210}, 320, 240), (WindowRect{77, 10, 343, 210}));
    EXPECT_EQ(PlaceVideo({0, 0, 320, 480}, 320, 240), (WindowRect{0, 120, 320, 360}));
    EXPECT_EQ(PlaceVideo({5, 5, 325, 245}, 320, 240), (WindowRect{5, 5, 325, 245}));
    // Sizes that give no shape fill the area rather than landing anywhere.
    EXPECT_EQ(PlaceVideo({0, 0, 400, 200}, 0, 0), (WindowRect{0, 0, 400, 200}));
    EXPECT_EQ(PlaceVideo({0, 0, 400, 200}, 320, 0), (WindowRect{0, 0, 400, 200}));
    EXPECT_EQ(PlaceVideo({0, 0, 0, 0}, 320, 240), (WindowRect{0, 0, 0, 0}));
}

TEST(PreviewEngine, APlatformWithoutAnEngineCannotPlayAndAFailingOneFailsTheModel) {
    testing::FakeDeviceCatalog devices;
    {
        TimelineModel model(devices);  // no render engine installed
        model.Play();
        EXPECT_FALSE(model.IsPlaying());
    }
    testing::ScopedFakeRenderEngine engine;
    engine.Script().createSucceeds = false;
    try {
        TimelineModel model(devices);
        FAIL() << "the model was made without its render engine";
    } catch (const DesError& error) {
        EXPECT_STREQ(error.what(), "Could not create render engine");
    }
}

}  // namespace
}  // namespace vortrel
