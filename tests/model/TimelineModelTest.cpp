#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/resource.h>  // a file-size limit makes a save fail part way
#endif

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesRenderer.h"
#include "editing/DesSource.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "editing/EditFailures.h"
#include "editing/EditNode.h"
#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaCache.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TextTrack.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "ports/INativeWindows.h"
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
namespace fs = std::filesystem;

// A content of a kind on a model's track at start..stop ms, with a source when it has one.
template <typename Content = IContent>
Content& Place(TimelineModel& model, int32_t track, int32_t start, int32_t stop,
               const std::wstring& source = L"") {
    auto& content = static_cast<Content&>(*model.GetTrack(track)->CreateContent());
    content.GetSegment()->SetStartMs(start);
    content.GetSegment()->SetStopMs(stop);
    if constexpr (requires { content.SetSource(source); }) {
        content.SetSource(source);
    }
    return content;
}

constexpr NativeWindow kHostWindow = 7;
constexpr NativeWindow kHostParent = 3;

// A built model on a catalogue of two effects and a transition; its
// clips set themselves up against 6 s sources and a fake text drawer.
class Model : public ::testing::Test {
  protected:
    Model() {
        detector.Script().lengths = std::deque<std::optional<double>>(100, 6.0);
        MediaCache::Instance().Clear();
        devices.Add(DeviceCategory::VideoEffects, L"Sepia");
        devices.Add(DeviceCategory::VideoEffects, L"Invert");
        devices.Add(DeviceCategory::VideoTransitions, L"Dissolve");
        SetTextRasteriser(std::make_shared<testing::FakeTextRasteriser>());
        model = std::make_unique<TimelineModel>(devices, failures);
        model->BuildTracks();
    }
    ~Model() override { SetTextRasteriser(nullptr); }
    bool Muted(int32_t index) {
        return model->GetTrack(index)->GetDesTrack()->GetTrackObject()->IsMuted();
    }
    template <typename Content = IContent>
    Content& Make(int32_t track, int32_t start, int32_t stop, const std::wstring& source = L"") {
        return Place<Content>(*model, track, start, stop, source);
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
    std::vector<std::unique_ptr<CallbackObserver>> keep;
    for (auto [subject, kind] : {std::pair{model->GetTransitionTrackAdded(), "transition"},
                                 {model->GetVideoTrackAdded(), "video"},
                                 {model->GetImageTrackAdded(), "image"},
                                 {model->GetEffectTrackAdded(), "effect"},
                                 {model->GetAudioTrackAdded(), "audio"},
                                 {model->GetTextTrackAdded(), "text"}}) {
        keep.push_back(std::make_unique<CallbackObserver>([&announced, kind](ISubject& s) {
            announced.push_back(kind + std::to_string(static_cast<TrackEvent&>(s).GetIndex()));
        }));
        subject->Attach(keep.back().get());
    }
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

TEST_F(Model, NoMediaLeftFailsBeforeAnyTimeChanges) {
    auto& clip = Make<VideoClip>(kVideo1Track, 20000, 22000, L"six.avi");
    clip.GetMediaSegment()->SetStartMs(7000);
    EXPECT_THAT([&] { clip.Update(); },
                ::testing::ThrowsMessage<DesError>(::testing::StrEq("Could not setup video clip")));
    EXPECT_EQ(clip.GetSegment()->GetStop(), 22000);

    detector.Script().openSucceeds = false;  // a file that cannot be read
    auto& sound = Make<AudioClip>(kAudio1Track, 0, 1000, L"unreadable.wav");
    EXPECT_THROW(sound.Update(), DesError);
    EXPECT_EQ(sound.GetSegment()->GetStop(), 1000);
}

TEST_F(Model, ImagesPlayFromTheirFirstMomentAndRefusedSpansFail) {
    auto& image = Make<ImageClip>(kImageTrack, 3000, 5000, L"logo.png");
    image.Update();
    const EditNode& node = *image.GetDesSource()->GetSourceObject();
    EXPECT_EQ(std::pair(node.GetMediaStart(), node.GetMediaStop()),
              (std::pair<int64_t, int64_t>(0, 2000 * 10000LL)));
    auto& reversed = Make<ImageClip>(kImageTrack, 9000, 8000, L"logo.png");  // stop before start
    EXPECT_THROW(reversed.Update(), DesError);
}

// Audio-only profiles are not listed, a profile without an id has a zero one, and a listing
// that fails leaves its list empty.
TEST(ModelCatalogue, ProfilesAndEncodersAsListed) {
    FakeDeviceCatalog devices;
    devices.profiles = {{L"Audio only", L"", Guid::FromName("a").ToString(), 0, 1},
                        {L"No id", L"", Guid{}.ToString(), 1, 1}};
    devices.listings[DeviceCategory::VideoCompressors].failure =
        IDeviceCatalog::Failure::ClassEnumerator;
    TimelineModel model(devices);
    EXPECT_EQ(model.GetWMVProfileName(0), L"No id");
    EXPECT_EQ(model.GetWMVProfileId(0), (std::array<uint8_t, 16>{}));
    EXPECT_EQ(model.GetVideoEncoderName(0), L"");
}

TEST_F(Model, EffectsKeepTheirNodeWhileTheirNameStays) {
    auto& effect = Make<MediaEffect>(kEffectTrack, 0, 2000, L"Sepia");
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
    auto& transition = Make<TransitionEffect>(kTransitionTrack, 1000, 2000, L"Dissolve");
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

// Window 7 lies at 9,9 to 411,211 in window 3, a top-level window of 640 x 480.
class HostWindows : public INativeWindows {
  public:
    NativeWindow GetParent(NativeWindow window) override {
        return window == kHostWindow ? kHostParent : 0;
    }
    bool GetClientRectInParent(NativeWindow window, WindowRect& rect) override {
        rect = window == kHostWindow ? WindowRect{9, 9, 411, 211} : WindowRect{0, 0, 640, 480};
        return window == kHostWindow || window == kHostParent;
    }
};

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
    testing::ScopedPort<INativeWindows> windows{[] { return std::make_unique<HostWindows>(); }};
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

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Two models on one catalogue and a folder of the test's own for their files.
class Project : public ::testing::Test {
  protected:
    Project() {
        folder = fs::temp_directory_path() / ("vortrel-project-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        model.BuildTracks();
        other.BuildTracks();
    }
    ~Project() override { fs::remove_all(folder); }

    testing::FakeDeviceCatalog devices;
    TimelineModel model{devices};
    TimelineModel other{devices};
    fs::path folder;
};

// The contents' fields, transitions' tracks and effects' parameters round-trip in the
// project call script; here: text beyond ASCII in the file's name and content, the whole
// font record and the tracks' visibility, which the control's calls cannot read back.
TEST_F(Project, ARoundTripKeepsTextFontsAndVisibility) {
    auto& text = Place<TextClip>(model, 7, 1000, 2000, L"Grüße \x65E5\x672C \U0001F600\nline two");
    LogFont font{.height = -24, .weight = 700, .italic = 1, .charSet = 255, .pitchAndFamily = 0x22};
    font.SetFaceName(L"Liberation Sans");
    text.SetLogFont(font);
    model.SetVisible(2, true);
    model.SetVisible(3, false);
    const fs::path file = folder / "round trip é.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
    ASSERT_TRUE(other.LoadProject(FromPath(file)));

    for (int32_t t = 0; t < 8; ++t) {
        EXPECT_EQ(other.GetTrack(t)->IsVisible(), model.GetTrack(t)->IsVisible()) << t;
        EXPECT_EQ(other.GetTrack(t)->GetContentCount(), model.GetTrack(t)->GetContentCount());
    }
    auto& loaded = static_cast<TextClip&>(*other.GetTrack(7)->GetContentAt(0));
    EXPECT_EQ(loaded.GetSource(), text.GetSource());
    EXPECT_EQ(loaded.GetLogFont(), font);
    EXPECT_EQ(ReadAll(file).rfind("<Timeline>", 0), 0u);  // no declaration
}

// A reader drops a text of white space alone and turns carriage returns into line feeds;
// every text saved must still load back as it was.
TEST_F(Project, TextsOfWhiteSpaceMarkupAndCarriageReturnsLoadBackAsTheyWere) {
    const std::wstring texts[] = {
        L" ",          L" \t\n ",          L"\r\n",         L"a\r\nb\rc\n",
        L"  padded  ", L"<b>&amp;\"'</b>", L"]]> <![CDATA["};
    int32_t start = 0;
    for (const std::wstring& text : texts) {
        Place<TextClip>(model, 7, start, start + 100, text);
        start += 100;
    }
    Place<TransitionEffect>(model, 0, 0, 100, L" ");
    Place<MediaEffect>(model, 4, 0, 100, L"\r");
    const fs::path file = folder / "white.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
    ASSERT_TRUE(other.LoadProject(FromPath(file)));
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(texts)); ++i) {
        EXPECT_EQ(static_cast<TextClip*>(other.GetTrack(7)->GetContentAt(i))->GetSource(), texts[i])
            << i;
    }
    EXPECT_EQ(static_cast<IEffect*>(other.GetTrack(0)->GetContentAt(0))->GetSource(), L" ");
    EXPECT_EQ(static_cast<IEffect*>(other.GetTrack(4)->GetContentAt(0))->GetSource(), L"\r");
}

TEST_F(Project, ReadsByElementNameInAnyOrderAndPlacesOverlappingClips) {
    const fs::path file = folder / "hand.xml";
    WriteAll(file,
             "<Timeline><Track Visible=\"true\"><Content><Params/><Reverse>0</Reverse>"
             "<Track>3</Track><Stop>2000</Stop><Start>1000</Start><Name>Dissolve</Name>"
             "<Unknown>ignored</Unknown></Content></Track>"
             "<Track Visible=\"1\"><Content><MediaStart>0</MediaStart><Stop>5000</Stop>"
             "<Start>0</Start><Source>a.avi</Source></Content><Content><Source>b.avi</Source>"
             "<Start>1000</Start><Stop>2000</Stop><MediaStart>7</MediaStart></Content></Track>"
             "<Track Visible=\"false\"/><Track Visible=\"0\"/><Track Visible=\"1\"/>"
             "<Track Visible=\"1\"/><Track Visible=\"1\"/><Track Visible=\" 1 \"/>"
             "<Track Visible=\"junk\"/></Timeline>");
    ASSERT_TRUE(other.LoadProject(FromPath(file)));
    EXPECT_EQ(static_cast<TransitionEffect&>(*other.GetTrack(0)->GetContentAt(0)).GetMediaTrack(),
              other.GetTrack(3));
    const auto& second = *other.GetTrack(1)->GetContentAt(1)->GetSegment();
    EXPECT_EQ(second.GetStart(), 5000);  // moved past the first clip, keeping its length
    EXPECT_EQ(second.GetStop(), 6000);
    EXPECT_FALSE(other.GetTrack(3)->IsVisible());
}

TEST_F(Project, AContentWhoseSetUpFailsStaysAndTheLoadGoesOn) {
    Place<TextClip>(model, 7, 0, 1000, L"caption");
    Place<ImageClip>(model, 3, 0, 1000, L"after.png");
    const fs::path file = folder / "setup.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));

    auto failures = std::make_shared<EditFailures>();
    TimelineModel failing(devices, failures);
    failing.BuildTracks();
    failures->FailAlways(EditOp::SetStartStop);  // the text overlay cannot take its span
    ASSERT_TRUE(failing.LoadProject(FromPath(file)));
    EXPECT_EQ(failing.GetTrack(7)->GetContentCount(), 1);
    EXPECT_EQ(failing.GetTrack(3)->GetContentCount(), 1);
}

TEST_F(Project, ABrokenProjectFailsAndLeavesTheModelAsItWas) {
    // Eight good tracks, or `count` of them, with the one at `at` replaced by `track`.
    const std::string good = "<Track Visible=\"1\"/>";
    auto tracks = [&](int at, const std::string& track, int count = 8) {
        std::string xml = "<Timeline>";
        for (int i = 0; i < count; ++i) {
            xml += i == at ? track : good;
        }
        return xml + "</Timeline>";
    };
    auto content = [](const std::string& fields) {
        return "<Track Visible=\"1\"><Content>" + fields + "</Content></Track>";
    };
    const std::string video = "<Source>a.avi</Source><Start>0</Start><Stop>1</Stop>";
    const std::string cases[] = {
        "",
        "<Timeline",
        "<Project/>",
        tracks(0, good, 7),
        tracks(0, "<Track/>"),
        tracks(0, "<Track Visible=\"yes\"/>"),
        tracks(1, content(video) + std::string(6 * good.size(), ' '), 2),
        tracks(1, content(video + "<MediaStart>12x</MediaStart>")),
        tracks(1, content(
                      "<Source></Source><Start>0</Start><Stop>1</Stop><MediaStart>0</MediaStart>")),
        tracks(0, content("<Name>Wipe</Name><Start>0</Start><Stop>1</Stop><Track>2</Track>"
                          "<Reverse>0</Reverse>")),  // no Params
        tracks(7, content("<Source>t</Source><Start>0</Start><Stop>1</Stop><Color>0</Color>"
                          "<XPos>0</XPos><YPos>0</YPos><VideoTrackWidth>1</VideoTrackWidth>"
                          "<VideoTrackHeight>1</VideoTrackHeight><Font Height=\"1\">Sans</Font>")),
    };
    auto& kept = Place<VideoClip>(other, 1, 0, 1000, L"kept.avi");
    int notifications = 0;
    testing::CallbackObserver counter([&](ISubject&) { ++notifications; });
    other.GetTrack(1)->GetContentRemoved()->Attach(&counter);
    other.GetTrackVisibilityChanged()->Attach(&counter);
    int index = 0;
    for (const std::string& xml : cases) {
        const fs::path file = folder / ("broken" + std::to_string(index++) + ".xml");
        WriteAll(file, xml);
        EXPECT_FALSE(other.LoadProject(FromPath(file))) << xml;
        ASSERT_EQ(other.GetTrack(1)->GetContentCount(), 1) << xml;
        EXPECT_EQ(other.GetTrack(1)->GetContentAt(0), &kept);
    }
    EXPECT_FALSE(other.LoadProject(FromPath(folder / "missing.xml")));
    EXPECT_FALSE(other.LoadProject(FromPath(folder)));  // a folder, not a file
    EXPECT_FALSE(other.LoadProject(L""));
    EXPECT_EQ(notifications, 0);
    other.GetTrack(1)->GetContentRemoved()->Detach(&counter);
    other.GetTrackVisibilityChanged()->Detach(&counter);
}

TEST_F(Project, AFailedSaveKeepsTheFileThatWasThere) {
    Place<VideoClip>(model, 1, 0, 1000, L"first.avi");
    const fs::path file = folder / "keep.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
#ifndef _WIN32
    const std::string before = ReadAll(file);
    for (int i = 0; i < 200; ++i) {
        Place<VideoClip>(model, 2, i * 1000, i * 1000 + 1000, L"more.avi");
    }
    // Writes beyond 1 KiB fail (for root too): the save cannot complete.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = model.SaveProject(FromPath(file));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);  // no temporary left
#endif

    EXPECT_FALSE(model.SaveProject(FromPath(folder / "no" / "such" / "dir.xml")));
    EXPECT_FALSE(model.SaveProject(FromPath(folder)));
    EXPECT_FALSE(model.SaveProject(L""));
    EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace vortrel
