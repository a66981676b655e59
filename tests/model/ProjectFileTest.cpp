#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "base/Utf8.h"
#include "editing/EditFailures.h"
#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TimelineModel.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "support/FakeDeviceCatalog.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

namespace fs = std::filesystem;

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

    template <typename Content>
    Content& Add(TimelineModel& into, int32_t track, int32_t start, int32_t stop) {
        auto& content = static_cast<Content&>(*into.GetTrack(track)->CreateContent());
        content.GetSegment()->SetStartMs(start);
        content.GetSegment()->SetStopMs(stop);
        return content;
    }

    // One content of every kind, with awkward values.
    void Populate() {
        auto& video = Add<VideoClip>(model, 1, 700, 3300);
        video.SetSource(L"C:\\media\\clip <1> & \"two\".avi");
        video.GetMediaSegment()->SetStartMs(250);
        auto& audio = Add<AudioClip>(model, 5, 0, 1000);
        audio.SetSource(L"/music/song.mp3");
        audio.SetVolume(0.1f);
        auto& third = Add<AudioClip>(model, 6, 0, 1000);
        third.SetSource(L"third.wav");
        third.SetVolume(1.0f / 3.0f);
        Add<ImageClip>(model, 3, -500, 500).SetSource(L"logo.png");
        auto& text = Add<TextClip>(model, 7, 1000, 2000);
        text.SetSource(L"Grüße \x65E5\x672C \U0001F600\nline two");
        text.SetColor(17 + 34 * 256 + 51 * 65536);
        text.SetXPos(-4);
        text.SetYPos(300);
        text.SetVideoTrackSize(640, 480);
        LogFont font;
        font.height = -24;
        font.weight = 700;
        font.italic = 1;
        font.charSet = 255;
        font.pitchAndFamily = 0x22;
        font.SetFaceName(L"Liberation Sans");
        text.SetLogFont(font);
        auto& transition = Add<TransitionEffect>(model, 0, 500, 1500);
        transition.SetSource(L"Wipe Left to Right");
        transition.SetParams(L"Level = 5, Mode=2");
        transition.SetReverse(true);
        transition.SetMediaTrack(model.GetTrack(2));
        auto& effect = Add<MediaEffect>(model, 4, 0, 3000);
        effect.SetSource(L"Sepia");
        model.SetVisible(2, true);
        model.SetVisible(3, false);
    }

    testing::FakeDeviceCatalog devices;
    TimelineModel model{devices};
    TimelineModel other{devices};
    fs::path folder;
};

TEST_F(Project, EveryContentKindSurvivesARoundTrip) {
    Populate();
    const fs::path file = folder / "round trip é.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
    ASSERT_TRUE(other.LoadProject(FromPath(file)));

    for (int32_t t = 0; t < 8; ++t) {
        EXPECT_EQ(other.GetTrack(t)->IsVisible(), model.GetTrack(t)->IsVisible()) << t;
        EXPECT_EQ(other.GetTrack(t)->GetContentCount(), model.GetTrack(t)->GetContentCount());
    }
    auto& video = static_cast<VideoClip&>(*other.GetTrack(1)->GetContentAt(0));
    EXPECT_EQ(video.GetSource(), L"C:\\media\\clip <1> & \"two\".avi");
    EXPECT_EQ(video.GetSegment()->GetStart(), 700);
    EXPECT_EQ(video.GetMediaSegment()->GetStart(), 250);
    EXPECT_EQ(video.GetMediaSegment()->GetStop(), 250 + 2600);  // from the clip's length
    EXPECT_EQ(static_cast<AudioClip&>(*other.GetTrack(5)->GetContentAt(0)).GetVolume(), 0.1f);
    EXPECT_EQ(static_cast<AudioClip&>(*other.GetTrack(6)->GetContentAt(0)).GetVolume(),
              1.0f / 3.0f);
    EXPECT_EQ(other.GetTrack(3)->GetContentAt(0)->GetSegment()->GetStart(), -500);

    auto& text = static_cast<TextClip&>(*other.GetTrack(7)->GetContentAt(0));
    auto& original = static_cast<TextClip&>(*model.GetTrack(7)->GetContentAt(0));
    EXPECT_EQ(text.GetSource(), original.GetSource());
    EXPECT_EQ(text.GetLogFont(), original.GetLogFont());
    EXPECT_EQ(text.GetColor(), original.GetColor());
    EXPECT_EQ(text.GetXPos(), -4);
    EXPECT_EQ(text.GetVideoTrackHeight(), 480);

    auto& transition = static_cast<TransitionEffect&>(*other.GetTrack(0)->GetContentAt(0));
    EXPECT_EQ(transition.GetSource(), L"Wipe Left to Right");
    EXPECT_EQ(transition.GetParams(), L"Level=5,Mode=2");
    EXPECT_TRUE(transition.GetReverse());
    EXPECT_EQ(transition.GetMediaTrack(), other.GetTrack(2));
    EXPECT_EQ(static_cast<MediaEffect&>(*other.GetTrack(4)->GetContentAt(0)).GetParams(), L"");

    const std::string text_ = ReadAll(file);
    EXPECT_EQ(text_.rfind("<Timeline>", 0), 0u);  // no declaration
    EXPECT_NE(text_.find("<Volume>0.1</Volume>"), std::string::npos);
    EXPECT_NE(text_.find("<Volume>0.33333334</Volume>"), std::string::npos);
    EXPECT_NE(text_.find("<Params/>"), std::string::npos);
    EXPECT_NE(text_.find("<Track>2</Track>"), std::string::npos);
}

TEST_F(Project, AnEmptyModelAndAFontWithoutAFaceNameLoadBack) {
    const fs::path file = folder / "empty.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
    Add<VideoClip>(other, 1, 0, 1000).SetSource(L"x.avi");
    ASSERT_TRUE(other.LoadProject(FromPath(file)));
    EXPECT_EQ(other.GetTrack(1)->GetContentCount(), 0);
    EXPECT_FALSE(other.GetTrack(2)->IsVisible());

    auto& text = Add<TextClip>(model, 7, 0, 1000);
    text.SetSource(L"hello");
    text.SetFont(0);  // an invalid handle: all-zero font, empty face name
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
    ASSERT_TRUE(other.LoadProject(FromPath(file)));
    EXPECT_EQ(static_cast<TextClip&>(*other.GetTrack(7)->GetContentAt(0)).GetLogFont(), LogFont{});
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
    auto& text = Add<TextClip>(model, 7, 0, 1000);
    text.SetSource(L"caption");
    Add<ImageClip>(model, 3, 0, 1000).SetSource(L"after.png");
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
    const std::string good = "<Track Visible=\"1\"/>";
    auto tracks = [&](const std::string& first, int count = 8) {
        std::string xml = "<Timeline>" + first;
        for (int i = 1; i < count; ++i) {
            xml += good;
        }
        return xml + "</Timeline>";
    };
    const std::string video = "<Source>a.avi</Source><Start>0</Start><Stop>1</Stop>";
    const std::string cases[] = {
        "",
        "<Timeline",
        "<Project/>",
        tracks(good, 7),
        tracks("<Track/>"),
        tracks("<Track Visible=\"yes\"/>"),
        "<Timeline>" + good + "<Track Visible=\"1\"><Content>" + video + "</Content></Track>" +
            std::string(6 * good.size(), ' ') + "</Timeline>",
        "<Timeline>" + good + "<Track Visible=\"1\"><Content>" + video +
            "<MediaStart>12x</MediaStart></Content></Track>" + good + good + good + good + good +
            good + "</Timeline>",
        "<Timeline>" + good +
            "<Track Visible=\"1\"><Content><Source></Source><Start>0</Start>"
            "<Stop>1</Stop><MediaStart>0</MediaStart></Content></Track>" +
            good + good + good + good + good + good + "</Timeline>",
        tracks("<Track Visible=\"1\"><Content><Name>Wipe</Name><Start>0</Start><Stop>1</Stop>"
               "<Track>2</Track><Reverse>0</Reverse></Content></Track>"),  // no Params
        "<Timeline>" + good + good + good + good + good + good + good +
            "<Track Visible=\"1\"><Content><Source>t</Source><Start>0</Start><Stop>1</Stop>"
            "<Color>0</Color><XPos>0</XPos><YPos>0</YPos><VideoTrackWidth>1</VideoTrackWidth>"
            "<VideoTrackHeight>1</VideoTrackHeight><Font Height=\"1\">Sans</Font></Content>"
            "</Track></Timeline>",
    };
    auto& kept = Add<VideoClip>(other, 1, 0, 1000);
    kept.SetSource(L"kept.avi");
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
    Populate();
    const fs::path file = folder / "keep.xml";
    ASSERT_TRUE(model.SaveProject(FromPath(file)));
    const std::string before = ReadAll(file);
    for (int i = 0; i < 200; ++i) {
        Add<VideoClip>(model, 2, i * 1000, i * 1000 + 1000).SetSource(L"more.avi");
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

    EXPECT_FALSE(model.SaveProject(FromPath(folder / "no" / "such" / "dir.xml")));
    EXPECT_FALSE(model.SaveProject(FromPath(folder)));
    EXPECT_FALSE(model.SaveProject(L""));
    EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace vortrel
