#include "platform/linux/MltGraphBuilder.h"

#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "MltPicture.h"
#include "editing/DesEffect.h"
#include "editing/DesGroup.h"
#include "editing/DesSource.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "model/BitmapFile.h"
#include "platform/linux/FileBytes.h"
#include "platform/linux/KeyedBitmaps.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltRuntime.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr double kFps = 15.0;  // the video group's rate while none is set
constexpr int64_t kSecond = 10'000'000;

testing::MediaFolder& Folder() {
    static testing::MediaFolder folder;
    return folder;
}
// Red, green, then blue, a second each, with a tone that the video group must not play.
std::filesystem::path Colours() {
    return Folder().MakeVideo(
        "colours.mkv", {{{testing::kRed, 1.0}, {testing::kGreen, 1.0}, {testing::kBlue, 1.0}},
                        kWidth,
                        kHeight,
                        25,
                        440});
}
// Two seconds of a 440 Hz tone.
std::filesystem::path Tone() {
    return Folder().MakeTone("tone.wav", 2.0, 440, 44100, 2);
}
// A white picture of half the video's width with a blue patch in its top left quarter.
std::filesystem::path Still() {
    return Folder().MakeImage("picture.png", kWidth / 2, kHeight, testing::kWhite,
                              testing::Patch{testing::kBlue, 0, 0, kWidth / 4, kHeight / 2});
}
// A white text bitmap of the video's width and half its height whose alpha is 255, 128 and 0
// in its left, middle and right thirds; with `empty`, of its full height and transparent, as
// an empty text draws it.
std::filesystem::path Text(bool empty = false) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < kWidth * kHeight / (empty ? 1 : 2); ++i) {
        const int x = i % kWidth;
        const int alpha = empty ? 0 : x < kWidth / 3 ? 255 : x < 2 * kWidth / 3 ? 128 : 0;
        pixels.insert(pixels.end(), {255, 255, 255, static_cast<uint8_t>(alpha)});
    }
    const auto file = EncodeBitmapFile32(kWidth, kHeight / (empty ? 1 : 2), pixels);
    return Folder().WriteFile(empty ? "empty.bmp" : "text.bmp",
                              std::string(file.begin(), file.end()));
}

// A timeline laid out as the model lays it out: a video group with video 1, video 2, image
// and text tracks (the text track with its key), an audio group with two audio tracks.
class MltGraph : public ::testing::Test {
  protected:
    MltGraph() {
        MltRuntime::Repository();
        overlay_.Apply(kClsidDxtKey);
    }

    EditTimeline& Timeline() { return timeline_.GetTimeline(); }

    // Places a span of a file on a track, from a point of the file, at normal speed.
    void Place(DesTrack& track, const std::filesystem::path& file, double start, double stop,
               double mediaStart = 0.0) {
        sources_.push_back(std::make_unique<DesSource>(track));
        EditNode& node = *sources_.back()->GetSourceObject();
        node.SetStartStop(Units(start), Units(stop));
        node.SetMediaName(testing::ToWide(file));
        node.SetMediaTimes(Units(mediaStart), Units(mediaStart + stop - start));
    }

    std::shared_ptr<EditPropertySetter> Setter(
        const std::vector<std::pair<std::wstring, std::wstring>>& properties) {
        auto setter = Timeline().CreatePropertySetter();
        for (const auto& [name, value] : properties) {
            setter->AddProp(name, value);
        }
        return setter;
    }

    void Blend(DesTrack& track, const Guid& classId, double start, double stop,
               bool reverse = false) {
        transitions_.push_back(std::make_unique<DesTransition>(&track));
        DesTransition& transition = *transitions_.back();
        transition.SetReverse(reverse);
        transition.Apply(classId);
        transition.GetTransitionObject()->SetStartStop(Units(start), Units(stop));
    }

    void Effect(const wchar_t* name, double start, double stop,
                const std::vector<std::pair<std::wstring, std::wstring>>& properties = {}) {
        effects_.push_back(std::make_unique<DesGroupEffect>(&video_));
        effects_.back()->Apply(timeline_.FindEffect(name));
        EditNode& node = *effects_.back()->GetEffectObject();
        node.SetStartStop(Units(start), Units(stop));
        if (!properties.empty()) {
            node.SetPropertySetter(Setter(properties));
        }
    }

    // Gives an audio source the volume effect the model gives every audio clip.
    void Volume(DesSource& source, const wchar_t* volume) {
        effects_.push_back(std::make_unique<DesSourceEffect>(&source));
        effects_.back()->Apply(kClsidAudMixer);
        EditNode& node = *effects_.back()->GetEffectObject();
        const EditNode& placed = *source.GetSourceObject();
        node.SetStartStop(placed.GetStart(), placed.GetStop());
        node.SetPropertySetter(Setter({{L"Vol", volume}}));
    }

    void Rebuild() {
        profile_ = builder_.MakeProfile(Timeline());
        graph_ = builder_.Build(Timeline(), *profile_);
        ASSERT_TRUE(graph_);
        ASSERT_TRUE(graph_->is_valid());
        playing_ = graph_.get();
    }

    static int FrameAt(double seconds) { return static_cast<int>(std::lround(seconds * kFps)); }

    // The picture at a time, top row first; empty when no real picture came back.
    std::vector<Rgb> Picture(double seconds) {
        std::vector<Rgb> pixels = FetchPicture(*playing_, FrameAt(seconds), kWidth, kHeight);
        EXPECT_EQ(pixels.size(), size_t{kWidth * kHeight}) << "no picture at " << seconds;
        return pixels;
    }

    Rgb Pixel(double seconds, int x = kWidth / 2, int y = kHeight / 2) {
        const std::vector<Rgb> picture = Picture(seconds);
        return picture.empty() ? Rgb{-1, -1, -1} : picture[y * kWidth + x];
    }

    // The loudest sample of the sound of the frame at a time, as a consumer at the audio
    // group's rate asks for it; -1 when no sound came back.
    int Peak(double seconds) {
        const int position = FrameAt(seconds);
        playing_->seek(position);
        std::unique_ptr<Mlt::Frame> frame(playing_->get_frame());
        mlt_audio_format format = mlt_audio_s16;
        int frequency = 44100;
        int channels = 2;
        int samples = mlt_audio_calculate_frame_samples(kFps, frequency, position);
        const auto* pcm =
            static_cast<const int16_t*>(frame->get_audio(format, frequency, channels, samples));
        if (pcm == nullptr || format != mlt_audio_s16 || samples <= 0) {
            ADD_FAILURE() << "no sound at " << seconds;
            return -1;
        }
        int peak = 0;
        for (int i = 0; i < samples * channels; ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(pcm[i])));
        }
        return peak;
    }

    static int64_t Units(double seconds) { return std::llround(seconds * kSecond); }

    MltCatalog catalog_;
    DesTimeline timeline_{catalog_};
    DesVideoGroup video_{&timeline_, kWidth, kHeight, 15.0f};
    DesAudioGroup audio_{&timeline_, 44100};
    DesTrack video1_{video_};
    DesTrack video2_{video_};
    DesTrack image_{video_};
    DesTrack text_{video_};
    DesTrack audio1_{audio_};
    DesTrack audio2_{audio_};
    DesTransition overlay_{&text_};
    std::vector<std::unique_ptr<DesSource>> sources_;
    std::vector<std::unique_ptr<DesTransition>> transitions_;
    std::vector<std::unique_ptr<DesEffect>> effects_;

    MltGraphBuilder builder_{catalog_};
    std::unique_ptr<Mlt::Profile> profile_;
    std::unique_ptr<Mlt::Tractor> graph_;
    Mlt::Producer* playing_ = nullptr;  // the graph, or what was read back from its XML
};

TEST_F(MltGraph, ProfileIsTheVideoGroupsSizeAtFifteenFpsUntilARateIsSet) {
    struct Case {
        float fps;  // 0: none set, at the group's first size
        int width, num, den;
    };
    for (const Case& c : {Case{0.0f, kWidth, 15, 1}, Case{25.0f, 160, 25, 1},
                          Case{29.97f, 160, 30000, 1001}, Case{12.5f, 160, 25, 2}}) {
        if (c.fps > 0) {
            video_.SetFrameRate(c.fps);
            video_.SetResolution(*video_.GetGroupObject(), 160, 120);
        }
        const auto profile = builder_.MakeProfile(Timeline());
        EXPECT_EQ(profile->width(), c.width);
        EXPECT_EQ(profile->height(), c.width * 3 / 4);
        EXPECT_EQ(profile->frame_rate_num(), c.num) << c.fps;
        EXPECT_EQ(profile->frame_rate_den(), c.den) << c.fps;
        EXPECT_EQ(profile->sample_aspect_num(), profile->sample_aspect_den());
        EXPECT_TRUE(profile->progressive());
    }
}

TEST_F(MltGraph, ClipsShowTheirMediaFromTheirInPointsAtTheirTimesOverBlack) {
    Place(video1_, Colours(), 1.0, 2.0, 1.0);  // the file's green second
    Place(video1_, Colours(), 2.0, 3.0, 0.0);  // its red one
    Rebuild();
    EXPECT_EQ(graph_->get_playtime(), FrameAt(3.0));
    EXPECT_TRUE(Near(Pixel(0.5), kBlack));
    EXPECT_TRUE(Near(Pixel(1.0), kGreen));
    EXPECT_TRUE(Near(Pixel(1.0 + 14 / kFps), kGreen));
    EXPECT_TRUE(Near(Pixel(2.0), kRed));
    EXPECT_TRUE(Near(Pixel(2.9), kRed));
}

TEST_F(MltGraph, LaterTracksCoverEarlierOnesAndMutedTracksAreLeftOut) {
    Place(video1_, Colours(), 0.0, 2.0);       // red, then green
    Place(video2_, Colours(), 0.5, 1.5, 2.0);  // blue
    Place(image_, Still(), 1.2, 1.4);
    Rebuild();
    EXPECT_TRUE(Near(Pixel(0.25), kRed));
    EXPECT_TRUE(Near(Pixel(0.75), kBlue));
    // The picture is stretched over the whole frame, its patch over the top left quarter.
    EXPECT_TRUE(Near(Pixel(1.3, 2, 2), kBlue));
    EXPECT_TRUE(Near(Pixel(1.3, kWidth / 2 - 3, kHeight / 2 - 3), kBlue));
    EXPECT_TRUE(Near(Pixel(1.3, kWidth - 2, kHeight - 2), kWhite));
    EXPECT_TRUE(Near(Pixel(1.45), kBlue));
    EXPECT_TRUE(Near(Pixel(1.75), kGreen));

    video2_.GetTrackObject()->SetMuted(true);
    image_.GetTrackObject()->SetMuted(true);
    Rebuild();
    EXPECT_TRUE(Near(Pixel(0.75), kRed));
    EXPECT_TRUE(Near(Pixel(1.3), kGreen));
}

TEST_F(MltGraph, TransitionsBlendTheirTrackInOverWhatLiesBeneathOrOutWhenSwapped) {
    Place(video1_, Colours(), 0.0, 1.0);       // red beneath
    Place(video2_, Colours(), 0.0, 1.0, 2.0);  // blue on the track
    Place(video2_, Colours(), 1.0, 2.0, 2.0);
    Place(video1_, Colours(), 1.0, 2.0, 0.0);
    const Guid dissolve = timeline_.FindTransition(L"Dissolve");
    Blend(video2_, dissolve, 0.0, 1.0);
    Blend(video2_, dissolve, 1.0, 2.0, true);
    Rebuild();
    EXPECT_TRUE(Near(Pixel(0.0), kRed, 40));
    EXPECT_TRUE(Near(Pixel(0.5), {128, 0, 128}, 40));
    EXPECT_TRUE(Near(Pixel(1.0 - 1 / kFps), kBlue, 40));
    EXPECT_TRUE(Near(Pixel(1.0), kBlue, 40));
    EXPECT_TRUE(Near(Pixel(1.5), {128, 0, 128}, 40));
    EXPECT_TRUE(Near(Pixel(2.0 - 1 / kFps), kRed, 40));

    // A wipe draws the map its catalogue entry names: the left side is blue first.
    transitions_.clear();
    Blend(video2_, timeline_.FindTransition(L"Wipe Left to Right"), 0.0, 1.0);
    // A class the catalogue does not know is left out: the track covers what lies beneath.
    Blend(video2_, Guid::FromName("no such transition"), 1.0, 2.0);
    Rebuild();
    EXPECT_TRUE(Near(Pixel(0.5, 2, kHeight / 2), kBlue));
    EXPECT_TRUE(Near(Pixel(0.5, kWidth - 3, kHeight / 2), kRed));
    EXPECT_TRUE(Near(Pixel(1.5), kBlue));
}

TEST_F(MltGraph, PicturesMoveInFillingTheFrameAsTheyAreShownAfterwards) {
    Place(video1_, Colours(), 0.0, 2.0);  // red, then green
    Place(image_, Still(), 0.0, 3.0);     // half the frame's width, blue in its top left
    Blend(image_, timeline_.FindTransition(L"Zoom from Centre"), 0.0, 2.0);
    Rebuild();
    // Halfway the picture covers the middle half of the frame, stretched as it is once the
    // transition is over, rather than fitted into it with the video showing at its sides.
    EXPECT_TRUE(Near(Pixel(1.0, kWidth / 4 + 3, kHeight / 2 - 2), kBlue, 60));
    EXPECT_TRUE(Near(Pixel(1.0, 3 * kWidth / 4 - 3, kHeight / 2 + 2), kWhite, 60));
    EXPECT_TRUE(Near(Pixel(1.0, 2, kHeight / 2), kGreen));
    EXPECT_TRUE(Near(Pixel(2.5, 2, 2), kBlue));
    EXPECT_TRUE(Near(Pixel(2.5, kWidth - 2, kHeight - 2), kWhite));
}

TEST_F(MltGraph, TextIsKeyedOverThePictureByItsAlpha) {
    Place(video1_, Colours(), 0.0, 2.0);  // red, then green
    Place(text_, Text(), 0.0, 1.0);
    Place(text_, Text(true), 1.0, 2.0);
    overlay_.GetTransitionObject()->SetStartStop(0, Units(2.0));
    Rebuild();
    // The bitmap is stretched over the whole picture, as every source is.
    for (int y : {1, kHeight / 2, kHeight - 2}) {
        EXPECT_TRUE(Near(Pixel(0.5, 2, y), kWhite)) << "row " << y;
        EXPECT_TRUE(Near(Pixel(0.5, kWidth / 2, y), {255, 128, 128}, 30)) << "row " << y;
        EXPECT_TRUE(Near(Pixel(0.5, kWidth - 3, y), kRed)) << "row " << y;
    }
    // A text that draws nothing is transparent everywhere, not a white sheet.
    for (const Rgb& pixel : Picture(1.5)) {
        ASSERT_TRUE(Near(pixel, kGreen));
    }
}

TEST(KeyedBitmaps, ReadRowsEitherWayUpAndOnlyThirtyTwoBitBitmaps) {
    const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8};  // two rows of one pixel
    std::vector<uint8_t> file = EncodeBitmapFile32(1, 2, pixels);
    const std::string bottomUp(file.begin(), file.end());
    auto decoded = KeyedBitmaps::Decode(bottomUp);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels, pixels);

    // The same rows stored top row first, as a negative height says.
    std::string topDown = bottomUp;
    const int32_t negative = -2;
    std::memcpy(&topDown[22], &negative, 4);
    std::swap_ranges(topDown.begin() + 54, topDown.begin() + 58, topDown.begin() + 58);
    decoded = KeyedBitmaps::Decode(topDown);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels, pixels);

    std::string twentyFourBit = bottomUp;
    twentyFourBit[28] = 24;
    EXPECT_FALSE(KeyedBitmaps::Decode(twentyFourBit));
    EXPECT_FALSE(KeyedBitmaps::Decode(bottomUp.substr(0, bottomUp.size() - 1)));
}

TEST_F(MltGraph, GroupEffectsChangeTheWholePictureOnlyDuringTheirSpan) {
    Place(video1_, Colours(), 0.0, 2.0);  // red, then green
    Place(text_, Text(), 0.0, 2.0);
    overlay_.GetTransitionObject()->SetStartStop(0, Units(2.0));
    Effect(L"Invert", 0.5, 1.0);
    // The node's properties override the entry's own: brightened to half instead of 1.4.
    Effect(L"Brighten", 1.5, 2.5, {{L"level", L"0.5"}});
    Rebuild();
    EXPECT_EQ(graph_->get_playtime(), FrameAt(2.5));
    EXPECT_TRUE(Near(Pixel(0.25, kWidth - 3), kRed));
    EXPECT_TRUE(Near(Pixel(0.75, kWidth - 3), {0, 255, 255}));
    EXPECT_TRUE(Near(Pixel(0.75, 2), kBlack));  // the text is inverted too
    EXPECT_TRUE(Near(Pixel(1.25, kWidth - 3), kGreen));
    const Rgb darker = Pixel(1.75, kWidth - 3);
    EXPECT_LT(darker.g, 180);
    EXPECT_GT(darker.g, 60);
}

TEST_F(MltGraph, FilesThatCannotBeOpenedPlayAsBlackAndSilence) {
    Place(video1_, Colours(), 0.0, 2.0);  // red, then green
    Place(video2_, "/no/such/file.mkv", 0.5, 1.0);
    Place(video2_, Folder().WriteFile("junk.mkv", "not a video"), 1.2, 1.5);
    Place(audio1_, "/no/such/sound.wav", 0.0, 3.0);
    Rebuild();
    EXPECT_EQ(graph_->get_playtime(), FrameAt(3.0));
    EXPECT_TRUE(Near(Pixel(0.25), kRed));
    EXPECT_TRUE(Near(Pixel(0.75), kBlack));
    EXPECT_TRUE(Near(Pixel(1.1), kGreen));
    EXPECT_TRUE(Near(Pixel(1.3), kBlack));
    EXPECT_TRUE(Near(Pixel(1.75), kGreen));
    EXPECT_EQ(Peak(1.0), 0);
}

TEST_F(MltGraph, ABareStreamPlaysItsWholeLengthThoughItsContainerGuessesLess) {
    // FFmpeg guesses a few milliseconds from the stream's bit rate.
    const auto stream = Folder().MakeWithFfmpeg(
        "colours.m1v",
        {"-i", Colours().string(), "-an", "-c:v", "mpeg1video", "-q:v", "2", "-f", "mpeg1video"});
    Place(video1_, stream, 0.0, 3.0);
    Rebuild();
    EXPECT_EQ(graph_->get_playtime(), FrameAt(3.0));
    EXPECT_TRUE(Near(Pixel(0.5), kRed));
    EXPECT_TRUE(Near(Pixel(1.5), kGreen));
    EXPECT_TRUE(Near(Pixel(2.9), kBlue));
}

TEST_F(MltGraph, AnEmptyTimelineIsOneFrameOfBlackSilence) {
    Place(video2_, Colours(), 0.0, 1.0);
    video2_.GetTrackObject()->SetMuted(true);
    Rebuild();
    EXPECT_EQ(graph_->get_playtime(), 1);
    EXPECT_TRUE(Near(Pixel(0.0), kBlack, 0));
    EXPECT_EQ(Peak(0.0), 0);
}

TEST_F(MltGraph, ClipVolumesScaleTheirSoundAndAudioTracksAreSummed) {
    Place(video1_, Colours(), 0.0, 3.0);  // its tone belongs to the video group
    Place(audio1_, Tone(), 0.0, 1.0);
    Volume(*sources_.back(), L"1");
    Place(audio1_, Tone(), 1.0, 2.0);
    Volume(*sources_.back(), L"0");
    Place(audio1_, Tone(), 2.0, 3.0);
    Volume(*sources_.back(), L"0.5");
    Place(audio2_, Tone(), 2.0, 3.0);
    Volume(*sources_.back(), L"0.25");
    Rebuild();
    const int full = Peak(0.5);
    EXPECT_GT(full, 3000);
    EXPECT_EQ(Peak(1.5), 0);
    EXPECT_NEAR(Peak(2.5), 0.75 * full, 0.05 * full);

    audio2_.GetTrackObject()->SetMuted(true);
    Rebuild();
    EXPECT_NEAR(Peak(2.5), 0.5 * full, 0.05 * full);
}

TEST_F(MltGraph, LoudVolumesAreNotHeldBack) {
    // A sine at -46 dB of full scale, which 40 dB more keeps clear of clipping.
    const auto quiet =
        Folder().MakeSine("quiet.wav", 2.0, 2, {"-af", "volume=0.01", "-c:a", "pcm_s16le"});
    Place(audio1_, quiet, 0.0, 1.0);
    Volume(*sources_.back(), L"1");
    Place(audio1_, quiet, 1.0, 2.0);
    Volume(*sources_.back(), L"100");
    Rebuild();
    const int quietPeak = Peak(0.5);
    EXPECT_GT(quietPeak, 100);
    EXPECT_NEAR(Peak(1.5), 100 * quietPeak, 2 * quietPeak);
}

TEST_F(MltGraph, ExportedXmlPlaysInMeltAndHoldsTheSameGraph) {
    Place(video1_, Colours(), 0.0, 1.0, 1.0);  // green
    Place(image_, Still(), 0.0, 0.5);
    Place(text_, Text(), 0.0, 1.0);
    overlay_.GetTransitionObject()->SetStartStop(0, Units(1.0));
    Effect(L"Invert", 0.5, 1.0);
    Place(audio1_, Tone(), 0.0, 1.0);
    Volume(*sources_.back(), L"0.5");
    const std::filesystem::path file = Folder().Path() / "timeline.mlt";
    ASSERT_TRUE(builder_.ExportXml(Timeline(), file.string()));
    EXPECT_FALSE(builder_.ExportXml(Timeline(), "/no/such/folder/timeline.mlt"));

    // melt plays it to the end and stops there.
    const std::string command =
        "melt -silent '" + file.string() +
        "' -consumer null real_time=-1 terminate_on_pause=1 >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);

    Rebuild();
    const std::vector<Rgb> stretched = Picture(0.25);
    const std::vector<Rgb> inverted = Picture(0.75);
    const int peak = Peak(0.25);
    Mlt::Producer loaded(*profile_, "xml", file.c_str());
    ASSERT_TRUE(loaded.is_valid());
    EXPECT_EQ(loaded.get_playtime(), FrameAt(1.0));
    // melt plays the file inside a tractor of its own, whose frames hand their flags down
    // over the graph's: the half-width still must fill the frame there as well.
    Mlt::Tractor wrapper(*profile_);
    wrapper.set_track(loaded, 0);
    playing_ = &wrapper;
    for (const auto& [seconds, direct] : {std::pair{0.25, stretched}, std::pair{0.75, inverted}}) {
        const std::vector<Rgb> read = Picture(seconds);
        ASSERT_EQ(read.size(), direct.size());
        for (size_t i = 0; i < read.size(); i += 5) {
            ASSERT_TRUE(Near(read[i], direct[i], 4)) << "pixel " << i << " at " << seconds;
        }
    }
    EXPECT_NEAR(Peak(0.25), peak, peak / 50 + 1);
}

// The resources an exported graph names, in order.
std::vector<std::string> Resources(const std::filesystem::path& xml) {
    const std::string text = ReadFileBytes(xml).value_or("");
    const std::string tag = "<property name=\"resource\">";
    std::vector<std::string> resources;
    for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
        const size_t begin = at + tag.size();
        resources.push_back(text.substr(begin, text.find('<', begin) - begin));
    }
    return resources;
}

TEST_F(MltGraph, ExportedXmlNamesAbsolutePathsAndKeepsMadeFilesBesideIt) {
    // Media named relative to the working folder, as a project in it names them.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(Folder().Path());
    Place(video1_, Colours().filename(), 0.0, 1.0);
    Place(video2_, Colours().filename(), 0.0, 1.0, 2.0);
    Blend(video2_, timeline_.FindTransition(L"Wipe Left to Right"), 0.0, 1.0);
    Place(text_, Text().filename(), 0.0, 1.0);
    overlay_.GetTransitionObject()->SetStartStop(0, Units(1.0));
    const std::filesystem::path exported = Folder().Path() / "exported";
    std::filesystem::create_directories(exported);
    const std::filesystem::path file = exported / "timeline.mlt";
    const bool written = builder_.ExportXml(Timeline(), "exported/timeline.mlt");
    std::filesystem::current_path(before);
    ASSERT_TRUE(written);

    const std::filesystem::path assets = exported / "timeline.assets";
    EXPECT_EQ(MltGraphBuilder::AssetsFolder(file), assets);
    EXPECT_EQ(MltGraphBuilder::AssetsFolder("/a/graph"), "/a/graph.assets");
    EXPECT_EQ(MltGraphBuilder::AssetsFolder("/a/graph.assets"), "/a/graph.assets.assets");
    const std::string xml = ReadFileBytes(file).value_or("");
    EXPECT_EQ(xml.find("root="), std::string::npos);  // melt would resolve paths against it
    std::vector<std::string> made;
    for (const std::string& resource : Resources(file)) {
        if (resource == "black") {
            continue;
        }
        EXPECT_TRUE(std::filesystem::path(resource).is_absolute()) << resource;
        EXPECT_TRUE(std::filesystem::is_regular_file(resource)) << resource;
        if (std::filesystem::path(resource).parent_path() == assets) {
            made.push_back(std::filesystem::path(resource).filename().string());
        }
    }
    // The wipe's map and the text's keyed picture, and nothing of the media.
    ASSERT_EQ(made.size(), 2u) << xml;
    EXPECT_EQ(made[0], "wipe-left-to-right.pgm");
    EXPECT_EQ(std::filesystem::path(made[1]).extension(), ".png");
    // Every picture carries the shape that makes it fill the frame in any player.
    EXPECT_NE(xml.find("force_aspect_ratio"), std::string::npos);

    // Exported again without the text, its picture is no longer kept.
    sources_.pop_back();
    ASSERT_TRUE(builder_.ExportXml(Timeline(), file.string()));
    EXPECT_TRUE(std::filesystem::exists(assets / made[0]));
    EXPECT_FALSE(std::filesystem::exists(assets / made[1]));
}

}  // namespace
}  // namespace vortrel
