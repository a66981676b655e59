#include <gtest/gtest.h>

#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "model/VideoClip.h"
#include "platform/av/AvMediaDetector.h"
#include "support/FakeDeviceCatalog.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

// Poster frames of a real clip that is black for its first second, then red.
class RealPosterFrame : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        MediaDetectorFactory::Set([] { return std::make_unique<AvMediaDetector>(); });
        media_ = new testing::MediaFolder();
        video_ = media_->MakeVideo(
            "fade-in.mkv", {{{testing::kBlack, 1.0}, {testing::kRed, 1.0}}, 64, 48, 25, {}});
    }
    static void TearDownTestSuite() {
        delete media_;
        MediaDetectorFactory::Set(nullptr);
    }

    // Blue, green and red of the frame's first pixel (the bottom-left one).
    static std::array<int, 3> FirstPixel(const DibBitmap& frame) {
        return {frame.bits[40], frame.bits[41], frame.bits[42]};
    }

    testing::FakeDeviceCatalog devices;
    DesTimeline timeline{devices};
    DesVideoGroup group{&timeline, 320, 240, 15.0f};
    DesTrack track{group};
    VideoClip clip{&track};
    static inline testing::MediaFolder* media_ = nullptr;
    static inline std::filesystem::path video_;
};

TEST_F(RealPosterFrame, SkipsTheBlackSecondOnlyWhenAsked) {
    clip.SetSource(testing::ToWide(video_));
    auto poster = clip.CreatePosterFrame();
    ASSERT_TRUE(poster);
    EXPECT_EQ(poster->GetWidth(), 64);
    EXPECT_EQ(poster->GetHeight(), 48);
    EXPECT_EQ(poster->GetBitCount(), 24);
    auto [blue, green, red] = FirstPixel(*poster);
    EXPECT_LT(blue, 20);
    EXPECT_LT(green, 20);
    EXPECT_GT(red, 230);

    clip.SetSkipBlackPosterFrame(false);
    poster = clip.CreatePosterFrame();
    ASSERT_TRUE(poster);
    EXPECT_EQ(FirstPixel(*poster), (std::array<int, 3>{0, 0, 0}));

    clip.SetSource(L"/no/such/file.mkv");
    EXPECT_FALSE(clip.CreatePosterFrame());
}

}  // namespace
}  // namespace vortrel
