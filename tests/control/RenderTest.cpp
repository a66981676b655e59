#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "mediafile/MediaFile.h"
#include "model/FontTable.h"
#include "model/TimelineModel.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

// Counts conversion completions.
class CompletionSink : public ITimelineControlEvents {
  public:
    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override {}
    void OnPlaying(int32_t) override {}
    void OnPlayingCompleted() override {}
    void OnConvertProgress(int32_t progress) override { lastProgress = progress; }
    void OnConvertCompleted() override { ++completed; }
    int completed = 0;
    int lastProgress = -1;
};

// A two-second timeline with every kind of content, converted to every output type through
// the control, as a host does it; each file is checked with MediaFile.
class RenderEveryType : public ::testing::TestWithParam<int32_t> {
  protected:
    static void SetUpTestSuite() {
        media_ = new testing::MediaFolder();
        using testing::kBlue;
        using testing::kGreen;
        using testing::kRed;
        first_ = FromPath(media_->MakeVideo("first.mkv", {{{kRed, 2.0}}, 160, 120, 25, 440}));
        second_ = FromPath(media_->MakeVideo("second.mkv", {{{kGreen, 1.0}}, 160, 120, 25, {}}));
        image_ = FromPath(media_->MakeImage("logo.png", 64, 48, kBlue));
        tone_ = FromPath(media_->MakeTone("tone.wav", 2.0, 440, 44100, 2));
    }
    static void TearDownTestSuite() { delete media_; }

    void Build(CTimelineControl& control) {
        int32_t result = 0;
        LogFont font;
        font.height = -12;
        font.SetFaceName(L"Liberation Sans");
        control.SetVideoTrackResolution(160, 120);
        control.SetTrackVisible(2, 1);
        control.AddVideoClip(1, first_.c_str(), 0, 2, 0, &result);
        ASSERT_EQ(result, 0);
        control.AddVideoClip(2, second_.c_str(), 1, 2, 0, &result);
        ASSERT_EQ(result, 0);
        control.AddTransition(0, L"Dissolve", 1, 1.5, L"", 2, 0, &result);
        ASSERT_EQ(result, 0);
        control.AddImageClip(3, image_.c_str(), 1.5, 2, &result);
        ASSERT_EQ(result, 0);
        control.AddTextClip(7, L"Hi", 0, 2, FontTable::Create(font), 4, 4, 0xFFFFFF, &result);
        ASSERT_EQ(result, 0);
        control.AddEffect(4, L"Sepia", 0.5, 1, L"", &result);
        ASSERT_EQ(result, 0);
        control.AddAudioClip(5, tone_.c_str(), 0, 2, 0, 1, &result);
        ASSERT_EQ(result, 0);
        control.SetTrackVisible(6, 1);
        control.AddAudioClip(6, first_.c_str(), 0, 1, 0, 0.5f, &result);
        ASSERT_EQ(result, 0);
    }

    static inline testing::MediaFolder* media_ = nullptr;
    static inline std::wstring first_, second_, image_, tone_;
};

TEST_P(RenderEveryType, WritesAFileOfTheTimelinesLength) {
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    CompletionSink sink;
    control->Advise(&sink);
    Build(*control);
    control->put_OutputType(GetParam());
    const std::wstring output =
        FromPath(media_->Path() / ("out" + std::to_string(GetParam()) + ".bin"));
    int32_t result = 0;
    control->Save(output.c_str(), &result);
    ASSERT_EQ(result, 1);

    TimelineModel& model = *control->GetModel();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (sink.completed == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        model.OnTimer(model.GetConvertTimerId());  // the one-second tick, run sooner
    }
    ASSERT_EQ(sink.completed, 1);
    EXPECT_EQ(sink.lastProgress, 100);

    MediaFile file;
    ASSERT_TRUE(file.open(output.c_str()));
    EXPECT_EQ(file.getContainerVideoStreamCount(), 1);
    EXPECT_EQ(file.getContainerAudioStreamCount(), 1);
    EXPECT_NEAR(file.getDuration(), 2000.0, 150.0);
    EXPECT_GT(file.getWidth(), 0);
    control->Unadvise(&sink);
}

INSTANTIATE_TEST_SUITE_P(OutputTypes, RenderEveryType, ::testing::Range(0, 13));

}  // namespace
}  // namespace vortrel
