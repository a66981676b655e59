#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/Utf8.h"
#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesSource.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "support/FakeDeviceCatalog.h"

namespace vortrel {
namespace {

using testing::FakeDeviceCatalog;

const Guid kWipe = Guid::FromName("wipe");
const Guid kFade = Guid::FromName("fade");

// Runs an action that must raise the DES error with exactly this message.
void ExpectDesError(const std::function<void()>& action, const char* message) {
    EXPECT_THAT(action, ::testing::ThrowsMessage<DesError>(::testing::StrEq(message)));
}

TEST(DesCatalog, OrderedByUtf16UnitsWithUnknownNamesAndLaterDuplicatesWinning) {
    FakeDeviceCatalog devices;
    auto& listed = devices.listings[DeviceCategory::VideoEffects].devices;
    devices.Add(DeviceCategory::VideoEffects, L"b");
    devices.Add(DeviceCategory::VideoEffects, L"\xE000");
    // U+1F600: one wchar_t or a surrogate pair, as the build's wchar_t holds it.
    const std::wstring astral = FromUtf8("\xF0\x9F\x98\x80");
    devices.Add(DeviceCategory::VideoEffects, astral);
    devices.Add(DeviceCategory::VideoEffects, L"B");
    const Guid last = Guid::FromName("the later b");
    listed.push_back({true, L"b", last.ToString()});
    listed.push_back({true, L"", kWipe.ToString()});
    // Devices that cannot be read are skipped silently.
    listed.push_back({false, L"unbound", kWipe.ToString()});
    listed.push_back({true, std::nullopt, kWipe.ToString()});
    listed.push_back({true, L"no id", std::nullopt});
    listed.push_back({true, L"bad id", L"{not-a-guid}"});

    DesTimeline timeline(devices);
    const std::wstring expected[] = {L"B", L"[Unknown]", L"b", astral, L"\xE000"};
    ASSERT_EQ(timeline.GetEffectCatalog().size(), 5u);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(timeline.GetEffectName(i), expected[i]) << i;
    }
    EXPECT_EQ(timeline.FindEffect(L"b"), last);
    EXPECT_EQ(timeline.GetEffectName(-1), L"");
    EXPECT_EQ(timeline.GetEffectName(5), L"");
    EXPECT_TRUE(timeline.GetTransitionCatalog().empty());
    EXPECT_EQ(timeline.GetTransitionName(0), L"");
    EXPECT_THROW(timeline.FindTransition(L"b"), std::out_of_range);
    EXPECT_THROW(timeline.FindEffect(L"bb"), std::out_of_range);  // exact names only
}

TEST(DesCatalog, ListingFailuresRaiseTheirMessages) {
    const std::pair<IDeviceCatalog::Failure, const char*> cases[] = {
        {IDeviceCatalog::Failure::SystemDeviceEnum, "Could not create system device enum"},
        {IDeviceCatalog::Failure::ClassEnumerator, "Could not create class enumerator"},
        {IDeviceCatalog::Failure::BindContext, "Could not create bind ctx"},
    };
    for (auto [failure, message] : cases) {
        FakeDeviceCatalog devices;
        devices.listings[DeviceCategory::VideoTransitions].failure = failure;
        ExpectDesError([&] { DesTimeline timeline(devices); }, message);
    }
}

// A timeline with both groups, a video track with a source, and a catalogue of two
// transitions; every failure point is reached by planning one failing call.
class DesStack : public ::testing::Test {
  protected:
    DesStack() {
        devices.Add(DeviceCategory::VideoTransitions, L"Wipe");
        devices.Add(DeviceCategory::VideoTransitions, L"Fade");
    }
    void Build() {
        timeline = std::make_unique<DesTimeline>(devices, failures);
        video = std::make_unique<DesVideoGroup>(timeline.get(), 320, 240, 15.0f);
        audio = std::make_unique<DesAudioGroup>(timeline.get(), 44100);
        track = std::make_unique<DesTrack>(*video);
        source = std::make_unique<DesSource>(*track);
    }
    EditTimeline& Edit() { return timeline->GetTimeline(); }

    FakeDeviceCatalog devices;
    std::shared_ptr<EditFailures> failures = std::make_shared<EditFailures>();
    std::unique_ptr<DesTimeline> timeline;
    std::unique_ptr<DesVideoGroup> video;
    std::unique_ptr<DesAudioGroup> audio;
    std::unique_ptr<DesTrack> track;
    std::unique_ptr<DesSource> source;
};

TEST_F(DesStack, EveryFailurePointRaisesItsFixedMessage) {
    // Where the failing call is: building the stack, applying a transition or a source effect.
    enum Stage { kBuild, kTransition, kEffect };
    struct Case {
        Stage stage;
        EditOp op;
        int nth;  // which call of the operation fails
        const char* message;
    };
    // Building calls in order: timeline; video group node, audio group node; track node;
    // source node.
    const Case cases[] = {
        {kBuild, EditOp::CreateTimeline, 1, "Could not create timeline"},
        {kBuild, EditOp::CreateEmptyNode, 1, "Could not create empty node"},
        {kBuild, EditOp::QueryGroup, 2, "Could not get timeline group"},
        {kBuild, EditOp::SetMediaType, 1, "Could not set media type"},
        {kBuild, EditOp::AddGroup, 2, "Could not add group to timeline"},
        {kBuild, EditOp::CreateEmptyNode, 3, "Could not create empty node"},
        {kBuild, EditOp::QueryComposition, 1, "Could not get composition"},
        {kBuild, EditOp::InsertTrack, 1, "Could not insert track"},
        {kBuild, EditOp::QueryTrack, 1, "Could not get timeline track"},
        {kBuild, EditOp::CreateEmptyNode, 4, "Could not create empty node"},
        {kBuild, EditOp::QuerySource, 1, "Could not get timeline source"},
        {kBuild, EditOp::AddSource, 1, "Could not add source"},
        {kTransition, EditOp::CreateEmptyNode, 1, "Could not create empty node"},
        {kTransition, EditOp::SetSubObject, 1, "Could not set subobject"},
        {kTransition, EditOp::QueryTransable, 1, "Could not get transable"},
        {kTransition, EditOp::AddTransition, 1, "Could not add transition to track"},
        {kTransition, EditOp::QueryTrans, 1, "Could not get trans"},
        {kEffect, EditOp::CreateEmptyNode, 1, "Could not create empty node"},
        {kEffect, EditOp::SetSubObject, 1, "Could not set subobject"},
        {kEffect, EditOp::QueryEffectable, 1, "Could not get effectable"},
        {kEffect, EditOp::InsertEffect, 1, "Could not insert effect in track"},
    };
    for (const Case& c : cases) {
        failures = std::make_shared<EditFailures>();
        if (c.stage == kBuild) {
            failures->FailCall(c.op, c.nth);
            ExpectDesError([&] { Build(); }, c.message);
            continue;
        }
        Build();
        DesTransition transition(track.get());
        transition.SetReverse(true);
        DesSourceEffect effect(source.get());
        failures->FailCall(c.op, c.nth);
        ExpectDesError(
            [&] {
                c.stage == kTransition ? transition.Apply(kWipe) : effect.Apply(kClsidAudMixer);
            },
            c.message);
    }
}

TEST_F(DesStack, GroupsTracksAndSourcesFormTheTreeAndLeaveItWhenDestroyed) {
    Build();
    EXPECT_EQ(Edit().GetGroup(1), audio->GetGroupObject());
    EXPECT_TRUE(video->GetGroupObject()->GetPreviewMode());
    DesTrack second(*video);
    const auto& tracks = video->GetGroupObject()->GetTracks();
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0], track->GetTrackObject());  // appended in the order made
    EXPECT_EQ(tracks[1], second.GetTrackObject());
    EXPECT_EQ(track->GetTrackObject()->GetSources()[0], source->GetSourceObject());

    std::shared_ptr<EditNode> sourceNode = source->GetSourceObject();
    source.reset();
    EXPECT_TRUE(track->GetTrackObject()->GetSources().empty());
    EXPECT_FALSE(sourceNode->IsInTimeline());
    audio.reset();
    EXPECT_EQ(Edit().GetGroupCount(), 1);
    // Wrappers destroyed after their timeline do not touch it.
    DesSource late(*track);
    timeline.reset();
    EXPECT_FALSE(late.GetSourceObject()->IsInTimeline());
}

TEST_F(DesStack, MediaTypesAndTheFrameRateThatWaitsForANewResolution) {
    Build();
    EditNode& videoNode = *video->GetGroupObject();
    EXPECT_EQ(std::get<VideoMediaType>(videoNode.GetMediaType()).imageSize, 320 * 4 * 240);
    EXPECT_EQ(MakeVideoMediaType(3, -2).imageSize, 12 * 2);
    // Sizes no picture has saturate instead of overflowing.
    EXPECT_EQ(MakeVideoMediaType(INT32_MAX, INT32_MAX).imageSize, INT64_MAX);
    EXPECT_EQ(MakeVideoMediaType(INT32_MIN, INT32_MIN).imageSize, INT64_MIN);

    EXPECT_FALSE(videoNode.GetOutputFPS());  // the constructor sets no rate
    video->SetFrameRate(25.0f);
    EXPECT_FALSE(videoNode.GetOutputFPS());
    EXPECT_TRUE(video->SetResolution(videoNode, 640, 480));
    EXPECT_EQ(std::get<VideoMediaType>(videoNode.GetMediaType()).width, 640);
    EXPECT_EQ(videoNode.GetOutputFPS(), 25.0);
    EXPECT_EQ(video->GetWidth(), 320);  // the group keeps the size it was made with

    // Nonsense sizes are refused and leave the type as it was.
    for (auto [w, h] : {std::pair{0, 240}, {-640, 480}, {640, 0}, {8193, 480}, {640, -8193}}) {
        EXPECT_FALSE(video->SetResolution(videoNode, w, h)) << w << "x" << h;
    }
    EXPECT_EQ(std::get<VideoMediaType>(videoNode.GetMediaType()).width, 640);
}

TEST_F(DesStack, TransitionKeepsItsNodeUntilItsClassTrackOrDirectionChanges) {
    Build();
    DesTrack other(*video);
    DesTransition transition(track.get());
    transition.Apply(kWipe);
    auto first = transition.GetTransitionObject();
    transition.Apply(kWipe);
    EXPECT_EQ(transition.GetTransitionObject(), first);

    transition.Apply(kFade);  // another class: a new node, the old one leaves the track
    EXPECT_NE(transition.GetTransitionObject(), first);
    EXPECT_FALSE(first->IsInTimeline());
    ASSERT_EQ(track->GetTrackObject()->GetTransitions().size(), 1u);

    auto second = transition.GetTransitionObject();
    transition.SetTrack(&other);
    EXPECT_TRUE(transition.IsDirty());
    transition.Apply(kFade);  // same class, but dirty: a new node on the new track
    EXPECT_NE(transition.GetTransitionObject(), second);
    EXPECT_TRUE(track->GetTrackObject()->GetTransitions().empty());
    EXPECT_EQ(other.GetTrackObject()->GetTransitions().size(), 1u);
    EXPECT_FALSE(transition.GetTransitionObject()->GetSwapInputs());

    transition.SetReverse(true);
    transition.Apply(kFade);
    EXPECT_TRUE(transition.GetTransitionObject()->GetSwapInputs());
    EXPECT_FALSE(transition.IsDirty());

    DesTransition nowhere(nullptr);
    ExpectDesError([&] { nowhere.Apply(kWipe); }, "Could not get transable");
}

}  // namespace
}  // namespace vortrel
