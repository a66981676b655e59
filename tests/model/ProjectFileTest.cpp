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

    testing::FakeDeviceCatalog devices;
    TimelineModel model{devices};
    TimelineModel other{devices};
    fs::path folder;
};

// The media clips' fields round-trip through the control's own calls; here: text beyond
// ASCII in the file's name and content, the font record, the transition's media track and
// the tracks' visibility.
TEST_F(Project, ARoundTripKeepsTextFontsTransitionsAndVisibility) {
    auto& text = Add<TextClip>(model, 7, 1000, 2000);
    text.SetSource(L"Grüße \x65E5\x672C \U0001F600\nline two");
    text.SetColor(17 + 34 * 256 + 51 * 65536);
    text.SetXPos(-4);
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
    Add<MediaEffect>(model, 4, 0, 3000).SetSource(L"Sepia");
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
    EXPECT_EQ(loaded.GetColor(), text.GetColor());
    EXPECT_EQ(loaded.GetXPos(), -4);
    auto& wipe = static_cast<TransitionEffect&>(*other.GetTrack(0)->GetContentAt(0));
    EXPECT_EQ(wipe.GetParams(), L"Level=5,Mode=2");
    EXPECT_TRUE(wipe.GetReverse());
    EXPECT_EQ(wipe.GetMediaTrack(), other.GetTrack(2));
    const std::string written = ReadAll(file);
    EXPECT_EQ(written.rfind("<Timeline>", 0), 0u);  // no declaration
    EXPECT_NE(written.find("<Params/>"), std::string::npos);
}

// A reader drops a text of white space alone and turns carriage returns into line feeds;
// every text saved must still load back as it was.
TEST_F(Project, TextsOfWhiteSpaceMarkupAndCarriageReturnsLoadBackAsTheyWere) {
    const std::wstring texts[] = {
        L" ",          L" \t\n ",          L"\r\n",         L"a\r\nb\rc\n",
        L"  padded  ", L"<b>&amp;\"'</b>", L"]]> <![CDATA["};
    int32_t start = 0;
    for (const std::wstring& text : texts) {
        Add<TextClip>(model, 7, start, start + 100).SetSource(text);
        start += 100;
    }
    Add<TransitionEffect>(model, 0, 0, 100).SetSource(L" ");
    Add<MediaEffect>(model, 4, 0, 100).SetSource(L"\r");
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
    Add<VideoClip>(model, 1, 0, 1000).SetSource(L"first.avi");
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
