#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "editing/ApplyParams.h"
#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "editing/EditTimeline.h"
#include "model/AudioClip.h"
#include "model/BitmapFile.h"
#include "model/ContentTime.h"
#include "model/FontTable.h"
#include "model/IClip.h"
#include "model/IEffect.h"
#include "model/ISubject.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/FakeTextRasteriser.h"
#include "support/TemporaryFolder.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

namespace fs = std::filesystem;

using testing::CallbackObserver;
using testing::EventLog;
using testing::FakeDeviceCatalog;
using testing::ScopedFakeMediaDetector;
using testing::TestClip;
using testing::TestTrack;

TEST(ContentTime, ThreeDigitFractionsAndHoursThatDoNotWrap) {
    const std::pair<int32_t, const wchar_t*> cases[] = {
        {61234, L"0:01:01.234"},   {1005, L"0:00:01.005"},
        {3600000, L"1:00:00.000"}, {90000000, L"25:00:00.000"},
        {-1500, L"-0:00:01.500"},  {std::numeric_limits<int32_t>::min(), L"-596:31:23.648"},
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
    AudioClip sound(&audioTrack);
    sound.SetSource(L"tone.wav");  // no separator: the whole source
    ImageClip image(&videoTrack);
    image.SetSource(L"/home/me/logo.png");
    TransitionEffect transition;
    transition.SetSource(L"Wipe");
    transition.SetReverse(true);  // the direction does not show
    MediaEffect effect(&video);
    effect.SetSource(L"Sepia");
    const std::wstring noTimes = L"\nStart: 0:00:00.000\nStop: 0:00:00.000";
    const std::pair<const IContent*, std::wstring> cases[] = {
        {&clip,
         L"Video|Clip: holiday.avi\nStart: 0:00:00.005\nStop: 0:01:01.234\n"
         L"Media Start: 0:00:00.000\nMedia Stop: 0:01:01.229"},
        {&sound, L"Audio|Clip: tone.wav" + noTimes +
                     L"\nMedia Start: 0:00:00.000\nMedia Stop: 0:00:00.000"},
        {&image, L"Image|Clip: logo.png" + noTimes},
        {&transition, L"Transition|Transition: Wipe" + noTimes},
        {&effect, L"Effect|Effect: Sepia" + noTimes},
    };
    for (const auto& [content, expected] : cases) {
        std::wstring title, text;
        content->GetDescription(title, text);
        EXPECT_EQ(title + L"|" + text, expected);
    }
}

TEST_F(Contents, TextDescriptionsAreCutAfterFiftyUnits) {
    TextClip clip(&videoTrack);
    const std::wstring letters45(45, L'a');
    // A character beyond U+FFFF counts as two units, as it does in UTF-16.
    const std::wstring wide = std::wstring(43, L'a') + L"\U0001F600";
    const std::pair<std::wstring, std::wstring> cases[] = {
        {letters45, letters45 + L"..."},
        {letters45 + L"bcd", letters45 + L"..."},
        {letters45.substr(1), letters45.substr(1)},
        {L"\n\n\n", L""},
        {L"a\tb\r\nc", L"abc"},
        {wide, wide + L"..."},
    };
    for (const auto& [source, shown] : cases) {
        clip.SetSource(source);
        std::wstring title, text;
        clip.GetDescription(title, text);
        EXPECT_EQ(text.substr(0, text.find(L"\nStart: ")), L"Clip: " + shown);
    }
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
        detector.Script().frameTimes.clear();
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
    FramesAre([](double t) -> uint8_t { return t < 2.2 ? 90 : 91; });
    EXPECT_EQ(clip.CreatePosterFrame()->bits.back(), 90);
    EXPECT_EQ(detector.Script().frameTimes, std::vector<double>{1.0});
}

TEST_F(PosterFrame, WhiteIsBrightAndAVideoDarkToItsEndShowsItsLastFrame) {
    FramesAre([](double) -> uint8_t { return 255; });
    EXPECT_EQ(clip.CreatePosterFrame()->bits.back(), 255);
    EXPECT_EQ(detector.Script().frameTimes.size(), 1u);

    FramesAre([](double t) -> uint8_t { return static_cast<uint8_t>(t * 5); });  // all dark
    detector.Script().lengths = {10.0};
    auto poster = clip.CreatePosterFrame();
    ASSERT_TRUE(poster);
    EXPECT_EQ(detector.Script().frameTimes.back(), 9.5);  // stops at the 10 s length
    EXPECT_EQ(poster->bits.back(), 47);

    // Without a known length, a picture that stops changing ends the search, and a
    // detector that keeps answering with new dark frames is still stopped.
    FramesAre([](double) -> uint8_t { return 0; });
    EXPECT_TRUE(clip.CreatePosterFrame());
    EXPECT_EQ(detector.Script().frameTimes.size(), 2u);
    FramesAre(
        [](double t) -> uint8_t { return static_cast<uint8_t>(static_cast<int>(t * 2) % 50); });
    EXPECT_TRUE(clip.CreatePosterFrame());
    EXPECT_EQ(detector.Script().frameTimes.size(), 600u);
}

TEST_F(PosterFrame, NoneWithoutAFrame) {
    auto posterWith = [&](auto&& configure) {
        detector.Script() = {};
        FramesAre([](double) -> uint8_t { return 200; });
        configure(detector.Script());
        return clip.CreatePosterFrame() != nullptr;
    };
    EXPECT_TRUE(posterWith([](auto& s) {  // the second stream is the video
        s.streamTypes = {MediaStreamType::Audio, MediaStreamType::Video};
        s.streamCount = 2;
    }));
    EXPECT_FALSE(posterWith([](auto& s) { s.streamTypes = {MediaStreamType::Audio}; }));
    EXPECT_FALSE(posterWith([](auto& s) { s.videoFormat.reset(); }));
    EXPECT_FALSE(posterWith([](auto& s) { s.frameAt = nullptr; }));
    EXPECT_FALSE(posterWith([](auto& s) { s.createSucceeds = false; }));
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
    LogFont font{.height = -24};
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
    const std::wstring face = std::wstring(30, L'x') + L"\U0001F600";
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
        temporary_.emplace(folder_);
        SetTextRasteriser(rasteriser);
    }
    ~TextBitmap() override {
        SetTextRasteriser(nullptr);
        temporary_.reset();
        fs::remove_all(folder_);
    }
    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }
    std::shared_ptr<testing::FakeTextRasteriser> rasteriser =
        std::make_shared<testing::FakeTextRasteriser>();
    fs::path folder_;
    std::optional<testing::TemporaryFolder> temporary_;
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

// The engine stretches a text's bitmap over the picture, so a canvas far larger than the
// picture is drawn at the picture's scale, with the text's place and size scaled alike.
TEST_F(TextBitmap, ACanvasLargerThanThePictureIsDrawnAtThePicturesScale) {
    TextClip clip(&videoTrack);
    clip.SetSource(L"Title");
    clip.SetXPos(8192);
    clip.SetYPos(100);
    LogFont font;
    font.height = -2048;
    clip.SetLogFont(font);
    clip.SetVideoTrackSize(16384, 16384);  // on a 320 x 240 picture
    clip.RenderToBitmapFile();
    EXPECT_EQ(rasteriser->lastBox, (std::array<int32_t, 4>{160, 2, 320, 320}));
    EXPECT_EQ(rasteriser->lastFont.height, -40);
    clip.SetVideoTrackSize(320, 240);  // the picture's own size is drawn as it is
    clip.RenderToBitmapFile();
    EXPECT_EQ(rasteriser->lastBox, (std::array<int32_t, 4>{8192, 100, 320, 240}));
}

TEST_F(TextBitmap, AFailedRenderingRaisesAndLeavesNoFile) {
    TextClip clip(&videoTrack);
    auto expectFailure = [&] {
        EXPECT_THAT(
            [&] { clip.RenderToBitmapFile(); },
            ::testing::ThrowsMessage<DesError>(::testing::StrEq("Could not setup text clip")));
        EXPECT_EQ(FilesInFolder(), 0u);
        EXPECT_TRUE(clip.GetBitmapPath().empty());
    };
    rasteriser->fails = true;
    expectFailure();
    rasteriser->fails = false;
    clip.SetVideoTrackSize(0, 24);
    expectFailure();
    clip.SetVideoTrackSize(320, 24);
    temporary_->Set(folder_ / "missing");
    expectFailure();
}

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
    EXPECT_THAT(
        [&] { ApplyParams(L"a=1", *node, timeline); },
        ::testing::ThrowsMessage<DesError>(::testing::StrEq("Could not create property setter")));
    timeline.Failures().FailCall(EditOp::SetPropertySetter);
    EXPECT_THROW(ApplyParams(L"a=1", *node, timeline), DesError);
}

TEST(EffectParams, EveryWhiteSpaceCharacterIsRemovedAndTheRestKeepsItsOrder) {
    struct TestEffect : IEffect {
        TestEffect() : IEffect(std::shared_ptr<DesEffect>()) {}
    } effect;
    effect.SetParams(L"\tA = 1,\r\nB=\u00A02\v,\fC=\u30003\u2003");
    EXPECT_EQ(effect.GetParams(), L"A=1,B=2,C=3");
    effect.SetParams(L"a\u200Bb\u00ADc");  // look-alikes that are not white space stay
    EXPECT_EQ(effect.GetParams(), L"a\u200Bb\u00ADc");
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The control's calls pin the usual conversions; these are the limits behind them.
TEST(TimeRules, ReferenceTimeIs64BitAndTruncatesBackTowardZero) {
    EXPECT_EQ(MillisecondsToReferenceTime(kMax), int64_t{kMax} * 10000);
    EXPECT_EQ(ReferenceTimeToMilliseconds(19999), 1);
    EXPECT_EQ(ReferenceTimeToMilliseconds(-19999), -1);
    // Beyond what 32 bits of milliseconds hold, a position saturates instead of wrapping.
    EXPECT_EQ(ReferenceTimeToMilliseconds(std::numeric_limits<int64_t>::max()), kMax);
}

// Each row: a time, a zoom and the pixels; or pixels, a zoom and the time. Degenerate zooms
// give defined values, not undefined behaviour.
TEST(TimeRules, PixelRuleAtSeveralZooms) {
    struct Row {
        int32_t from;
        float scale;
        int32_t to;
    };
    const Row toPixels[] = {{4000, 1.0f, 1000}, {4000, 2.0f, 2000}, {4000, 0.5f, 500},
                            {1000, 0.3f, 75},  // k = 0.075f, a hair above 0.075
                            {4000, 0.0f, 0},    {4000, kNaN, 0},    {kMax, 1.0e30f, kMax}};
    for (const Row& row : toPixels) {
        EXPECT_EQ(MillisecondsToPixels(row.from, row.scale), row.to)
            << row.from << " " << row.scale;
    }
    // The bias is added before truncation toward zero: -500.0 + 0.0005 gives -499.
    const Row toTime[] = {{125, 1.0f, 500}, {1, 0.3f, 13},    {-125, 1.0f, -499},
                          {0, 0.0f, 0},     {10, 0.0f, kMax}, {-10, 0.0f, kMin}};
    for (const Row& row : toTime) {
        EXPECT_EQ(PixelsToMilliseconds(row.from, row.scale), row.to)
            << row.from << " " << row.scale;
    }
    for (float scale : {0.25f, 0.5f, 1.0f, 2.0f, 4.0f}) {
        for (int32_t x : {1, 17, 1000, 123456}) {
            EXPECT_EQ(MillisecondsToPixels(PixelsToMilliseconds(x, scale), scale), x) << scale;
        }
    }
    for (float scale : {0.0f, -1.0f, kNaN, kInf, 1.0e-45f}) {
        EXPECT_FALSE(IsUsableScale(scale)) << scale;
    }
}

// A clip at 1000 to 5000 ms on a timeline at scale 1, playing 500 to 4500 ms of its source.
class ClipDrag : public ::testing::Test {
  protected:
    ClipDrag() {
        clip.SetSource(L"C:\\media\\clip.avi");
        clip.GetSegment()->SetScale(scale.GetScaleField());
        clip.GetSegment()->SetStartMs(1000);
        clip.GetSegment()->SetStopMs(5000);
        clip.GetMediaSegment()->SetStartMs(500);
        clip.GetMediaSegment()->SetStopMs(4500);
    }
    int32_t MediaStop() const { return clip.GetMediaSegment()->GetStop(); }

    ScopedFakeMediaDetector detector;
    TimeScale scale;
    TestClip clip;
};

TEST_F(ClipDrag, MovingKeepsTheMediaSpanWithoutAskingTheDetector) {
    clip.SetPixelRange(500, 1500);
    EXPECT_EQ(clip.GetSegment()->GetStart(), 2000);
    EXPECT_EQ(clip.GetSegment()->GetStop(), 6000);
    EXPECT_EQ(MediaStop(), 4500);
    EXPECT_EQ(detector.Script().created, 0);
}

TEST_F(ClipDrag, ResizingSetsTheMediaStopFromTheMediaStartWithinTheSourceLength) {
    detector.Script().lengths = {6.5, 6.5};
    clip.SetPixelRange(250, 750);  // 2000 ms long
    EXPECT_EQ(clip.GetMediaSegment()->GetStart(), 500);
    EXPECT_EQ(MediaStop(), 2500);
    clip.SetPixelRange(0, 2500);  // 10 s long, beyond the 6.5 s source
    EXPECT_EQ(clip.GetSegment()->GetStop(), 10000);
    EXPECT_EQ(MediaStop(), 500 + 6500);
    EXPECT_EQ(detector.Script().openedPaths.back(), L"C:\\media\\clip.avi");
    EXPECT_EQ(detector.Script().destroyed, detector.Script().created);
}

TEST_F(ClipDrag, AnUnknownSourceLengthDoesNotCutTheMediaSpanToNothing) {
    detector.Script().openSucceeds = false;
    clip.SetPixelRange(0, 2500);
    EXPECT_EQ(MediaStop(), 500 + 10000);
    clip.GetMediaSegment()->SetStartMs(kMax - 100);  // and it saturates, never wraps
    clip.SetPixelRange(0, 1000);
    EXPECT_EQ(MediaStop(), kMax);
}

TEST_F(ClipDrag, RefusedWithoutAUsableScale) {
    for (float unusable : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        scale.SetScale(unusable);
        clip.SetPixelRange(0, 2500);
        EXPECT_EQ(clip.GetSegment()->GetStart(), 1000);
        EXPECT_EQ(MediaStop(), 4500);
    }
    TestClip loose;  // never on a track: no scale at all
    loose.SetPixelRange(0, 2500);
    EXPECT_EQ(loose.GetSegment()->GetStop(), 0);
}

TEST(MediaLength, AsksTheCurrentStreamAtMostOncePerStream) {
    ScopedFakeMediaDetector detector;
    detector.Script().streamCount = 3;
    detector.Script().lengths = {std::nullopt, std::nullopt, 1.2349999};
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 1234);  // third answer, truncated
    detector.Script().lengths = {std::nullopt, std::nullopt, std::nullopt, 2.0};
    EXPECT_EQ(clip.GetMediaLength(), 0);  // three streams, three questions, no answer
    EXPECT_EQ(detector.Script().lengthQuestions, 6);
}

TEST(MediaLength, IsZeroWheneverTheDetectorCannotTell) {
    TestClip clip;
    EXPECT_EQ(clip.GetMediaLength(), 0);  // no detector installed at all

    ScopedFakeMediaDetector detector;
    auto lengthWith = [&](auto&& configure) {
        detector.Script() = {};
        detector.Script().lengths = {3.0};
        configure(detector.Script());
        return clip.GetMediaLength();
    };
    EXPECT_EQ(lengthWith([](auto&) {}), 3000);
    EXPECT_EQ(lengthWith([](auto& s) { s.createSucceeds = false; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.openSucceeds = false; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = std::nullopt; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.streamCount = -2; }), 0);
    EXPECT_EQ(lengthWith([](auto& s) { s.lengths = {std::numeric_limits<double>::quiet_NaN()}; }),
              0);
    EXPECT_EQ(lengthWith([](auto& s) { s.lengths = {1.0e12}; }), kMax);
}

// Observers a, b, c on one subject; each logs its letter when reached.
class SubjectWalk : public ::testing::Test {
  protected:
    SubjectWalk() {
        for (auto [observer, name] : {std::pair{&a, "a"}, {&b, "b"}, {&c, "c"}}) {
            subject.Attach(observer);
            observer->SetCallback([this, name = std::string(name)](ISubject&) { order += name; });
        }
    }
    // Replaces b's reaction; b still logs its letter first.
    void OnB(std::function<void()> reaction) {
        b.SetCallback([this, reaction](ISubject&) {
            order += "b";
            reaction();
        });
    }
    std::string Walk() {
        order.clear();
        subject.Notify();
        return order;
    }

    ISubject subject;
    CallbackObserver a, b, c;
    std::string order;
};

TEST_F(SubjectWalk, AttachOrderAndDoubleAttach) {
    subject.Attach(&a);
    subject.Attach(nullptr);
    EXPECT_EQ(Walk(), "abca");
}

TEST_F(SubjectWalk, SelfDetachIsDeferredAndTheNextObserverIsStillReached) {
    OnB([this] {
        subject.Detach(&b);
        EXPECT_TRUE(b.IsRemoveRequested());
        EXPECT_EQ(subject.GetObserverCount(), 3u);  // still listed while its Handle runs
    });
    EXPECT_EQ(Walk(), "abc");
    EXPECT_FALSE(b.IsBusy());
    EXPECT_FALSE(b.IsRemoveRequested());
    EXPECT_EQ(Walk(), "ac");
    // Attached again, it stays: the old request does not linger.
    subject.Attach(&b);
    OnB([] {});
    EXPECT_EQ(Walk(), "acb");
    EXPECT_EQ(Walk(), "acb");
}

TEST_F(SubjectWalk, DetachingOthersDuringTheWalkSkipsAndRepeatsNoOne) {
    CallbackObserver d([this](ISubject&) { order += "d"; });
    subject.Attach(&d);
    OnB([this] {
        subject.Detach(&a);  // already reached
        subject.Detach(&c);  // not yet reached
    });
    EXPECT_EQ(Walk(), "abd");
    EXPECT_EQ(subject.GetObserverCount(), 2u);
}

TEST_F(SubjectWalk, AttachingDuringTheWalkKeepsItValid) {
    std::vector<std::unique_ptr<CallbackObserver>> added;
    OnB([&] {
        for (int i = 0; i < 64; ++i) {  // enough to make the list grow under the walk
            added.push_back(std::make_unique<CallbackObserver>());
            subject.Attach(added.back().get());
        }
    });
    EXPECT_EQ(Walk(), "abc");
    EXPECT_EQ(subject.GetObserverCount(), 67u);
}

TEST_F(SubjectWalk, AThrowingHandlerLeavesTheSubjectUsable) {
    OnB([] { throw std::runtime_error("Could not set transition times"); });
    EXPECT_THROW(Walk(), std::runtime_error);
    EXPECT_FALSE(b.IsBusy());
    OnB([this] { subject.Detach(&b); });
    EXPECT_EQ(Walk(), "abc");
    EXPECT_EQ(subject.GetObserverCount(), 2u);
}

TEST(Subject, DetachFromAnotherSubjectWhileBusyRemovesFromThatOneOnly) {
    // x, handling subject one, detaches itself from subject two: its busy flag must neither
    // make subject one drop it nor leave it on subject two.
    ISubject one, two;
    CallbackObserver x;
    x.SetCallback([&](ISubject& s) {
        if (&s == &one) {
            two.Detach(&x);
        }
    });
    one.Attach(&x);
    two.Attach(&x);
    one.Notify();
    EXPECT_EQ(one.GetObserverCount(), 1u);
    EXPECT_EQ(two.GetObserverCount(), 0u);
}

TEST(Subject, SelfDetachDuringANestedNotifyOfTheSameSubject) {
    ISubject subject;
    CallbackObserver outer, inner;
    outer.SetCallback([&](ISubject& s) {
        if (outer.calls == 1) {
            s.Notify();  // reached again in here, where it detaches itself
        } else {
            s.Detach(&outer);
        }
    });
    subject.Attach(&outer);
    subject.Attach(&inner);
    subject.Notify();
    EXPECT_EQ(subject.GetObserverCount(), 1u);
    EXPECT_EQ(outer.calls, 2);
    EXPECT_EQ(inner.calls, 2);  // once in each walk, none skipped
}

// A track whose announcements and whose clips' set-ups and destructions share one log.
class TrackLog : public ::testing::Test {
  protected:
    TrackLog() {
        track.GetContentAdded()->Attach(&added);
        track.GetContentRemoved()->Attach(&removed);
        for (auto* clip : {"x", "y", "z"}) {
            track.Add(clip, 1000 * (clip[0] - 'x'), 1000 * (clip[0] - 'x' + 1));
        }
        log->clear();
    }

    void Log(const std::string& what, ISubject& subject) {
        auto* clip = static_cast<TestClip*>(static_cast<ContentEvent&>(subject).GetContent());
        log->push_back(what + " " + clip->Name() + " of " +
                       std::to_string(track.GetContentCount()));
    }

    std::shared_ptr<EventLog> log = std::make_shared<EventLog>();
    TestTrack track{log};
    CallbackObserver added{[this](ISubject& s) { Log("added", s); }};
    CallbackObserver removed{[this](ISubject& s) { Log("removed", s); }};
};

TEST_F(TrackLog, AddAppendsAnnouncesAndUpdateRunsChangingSetupChanged) {
    auto& clip = static_cast<TestClip&>(*track.CreateContent());
    EXPECT_EQ(*log, EventLog{"added  of 4"});  // appended before it is announced
    clip.SetSource(L"w");
    CallbackObserver changing([&](ISubject&) { log->push_back("changing"); });
    CallbackObserver changed([&](ISubject&) { log->push_back("changed"); });
    clip.GetChanging()->Attach(&changing);
    clip.GetChanged()->Attach(&changed);
    clip.Update();
    EXPECT_EQ(*log, (EventLog{"added  of 4", "changing", "setup w", "changed"}));
    EXPECT_EQ(track.GetContentAt(3), &clip);
    clip.GetChanging()->Detach(&changing);
    clip.GetChanged()->Detach(&changed);
}

TEST_F(TrackLog, RemoveAnnouncesThenDestroysAndLaterContentsMoveDown) {
    IContent* y = track.GetContentAt(1);
    removed.SetCallback([&](ISubject& s) {
        Log("removed", s);
        EXPECT_EQ(y->GetChanging()->GetObserverCount(), 0u);  // the track let go first
    });
    EXPECT_TRUE(track.RemoveContentAt(1));
    EXPECT_EQ(*log, (EventLog{"removed y of 3", "destroyed y"}));
    EXPECT_EQ(track.ClipAt(1).Name(), "z");

    removed.SetCallback([this](ISubject& s) { Log("removed", s); });
    log->clear();
    track.RemoveAllContents();
    EXPECT_EQ(*log, (EventLog{"removed x of 2", "destroyed x", "removed z of 1", "destroyed z"}));
}

TEST_F(TrackLog, AnObserverRemovingAnotherContentDuringARemovalIsSafe) {
    bool once = true;
    removed.SetCallback([&](ISubject&) {
        if (std::exchange(once, false)) {
            track.RemoveContentAt(0);  // the host deletes x while y is being removed
        }
    });
    EXPECT_TRUE(track.RemoveContentAt(1));
    ASSERT_EQ(track.GetContentCount(), 1);
    EXPECT_EQ(track.ClipAt(0).Name(), "z");
}

// The no-overlap rule: contents are placed in order; each row gives the times asked for
// and the times the content ends up with, which its set-up already sees.
struct Placement {
    int32_t start, stop, placedStart, placedStop;
};

TEST(NoOverlap, ContentMovesLaterUntilItOverlapsNothingAndKeepsItsLength) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    const std::vector<Placement> tracks[] = {
        // Step by step past both (overlap.vts pins moves and touching through the control).
        {{0, 3000, 0, 3000}, {3000, 6000, 3000, 6000}, {2000, 4000, 6000, 8000}},
        // The third overlaps both; the first in the list is later in time, and it decides.
        {{1500, 9000, 1500, 9000}, {0, 1000, 0, 1000}, {500, 2000, 9000, 10500}},
        // Zero-length contents sharing a start would push each other forever.
        {{1000, 1000, 1000, 1000}, {1000, 1000, 1000, 1000}, {1000, 2000, 1000, 2000}},
        // Reversed contents (start after stop) neither move nor push.
        {{5000, 1000, 5000, 1000}, {5000, 6000, 5000, 6000}, {5000, 2000, 5000, 2000}},
        // Near the end of time the stop saturates instead of wrapping negative.
        {{0, max - 10, 0, max - 10}, {0, 1000, max - 10, max}},
    };
    for (const auto& rows : tracks) {
        SCOPED_TRACE(::testing::PrintToString(&rows - tracks));
        TestTrack track;
        for (const auto& row : rows) {
            track.Add("c", row.start, row.stop);
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            TestClip& clip = track.ClipAt(static_cast<int32_t>(i));
            const std::pair placed{rows[i].placedStart, rows[i].placedStop};
            EXPECT_EQ(std::pair(clip.GetSegment()->GetStart(), clip.GetSegment()->GetStop()),
                      placed)
                << "content " << i;
            EXPECT_EQ(clip.setupTimes, std::vector{placed}) << "content " << i;
        }
    }
}

}  // namespace
}  // namespace vortrel
