#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesSource.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "model/AudioClip.h"
#include "model/BitmapFile.h"
#include "model/ContentTime.h"
#include "model/FontTable.h"
#include "model/ImageClip.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/FakeTextRasteriser.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

namespace fs = std::filesystem;
using testing::FakeDeviceCatalog;
using testing::ScopedFakeMediaDetector;

TEST(ContentTime, ThreeDigitFractionsAndHoursThatDoNotWrap) {
    const std::pair<int32_t, const wchar_t*> cases[] = {
        {61234, L"0:01:01.234"},
        {5, L"0:00:00.005"},
        {1005, L"0:00:01.005"},
        {3600000, L"1:00:00.000"},
        {90000000, L"25:00:00.000"},
        {-1500, L"-0:00:01.500"},
        {std::numeric_limits<int32_t>::min(), L"-596:31:23.648"},
    };
    for (auto [ms, text] : cases) {
        EXPECT_EQ(FormatContentTime(ms), text) << ms;
    }
}

// Contents on a real editing timeline: a video group with one track, an audio group with one.
class Contents : public ::testing::Test {
  protected:
    FakeDeviceCatalog devices;
    DesTimeline timeline{devices};
    DesVideoGroup video{&timeline, 320, 240, 15.0f};
    DesAudioGroup audio{&timeline, 44100};
    DesTrack videoTrack{video};
    DesTrack audioTrack{audio};
};

TEST_F(Contents, DescriptionsNameTheFileAndTheTimes) {
    VideoClip clip(&videoTrack);
    clip.SetSource(L"C:\\media\\holiday.avi");
    clip.GetSegment()->SetStartMs(5);
    clip.GetSegment()->SetStopMs(61234);
    clip.GetMediaSegment()->SetStopMs(61229);
    std::wstring title, text;
    clip.GetDescription(title, text);
    EXPECT_EQ(title, L"Video");
    EXPECT_EQ(text,
              L"Clip: holiday.avi\nStart: 0:00:00.005\nStop: 0:01:01.234\n"
              L"Media Start: 0:00:00.000\nMedia Stop: 0:01:01.229");

    AudioClip sound(&audioTrack);
    sound.SetSource(L"tone.wav");  // no separator: the whole source
    sound.GetDescription(title, text);
    EXPECT_EQ(title, L"Audio");
    EXPECT_EQ(text.substr(0, 20), L"Clip: tone.wav\nStart");

    ImageClip image(&videoTrack);
    image.SetSource(L"/home/me/logo.png");
    image.GetDescription(title, text);
    EXPECT_EQ(text, L"Clip: logo.png\nStart: 0:00:00.000\nStop: 0:00:00.000");

    TransitionEffect transition;
    transition.SetSource(L"Wipe");
    transition.SetReverse(true);  // the direction does not show
    transition.GetDescription(title, text);
    EXPECT_EQ(title + L"|" + text,
              L"Transition|Transition: Wipe\nStart: 0:00:00.000\nStop: 0:00:00.000");

    MediaEffect effect(&video);
    effect.SetSource(L"Sepia");
    effect.GetDescription(title, text);
    EXPECT_EQ(title + L"|" + text, L"Effect|Effect: Sepia\nStart: 0:00:00.000\nStop: 0:00:00.000");
}

TEST_F(Contents, TextDescriptionsAreCutAfterFiftyUnits) {
    TextClip clip(&videoTrack);
    auto describe = [&](const std::wstring& text) {
        clip.SetSource(text);
        std::wstring title, description;
        clip.GetDescription(title, description);
        return description.substr(0, description.find(L"\nStart: "));
    };
    const std::wstring letters45(45, L'a');
    EXPECT_EQ(describe(letters45), L"Clip: " + letters45 + L"...");
    EXPECT_EQ(describe(letters45 + L"bcd"), L"Clip: " + letters45 + L"...");
    EXPECT_EQ(describe(letters45.substr(1)), L"Clip: " + letters45.substr(1));
    EXPECT_EQ(describe(L"\n\n\n"), L"Clip: ");
    EXPECT_EQ(describe(L"a\tb\r\nc"), L"Clip: abc");
    // A character beyond U+FFFF counts as two units, as it does in UTF-16.
    const std::wstring wide = std::wstring(43, L'a') + static_cast<wchar_t>(0x1F600);
    EXPECT_EQ(describe(wide), L"Clip: " + wide + L"...");
}

TEST_F(Contents, ClipsPlaceTheirWrappersOnTheirTracks) {
    AudioClip sound(&audioTrack);
    EXPECT_EQ(sound.GetVolume(), 1.0f);
    ASSERT_TRUE(sound.GetDesSource());
    sound.GetVolumeEffect()->Apply(kClsidAudMixer);
    EXPECT_EQ(sound.GetDesSource()->GetSourceObject()->GetEffects().size(), 1u);
    {
        VideoClip clip(&videoTrack);
        EXPECT_EQ(videoTrack.GetTrackObject()->GetSources().size(), 1u);
    }
    EXPECT_TRUE(videoTrack.GetTrackObject()->GetSources().empty());  // gone with the clip
}

TEST_F(Contents, TransitionFollowsItsMediaTrack) {
    testing::TestTrack track;  // a model track without an editing-timeline track
    TransitionEffect transition;
    EXPECT_EQ(transition.GetDesTransition()->GetTrack(), nullptr);
    transition.SetMediaTrack(&track);
    EXPECT_EQ(transition.GetMediaTrack(), &track);
    EXPECT_TRUE(transition.GetDesTransition()->IsDirty());
    EXPECT_FALSE(transition.GetReverse());
    transition.SetReverse(true);
    EXPECT_TRUE(transition.GetReverse());
}

// Poster frames from a scripted detector: frames are 2 x 2 pixels of one byte value each,
// given as a function of time.
class PosterFrame : public Contents {
  protected:
    PosterFrame() {
        detector.Script().lengths = {10.0};
        clip.SetSource(L"clip.avi");
        clip.GetMediaSegment()->SetStartMs(1000);
    }
    void FramesAre(std::function<uint8_t(double)> byteAt) {
        detector.Script().frameAt = [byteAt](double t) {
            return std::optional<std::vector<uint8_t>>(std::vector<uint8_t>(16, byteAt(t)));
        };
    }
    ScopedFakeMediaDetector detector;
    VideoClip clip{&videoTrack};
};

TEST_F(PosterFrame, DarkFramesAreSkippedHalfASecondAtATime) {
    FramesAre([](double t) -> uint8_t { return t < 2.2 ? 90 : 91; });
    auto poster = clip.CreatePosterFrame();
    ASSERT_TRUE(poster);
    EXPECT_EQ(detector.Script().frameTimes, (std::vector<double>{1.0, 1.5, 2.0, 2.5}));
    EXPECT_EQ(poster->bits.back(), 91);
    EXPECT_EQ(clip.GetPosterBits(), poster->bits);

    clip.SetSkipBlackPosterFrame(false);
    detector.Script().frameTimes.clear();
    EXPECT_EQ(clip.CreatePosterFrame()->bits.back(), 90);
    EXPECT_EQ(detector.Script().frameTimes, std::vector<double>{1.0});
}

TEST_F(PosterFrame, WhiteIsBrightAndAVideoDarkToItsEndShowsItsLastFrame) {
    FramesAre([](double) -> uint8_t { return 255; });
    EXPECT_EQ(clip.CreatePosterFrame()->bits.back(), 255);
    EXPECT_EQ(detector.Script().frameTimes.size(), 1u);

    FramesAre([](double t) -> uint8_t { return static_cast<uint8_t>(t * 5); });  // all dark
    detector.Script().lengths = {10.0};
    detector.Script().frameTimes.clear();
    auto poster = clip.CreatePosterFrame();
    ASSERT_TRUE(poster);
    EXPECT_EQ(detector.Script().frameTimes.back(), 9.5);  // stops at the 10 s length
    EXPECT_EQ(poster->bits.back(), 47);

    // Without a known length, a picture that stops changing ends the search, and a
    // detector that keeps answering with new dark frames is still stopped.
    detector.Script().frameTimes.clear();
    FramesAre([](double) -> uint8_t { return 0; });
    EXPECT_TRUE(clip.CreatePosterFrame());
    EXPECT_EQ(detector.Script().frameTimes.size(), 2u);
    detector.Script().frameTimes.clear();
    FramesAre(
        [](double t) -> uint8_t { return static_cast<uint8_t>(static_cast<int>(t * 2) % 50); });
    EXPECT_TRUE(clip.CreatePosterFrame());
    EXPECT_EQ(detector.Script().frameTimes.size(), 600u);
}

TEST_F(PosterFrame, NoneWithoutAFrame) {
    FramesAre([](double) -> uint8_t { return 200; });
    auto& script = detector.Script();
    script.streamTypes = {MediaStreamType::Audio, MediaStreamType::Video};
    script.streamCount = 2;
    EXPECT_TRUE(clip.CreatePosterFrame());  // the second stream is the video
    script.streamTypes = {MediaStreamType::Audio};
    EXPECT_FALSE(clip.CreatePosterFrame());
    script.streamTypes = {MediaStreamType::Video};
    script.videoFormat.reset();
    EXPECT_FALSE(clip.CreatePosterFrame());
    script.videoFormat = std::make_pair(4, 2);
    script.frameAt = nullptr;
    EXPECT_FALSE(clip.CreatePosterFrame());
    script.createSucceeds = false;
    EXPECT_FALSE(clip.CreatePosterFrame());
}

TEST(BitmapFile, RowsAreStoredBottomUpWithTheFourthByteKept) {
    const std::vector<uint8_t> topDown = {1, 2, 3, 4, 5, 6, 7, 8};  // 1 x 2: top, bottom
    const std::vector<uint8_t> file = EncodeBitmapFile32(1, 2, topDown);
    ASSERT_EQ(file.size(), 62u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 2), "BM");
    EXPECT_EQ(file[10], 54);  // pixel offset
    EXPECT_EQ(file[22], 2);   // positive height: bottom-up
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.end()),
              (std::vector<uint8_t>{5, 6, 7, 8, 1, 2, 3, 4}));
    EXPECT_TRUE(EncodeBitmapFile32(0, 2, {}).empty());
    EXPECT_TRUE(EncodeBitmapFile32(1, 2, {1, 2, 3}).empty());
}

TEST(Fonts, HandlesMapToRecordsAndFaceNamesFitTheRecord) {
    LogFont font;
    font.height = -24;
    font.SetFaceName(L"Liberation Serif");
    const int32_t handle = FontTable::Create(font);
    const int32_t other = FontTable::Create(font);
    EXPECT_NE(handle, 0);
    EXPECT_NE(handle, other);
    LogFont read;
    ASSERT_TRUE(FontTable::Get(handle, read));
    EXPECT_EQ(read, font);
    EXPECT_TRUE(FontTable::Delete(handle));
    EXPECT_FALSE(FontTable::Get(handle, read));
    EXPECT_FALSE(FontTable::Get(0, read));

    font.SetFaceName(std::wstring(40, L'x'));
    EXPECT_EQ(font.GetFaceName(), std::wstring(31, L'x'));
    // A character of two UTF-16 units is dropped whole when only one unit is left.
    const std::wstring face = std::wstring(30, L'x') + static_cast<wchar_t>(0x1F600);
    font.SetFaceName(face);
    EXPECT_EQ(font.GetFaceName(), std::wstring(30, L'x'));
    font.SetFaceName(face.substr(1));
    EXPECT_EQ(font.GetFaceName(), face.substr(1));
}

// Text clips render through a fake rasteriser into a temporary folder of the test's own.
class TextBitmap : public Contents {
  protected:
    TextBitmap() {
        folder_ = fs::temp_directory_path() / ("vortrel-text-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        previousTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
        SetTextRasteriser(rasteriser);
    }
    ~TextBitmap() override {
        SetTextRasteriser(nullptr);
        if (previousTmp_.empty()) {
            ::unsetenv("TMPDIR");
        } else {
            ::setenv("TMPDIR", previousTmp_.c_str(), 1);
        }
        fs::remove_all(folder_);
    }
    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }
    std::shared_ptr<testing::FakeTextRasteriser> rasteriser =
        std::make_shared<testing::FakeTextRasteriser>();
    fs::path folder_;
    std::string previousTmp_;
};

TEST_F(TextBitmap, EachRenderingReplacesTheClipsFileUnderAUniqueName) {
    std::vector<std::unique_ptr<TextClip>> clips;
    std::set<std::wstring> names;
    for (int i = 0; i < 20; ++i) {  // many renderings within one tick
        clips.push_back(std::make_unique<TextClip>(&videoTrack));
        clips.back()->SetSource(L"x");
        names.insert(clips.back()->RenderToBitmapFile());
    }
    EXPECT_EQ(names.size(), 20u);
    EXPECT_EQ(FilesInFolder(), 20u);
    for (const auto& name : names) {
        const std::string file = fs::path(name).filename().string();
        EXPECT_EQ(file.rfind("text_", 0), 0u) << file;
        EXPECT_EQ(file.substr(file.size() - 4), ".bmp");
    }

    TextClip& first = *clips.front();
    const std::wstring before = first.GetBitmapPath();
    first.SetColor(0x0000FF);
    first.DeleteBitmapFile();
    const std::wstring after = first.RenderToBitmapFile();
    EXPECT_NE(after, before);
    EXPECT_FALSE(fs::exists(before));
    EXPECT_EQ(FilesInFolder(), 20u);  // exactly one file per clip
    clips.clear();
    EXPECT_EQ(FilesInFolder(), 0u);              // deleted with their clips
    EXPECT_EQ(rasteriser->lastFont.quality, 4);  // always antialiased
}

TEST_F(TextBitmap, AFailedRenderingRaisesAndLeavesNoFile) {
    TextClip clip(&videoTrack);
    auto expectFailure = [&] {
        try {
            clip.RenderToBitmapFile();
            ADD_FAILURE() << "rendering succeeded";
        } catch (const DesError& error) {
            EXPECT_STREQ(error.what(), "Could not setup text clip");
        }
        EXPECT_EQ(FilesInFolder(), 0u);
        EXPECT_TRUE(clip.GetBitmapPath().empty());
    };
    rasteriser->fails = true;
    expectFailure();
    rasteriser->fails = false;
    clip.SetVideoTrackSize(0, 24);
    expectFailure();
    clip.SetVideoTrackSize(320, 24);
    ::setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
    expectFailure();
}

}  // namespace
}  // namespace vortrel
