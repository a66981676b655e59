#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "model/ITrack.h"
#include "model/TextTrack.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/FakeTextRasteriser.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::FakeDeviceCatalog;

class Model : public ::testing::Test {
  protected:
    Model() {
        // Clips set themselves up: a minute-long source and a text drawer to render with.
        detector.Script().lengths = std::deque<std::optional<double>>(100, 60.0);
        SetTextRasteriser(std::make_shared<testing::FakeTextRasteriser>());
    }
    ~Model() override { SetTextRasteriser(nullptr); }
    void Build() {
        model = std::make_unique<TimelineModel>(devices, failures);
        model->BuildTracks();
    }
    bool Muted(int32_t index) {
        return model->GetTrack(index)->GetDesTrack()->GetTrackObject()->IsMuted();
    }
    IContent& Add(int32_t track, int32_t start, int32_t stop) {
        IContent& content = *model->GetTrack(track)->CreateContent();
        content.GetSegment()->SetStartMs(start);
        content.GetSegment()->SetStopMs(stop);
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
    const ContentKind kinds[] = {ContentKind::Transition, ContentKind::Video,  ContentKind::Video,
                                 ContentKind::Image,      ContentKind::Effect, ContentKind::Audio,
                                 ContentKind::Audio,      ContentKind::Text};
    for (int32_t i = 0; i < 8; ++i) {
        for (ContentKind kind : kinds) {
            EXPECT_EQ(model->GetTrack(i)->AcceptsKind(kind), kind == kinds[i]) << i;
        }
        EXPECT_EQ(model->GetTrack(i)->IsVisible(), i != 2 && i != 6) << i;
        EXPECT_EQ(model->IndexOfTrack(model->GetTrack(i)), i);
    }
    EXPECT_FALSE(model->GetTrack(0)->GetDesTrack());
    EXPECT_FALSE(model->GetTrack(4)->GetDesTrack());
    EXPECT_TRUE(Muted(2));
    EXPECT_TRUE(Muted(6));
    EXPECT_FALSE(Muted(1));
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
    Build();
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

TEST_F(Model, ContentsFollowTheZoomAndClearAnnouncesEachRemovalOnce) {
    Build();
    IContent& clip = Add(1, 0, 4000);
    model->GetTimeScale()->SetScale(2.0f);
    clip.SetPixelRange(1000, 3000);
    EXPECT_EQ(clip.GetSegment()->GetStart(), 2000);
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
    Build();
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
    try {
        Add(7, 10000, 12000);
        ADD_FAILURE() << "no error";
    } catch (const DesError& error) {
        EXPECT_STREQ(error.what(), "Could not set transition times");
    }
}

TEST_F(Model, EncoderAndProfileListsComeFromTheCatalogue) {
    devices.Add(DeviceCategory::VideoCompressors, L"Motion JPEG");
    devices.Add(DeviceCategory::AudioCompressors, L"MP3");
    devices.Add(DeviceCategory::AudioCompressors, L"AC-3");
    const Guid id = Guid::FromName("profile");
    devices.profiles = {{L"Small", L"", id.ToString(), 1, 1},
                        {L"Audio only", L"", Guid::FromName("a").ToString(), 0, 1},
                        {L"No id", L"", Guid{}.ToString(), 1, 1}};
    Build();
    EXPECT_EQ(model->GetVideoEncoderName(0), L"Motion JPEG");
    EXPECT_EQ(model->GetVideoEncoderName(1), L"");
    EXPECT_EQ(model->GetAudioEncoderName(1), L"AC-3");
    EXPECT_EQ(model->GetAudioEncoderName(-1), L"");
    EXPECT_EQ(model->GetWMVProfileName(0), L"Small");
    EXPECT_EQ(model->GetWMVProfileName(1), L"No id");  // the audio-only one is skipped
    EXPECT_EQ(model->GetWMVProfileId(0), id.ToBytes());
    EXPECT_EQ(model->GetWMVProfileId(1), (std::array<uint8_t, 16>{}));

    FakeDeviceCatalog broken;
    broken.listings[DeviceCategory::VideoCompressors].failure =
        IDeviceCatalog::Failure::ClassEnumerator;
    TimelineModel other(broken);
    EXPECT_EQ(other.GetVideoEncoderName(0), L"");
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

}  // namespace
}  // namespace vortrel
