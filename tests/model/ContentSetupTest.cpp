#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "editing/ApplyParams.h"
#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesSource.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "editing/EditTimeline.h"
#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaCache.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TimelineModel.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"

namespace vortrel {
namespace {

using testing::ScopedFakeMediaDetector;

std::vector<EditPropertySetter::Property> PropertiesOf(const EditNode& node) {
    return node.GetPropertySetter() ? node.GetPropertySetter()->GetProperties()
                                    : std::vector<EditPropertySetter::Property>{};
}

TEST(ApplyParams, SplitsItemsAndSkipsTheMalformedOnes) {
    EditTimeline timeline(nullptr);
    auto node = timeline.CreateEmptyNode(EditNodeType::Effect);
    ApplyParams(L"Level=5,Bad,A=B=C,=7,,x=", *node, timeline);
    EXPECT_EQ(PropertiesOf(*node), (std::vector<EditPropertySetter::Property>{
                                       {L"Level", L"5"}, {L"", L"7"}, {L"x", L""}}));
    ApplyParams(L"", *node, timeline);  // empty: the earlier properties stay
    EXPECT_EQ(PropertiesOf(*node).size(), 3u);
    ApplyParams(L"Bad", *node, timeline);  // nothing usable: an empty setter replaces them
    EXPECT_TRUE(PropertiesOf(*node).empty());

    timeline.Failures().FailCall(EditOp::CreatePropertySetter);
    EXPECT_THROW(
        try { ApplyParams(L"a=1", *node, timeline); } catch (const DesError& e) {
            EXPECT_STREQ(e.what(), "Could not create property setter");
            throw;
        },
        DesError);
    timeline.Failures().FailCall(EditOp::SetPropertySetter);
    EXPECT_THROW(ApplyParams(L"a=1", *node, timeline), DesError);
}

// A model whose clips ask a scripted detector about a 6 s file.
class ContentSetup : public ::testing::Test {
  protected:
    static testing::FakeDeviceCatalog Installed() {
        testing::FakeDeviceCatalog devices;
        devices.Add(DeviceCategory::VideoEffects, L"Sepia");
        devices.Add(DeviceCategory::VideoEffects, L"Invert");
        devices.Add(DeviceCategory::VideoTransitions, L"Dissolve");
        return devices;
    }
    ContentSetup() {
        model.BuildTracks();
        detector.Script().lengths = std::deque<std::optional<double>>(100, 6.0);
        MediaCache::Instance().Clear();
    }
    template <typename Content>
    Content& Make(int32_t track, int32_t start, int32_t stop) {
        auto& content = static_cast<Content&>(*model.GetTrack(track)->CreateContent());
        content.GetSegment()->SetStartMs(start);
        content.GetSegment()->SetStopMs(stop);
        return content;
    }
    ScopedFakeMediaDetector detector;
    testing::FakeDeviceCatalog devices = Installed();
    TimelineModel model{devices};
};

TEST_F(ContentSetup, AClipIsCutToTheMediaLeftInItsFile) {
    auto& clip = Make<VideoClip>(kVideo1Track, 1000, 11000);
    clip.SetSource(L"six.avi");
    clip.GetMediaSegment()->SetStartMs(2000);
    clip.Update();
    EXPECT_EQ(clip.GetSegment()->GetStop(), 5000);  // 4 s left after the media start
    EXPECT_EQ(clip.GetMediaSegment()->GetStop(), 6000);
    const EditNode& node = *clip.GetDesSource()->GetSourceObject();
    EXPECT_EQ(node.GetStart(), 1000 * 10000LL);
    EXPECT_EQ(node.GetStop(), 5000 * 10000LL);
    EXPECT_EQ(node.GetMediaName(), L"six.avi");
    EXPECT_EQ(node.GetMediaStart(), 2000 * 10000LL);
    EXPECT_EQ(node.GetMediaStop(), 6000 * 10000LL);
}

TEST_F(ContentSetup, NoMediaLeftFailsBeforeAnyTimeChanges) {
    auto& clip = Make<VideoClip>(kVideo1Track, 20000, 22000);
    clip.SetSource(L"six.avi");
    clip.GetMediaSegment()->SetStartMs(7000);
    try {
        clip.Update();
        ADD_FAILURE() << "no error";
    } catch (const DesError& error) {
        EXPECT_STREQ(error.what(), "Could not setup video clip");
    }
    EXPECT_EQ(clip.GetSegment()->GetStop(), 22000);

    detector.Script().openSucceeds = false;  // a file that cannot be read
    auto& sound = Make<AudioClip>(kAudio1Track, 0, 1000);
    sound.SetSource(L"unreadable.wav");
    EXPECT_THROW(sound.Update(), DesError);
    EXPECT_EQ(sound.GetSegment()->GetStop(), 1000);
}

TEST_F(ContentSetup, ImagesPlayFromTheirFirstMomentAndRefusedSpansFail) {
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

TEST_F(ContentSetup, EffectsKeepTheirNodeWhileTheirNameStays) {
    auto& effect = Make<MediaEffect>(kEffectTrack, 0, 2000);
    effect.SetSource(L"Sepia");
    effect.SetParams(L"Level=5");
    effect.Update();
    auto first = effect.GetDesEffect()->GetEffectObject();
    EXPECT_EQ(PropertiesOf(*first).size(), 1u);
    EXPECT_EQ(first->GetStop(), 2000 * 10000LL);

    effect.SetParams(L"");  // same class: the node and its earlier properties stay
    effect.Update();
    EXPECT_EQ(effect.GetDesEffect()->GetEffectObject(), first);
    EXPECT_EQ(PropertiesOf(*first).size(), 1u);

    effect.SetSource(L"Invert");  // another effect: a new node, the old one goes
    effect.Update();
    EXPECT_NE(effect.GetDesEffect()->GetEffectObject(), first);
    EXPECT_FALSE(first->IsInTimeline());

    effect.SetSource(L"No Such Effect");
    EXPECT_THROW(effect.Update(), std::out_of_range);
}

TEST_F(ContentSetup, TransitionsGoOnTheirMediaTrack) {
    auto& transition = Make<TransitionEffect>(kTransitionTrack, 1000, 2000);
    transition.SetSource(L"Dissolve");
    EXPECT_THROW(transition.Update(), DesError);  // no media track yet
    transition.SetMediaTrack(model.GetTrack(kVideo2Track));
    transition.SetReverse(true);
    transition.Update();
    const auto& node = transition.GetDesTransition()->GetTransitionObject();
    ASSERT_TRUE(node);
    EXPECT_TRUE(node->IsInTimeline());
    EXPECT_TRUE(node->GetSwapInputs());
    EXPECT_EQ(model.GetTrack(kVideo2Track)->GetDesTrack()->GetTrackObject()->GetTransitions()[0],
              node);
}

TEST_F(ContentSetup, TextSetUpsLeaveExactlyOneBitmapOfTheirOwn) {
    // Without a text rasteriser the rendering fails with the text clip's message.
    auto& text = Make<TextClip>(kTextTrack, 0, 1000);
    text.SetSource(L"hello");
    try {
        text.Update();
        ADD_FAILURE() << "no error";
    } catch (const DesError& error) {
        EXPECT_STREQ(error.what(), "Could not setup text clip");
    }
}

TEST_F(ContentSetup, MediaLengthsAreAskedOncePerFile) {
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

}  // namespace
}  // namespace vortrel
