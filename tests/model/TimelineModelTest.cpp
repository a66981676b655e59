#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesRenderer.h"
#include "editing/DesSource.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "editing/EditNode.h"
#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaCache.h"
#include "model/MediaEffect.h"
#include "model/TextTrack.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/FakeRenderEngine.h"
#include "support/FakeTextRasteriser.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::FakeDeviceCatalog;
using Calls = std::vector<std::string>;

constexpr NativeWindow kHostWindow = 7;
constexpr NativeWindow kHostParent = 3;

// A built model on a catalogue of two effects, a transition, encoders and profiles; its
// clips set themselves up against 6 s sources and a fake text drawer.
class Model : public ::testing::Test {
  protected:
    Model() {
        detector.Script().lengths = std::deque<std::optional<double>>(100, 6.0);
        MediaCache::Instance().Clear();
        devices.Add(DeviceCategory::VideoEffects, L"Sepia");
        devices.Add(DeviceCategory::VideoEffects, L"Invert");
        devices.Add(DeviceCategory::VideoTransitions, L"Dissolve");
        devices.Add(DeviceCategory::VideoCompressors, L"Motion JPEG");
        devices.Add(DeviceCategory::AudioCompressors, L"MP3");
        devices.Add(DeviceCategory::AudioCompressors, L"AC-3");
        devices.profiles = {{L"Small", L"", Guid::FromName("profile").ToString(), 1, 1},
                            {L"Audio only", L"", Guid::FromName("a").ToString(), 0, 1},
                            {L"No id", L"", Guid{}.ToString(), 1, 1}};
        SetTextRasteriser(std::make_shared<testing::FakeTextRasteriser>());
        model = std::make_unique<TimelineModel>(devices, failures);
        model->BuildTracks();
    }
    ~Model() override { SetTextRasteriser(nullptr); }
    bool Muted(int32_t index) {
        return model->GetTrack(index)->GetDesTrack()->GetTrackObject()->IsMuted();
    }
    template <typename Content = IContent>
    Content& Make(int32_t track, int32_t start, int32_t stop) {
        auto& content = static_cast<Content&>(*model->GetTrack(track)->CreateContent());
        content.GetSegment()->SetStartMs(start);
        content.GetSegment()->SetStopMs(stop);
        return content;
    }
    IContent& Add(int32_t track, int32_t start, int32_t stop) {
        IContent& content = Make(track, start, stop);
        content.Update();
        return content;
    }

    testing::ScopedFakeMediaDetector detector;
    FakeDeviceCatalog devices;
    std::shared_ptr<EditFailures> failures = std::make_shared<EditFailures>();
    std::unique_ptr<TimelineModel> model;
};

TEST_F(Model, BuildsEightTracksInOrderAndHidesTheSecondVideoAndAudio) {
    model = std::make_unique<TimelineModel>(devices, failures);
    std::vector<std::string> announced;
    auto listen = [&](const std::shared_ptr<TrackEvent>& subject, std::string kind) {
        auto observer = std::make_shared<CallbackObserver>([&announced, kind](ISubject& s) {
            announced.push_back(kind + std::to_string(static_cast<TrackEvent&>(s).GetIndex()));
        });
        subject->Attach(observer.get());
        return observer;
    };
    auto keep = {listen(model->GetTransitionTrackAdded(), "transition"),
                 listen(model->GetVideoTrackAdded(), "video"),
                 listen(model->GetImageTrackAdded(), "image"),
                 listen(model->GetEffectTrackAdded(), "effect"),
                 listen(model->GetAudioTrackAdded(), "audio"),
                 listen(model->GetTextTrackAdded(), "text")};
    model->BuildTracks();
    EXPECT_EQ(announced, (std::vector<std::string>{"transition0", "video1", "video2", "image3",
                                                   "effect4", "audio5", "audio6", "text7"}));
    ASSERT_EQ(model->GetTrackCount(), 8);
    for (int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(model->GetTrack(i)->IsVisible(), i != 2 && i != 6) << i;
        EXPECT_EQ(model->IndexOfTrack(model->GetTrack(i)), i);
    }
    EXPECT_FALSE(model->GetTrack(0)->GetDesTrack());
    EXPECT_FALSE(model->GetTrack(4)->GetDesTrack());
    EXPECT_TRUE(Muted(2));
    EXPECT_TRUE(Muted(6));
    // The video group's layers from first to last: video 1, video 2, image, text.
    const auto& layers = model->GetDesVideoGroup()->GetGroupObject()->GetTracks();
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0], model->GetTrack(1)->GetDesTrack()->GetTrackObject());
    EXPECT_EQ(layers[3], model->GetTrack(7)->GetDesTrack()->GetTrackObject());
    EXPECT_EQ(model->GetDesAudioGroup()->GetGroupObject()->GetTracks().size(), 2u);
    EXPECT_EQ(model->GetTrack(8), nullptr);
    EXPECT_EQ(model->GetTrack(-1), nullptr);
    testing::TestTrack foreign;
    EXPECT_EQ(model->IndexOfTrack(&foreign), -1);
    EXPECT_EQ(model->IndexOfTrack(nullptr), -1);
}

TEST_F(Model, SetVisibleMutesAndAnnouncesTwice) {
    std::vector<bool> seen;
    CallbackObserver observer(
        [&](ISubject& s) { seen.push_back(static_cast<VisibilityEvent&>(s).IsVisible()); });
    model->GetTrackVisibilityChanged()->Attach(&observer);
    model->SetVisible(1, false);
    EXPECT_TRUE(Muted(1));
    EXPECT_EQ(seen, (std::vector<bool>{false, false}));
    model->SetVisible(2, true);
    EXPECT_FALSE(Muted(2));
    model->SetVisible(0, false);  // no editing-timeline track to mute, still announced
    model->SetVisible(8, false);
    model->SetVisible(-1, false);
    EXPECT_EQ(seen.size(), 6u);
    model->GetTrackVisibilityChanged()->Detach(&observer);
}

TEST_F(Model, ClearAnnouncesEachRemovalOnce) {
    IContent& clip = Add(1, 0, 4000);
    Add(3, 0, 1000);
    Add(1, 8000, 9000);

    int32_t position = -1, trackIndex = -1;
    ASSERT_TRUE(model->FindContent(&clip, position, trackIndex));
    EXPECT_EQ(position, 0);
    EXPECT_EQ(trackIndex, 1);

    int removals = 0;
    CallbackObserver removed([&](ISubject&) { ++removals; });
    for (int32_t i = 0; i < 8; ++i) {
        model->GetTrack(i)->GetContentRemoved()->Attach(&removed);
    }
    model->Clear();
    EXPECT_EQ(removals, 3);
    for (int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(model->GetTrack(i)->GetContentCount(), 0);
        model->GetTrack(i)->GetContentRemoved()->Detach(&removed);
    }
    position = trackIndex = 42;
    EXPECT_FALSE(model->FindContent(&clip, position, trackIndex));  // clip is gone
    EXPECT_EQ(position, 42);
}

TEST_F(Model, TheTextOverlaySpansToTheLatestTextStop) {
    auto& text = static_cast<TextTrack&>(*model->GetTrack(7));
    const auto& overlay = text.GetOverlay()->GetTransitionObject();
    ASSERT_TRUE(overlay);
    Guid keyClass;
    ASSERT_TRUE(overlay->GetSubObjectGUID(keyClass));
    EXPECT_EQ(keyClass, kClsidDxtKey);
    Add(7, 1000, 5000);
    Add(7, 6000, 9000);
    EXPECT_EQ(overlay->GetStop(), 9000 * 10000LL);
    Add(7, -5000, -1000);  // ends before the timeline starts: the span stays
    EXPECT_EQ(overlay->GetStop(), 9000 * 10000LL);

    // The clip's own source takes its times; the overlay then refuses its new span.
    failures->FailCall(EditOp::SetStartStop, 2);
    EXPECT_THAT(
        [&] { Add(7, 10000, 12000); },
        ::testing::ThrowsMessage<DesError>(::testing::StrEq("Could not set transition times")));
}

TEST_F(Model, EncoderAndProfileListsComeFromTheCatalogue) {
    EXPECT_EQ(model->GetVideoEncoderName(0), L"Motion JPEG");
    EXPECT_EQ(model->GetVideoEncoderName(1), L"");
    EXPECT_EQ(model->GetAudioEncoderName(1), L"AC-3");
    EXPECT_EQ(model->GetAudioEncoderName(-1), L"");
    EXPECT_EQ(model->GetWMVProfileName(0), L"Small");
    EXPECT_EQ(model->GetWMVProfileName(1), L"No id");  // the audio-only one is skipped
    EXPECT_EQ(model->GetWMVProfileId(0), Guid::FromName("profile").ToBytes());
    EXPECT_EQ(model->GetWMVProfileId(1), (std::array<uint8_t, 16>{}));

    FakeDeviceCatalog broken;
    broken.listings[DeviceCategory::VideoCompressors].failure =
        IDeviceCatalog::Failure::ClassEnumerator;
    TimelineModel other(broken);
    EXPECT_EQ(other.GetVideoEncoderName(0), L"");
}

TEST_F(Model, NoMediaLeftFailsBeforeAnyTimeChanges) {
    auto& clip = Make<VideoClip>(kVideo1Track, 20000, 22000);
    clip.SetSource(L"six.avi");
    clip.GetMediaSegment()->SetStartMs(7000);
    EXPECT_THAT([&] { clip.Update(); },
                ::testing::ThrowsMessage<DesError>(::testing::StrEq("Could not setup video clip")));
    EXPECT_EQ(clip.GetSegment()->GetStop(), 22000);

    detector.Script().openSucceeds = false;  // a file that cannot be read
    auto& sound = Make<AudioClip>(kAudio1Track, 0, 1000);
    sound.SetSource(L"unreadable.wav");
    EXPECT_THROW(sound.Update(), DesError);
    EXPECT_EQ(sound.GetSegment()->GetStop(), 1000);
}

TEST_F(Model, ImagesPlayFromTheirFirstMomentAndRefusedSpansFail) {
    auto& image = Make<ImageClip>(kImageTrack, 3000, 5000);
    image.SetSource(L"logo.png");
    image.Update();
    const EditNode& node = *image.GetDesSource()->GetSourceObject();
    EXPECT_EQ(node.GetMediaStart(), 0);
    EXPECT_EQ(node.GetMediaStop(), 2000 * 10000LL);

    auto& reversed = Make<ImageClip>(kImageTrack, 9000, 8000);  // stop before start
    reversed.SetSource(L"logo.png");
    EXPECT_THROW(reversed.Update(), DesError);
}

TEST_F(Model, EffectsKeepTheirNodeWhileTheirNameStays) {
    auto& effect = Make<MediaEffect>(kEffectTrack, 0, 2000);
    effect.SetSource(L"Sepia");
    effect.SetParams(L"Level=5");
    effect.Update();
    auto first = effect.GetDesEffect()->GetEffectObject();
    EXPECT_EQ(first->GetPropertySetter()->GetProperties().size(), 1u);
    EXPECT_EQ(first->GetStop(), 2000 * 10000LL);

    effect.SetParams(L"");  // same class: the node and its earlier properties stay
    effect.Update();
    EXPECT_EQ(effect.GetDesEffect()->GetEffectObject(), first);
    EXPECT_EQ(first->GetPropertySetter()->GetProperties().size(), 1u);

    effect.SetSource(L"Invert");  // another effect: a new node, the old one goes
    effect.Update();
    EXPECT_NE(effect.GetDesEffect()->GetEffectObject(), first);
    EXPECT_FALSE(first->IsInTimeline());

    effect.SetSource(L"No Such Effect");
    EXPECT_THROW(effect.Update(), std::out_of_range);
}

TEST_F(Model, TransitionsGoOnTheirMediaTrack) {
    auto& transition = Make<TransitionEffect>(kTransitionTrack, 1000, 2000);
    transition.SetSource(L"Dissolve");
    EXPECT_THROW(transition.Update(), DesError);  // no media track yet
    transition.SetMediaTrack(model->GetTrack(kVideo2Track));
    transition.SetReverse(true);
    transition.Update();
    const auto& node = transition.GetDesTransition()->GetTransitionObject();
    ASSERT_TRUE(node);
    EXPECT_TRUE(node->IsInTimeline());
    EXPECT_TRUE(node->GetSwapInputs());
    EXPECT_EQ(model->GetTrack(kVideo2Track)->GetDesTrack()->GetTrackObject()->GetTransitions()[0],
              node);
}

TEST_F(Model, MediaLengthsAreAskedOncePerFile) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("vortrel-length-" + std::to_string(getpid()));
    std::ofstream(file) << "media";
    auto& first = Make<VideoClip>(kVideo1Track, 0, 1000);
    first.SetSource(file.wstring());
    first.Update();
    auto& second = Make<VideoClip>(kVideo2Track, 0, 1000);
    second.SetSource(file.wstring());
    second.Update();
    EXPECT_EQ(detector.Script().created, 1);
    std::filesystem::remove(file);
}

// A timer window that records what is set on it.
class RecordingHost : public ITimerHost {
  public:
    void SetTimer(int32_t id, int32_t ms) override { running[id] = ms; }
    void KillTimer(int32_t id) override { running.erase(id); }
    std::map<int32_t, int32_t> running;
};

TEST(TimerDispatcher, IdsAreUniqueAndTimersMoveToTheRemainingWindow) {
    TimerDispatcher& timers = TimerDispatcher::Instance();
    const int32_t first = timers.TakeTimerId();
    EXPECT_EQ(timers.TakeTimerId(), first + 1);

    RecordingHost older, newer;
    timers.RegisterHost(&older);
    timers.SetTimer(first, 1000);
    timers.RegisterHost(&newer);
    EXPECT_TRUE(older.running.empty());
    EXPECT_EQ(newer.running[first], 1000);
    timers.UnregisterHost(&newer);  // the newer control goes first
    EXPECT_EQ(older.running[first], 1000);
    timers.KillTimer(first);
    EXPECT_TRUE(older.running.empty());
    timers.UnregisterHost(&older);
    EXPECT_EQ(timers.GetHost(), nullptr);

    // A model takes two ids and stops listening when it goes.
    const size_t listeners = timers.GetTimerEvent()->GetObserverCount();
    {
        FakeDeviceCatalog devices;
        TimelineModel model(devices);
        EXPECT_EQ(model.GetConvertTimerId(), model.GetPreviewTimerId() + 1);
        EXPECT_GT(model.GetPreviewTimerId(), first + 1);
        EXPECT_EQ(timers.GetTimerEvent()->GetObserverCount(), listeners + 1);
    }
    EXPECT_EQ(timers.GetTimerEvent()->GetObserverCount(), listeners);
    timers.Fire(1);
}

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
    EXPECT_THAT(
        [&] { TimelineModel model(devices); },
        ::testing::ThrowsMessage<DesError>(::testing::StrEq("Could not create render engine")));
}

}  // namespace
}  // namespace vortrel
