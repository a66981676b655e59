#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/GeneratedMedia.h"
#include "support/Within.h"

namespace vortrel {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Writes the conversion events down in order.
class ConversionSink : public ITimelineControlEvents {
  public:
    void OnClickClip(int32_t, int32_t) override {}
    void OnUpdate() override {}
    void OnPlaying(int32_t) override {}
    void OnPlayingCompleted() override {}
    void OnConvertProgress(int32_t progress) override {
        events.push_back(std::to_string(progress));
    }
    void OnConvertCompleted() override { events.push_back("completed"); }
    std::vector<std::string> events;
};

// A control on the Linux back ends with a three-second clip on the first video track; the
// conversion timer's ticks are given by hand.
class Conversion : public ::testing::Test {
  protected:
    Conversion() {
        clip = media.MakeVideo("clip.mkv", {{{testing::kBlue, 3.0}}, 160, 120, 25, 440});
        control->Advise(&sink);
        control->put_OutputType(2);
        int32_t index = -1;
        control->AddVideoClip(1, FromPath(clip).c_str(), 0, 3, 0, &index);
        EXPECT_EQ(index, 0);
    }
    ~Conversion() override { control->Unadvise(&sink); }

    int32_t Save(const fs::path& file) {
        int32_t result = 0;
        control->Save(FromPath(file).c_str(), &result);
        return result;
    }
    // Ticks the conversion timer until the conversion completes.
    bool Completes() {
        const int32_t timer = control->GetModel()->GetConvertTimerId();
        return testing::Within(60s, [&] {
            TimerDispatcher::Instance().Fire(timer);
            return !sink.events.empty() && sink.events.back() == "completed";
        });
    }

    testing::MediaFolder media;
    fs::path clip;
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    ConversionSink sink;
};

// Writes beyond a few kilobytes fail (for root too), as on a full disk: the conversion ends,
// says it failed, keeps nothing, and the next one can start.
TEST_F(Conversion, AFailedWriteEndsTheConversionWithAProgressOfMinusOne) {
    const fs::path folder = media.Path() / "out";
    fs::create_directory(folder);
    const fs::path output = folder / "full.mp4";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 2048;
    setrlimit(RLIMIT_FSIZE, &small);
    ASSERT_EQ(Save(output), 1);
    const bool completed = Completes();
    setrlimit(RLIMIT_FSIZE, &previous);
    ASSERT_TRUE(completed);
    ASSERT_GE(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[sink.events.size() - 2], "-1");
    EXPECT_FALSE(fs::exists(output)) << fs::file_size(output);
    EXPECT_TRUE(fs::is_empty(folder));

    sink.events.clear();
    ASSERT_EQ(Save(output), 1);
    ASSERT_TRUE(Completes());
    EXPECT_EQ(sink.events.back(), "completed");
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "-1"), 0);
    EXPECT_GT(fs::file_size(output), 0u);
}

// A render over a file the timeline plays would destroy the source while it is read.
TEST_F(Conversion, SavingOverTheTimelinesOwnMediaIsRefusedByIdentity) {
    fs::create_symlink(clip, media.Path() / "alias.mp4");
    const auto before = fs::last_write_time(clip);
    for (const fs::path& target :
         {clip, media.Path() / "alias.mp4", media.Path() / "." / clip.filename()}) {
        EXPECT_EQ(Save(target), -2) << target;
    }
    EXPECT_EQ(fs::last_write_time(clip), before);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(Save(media.Path() / "other.mp4"), 1);
    control->StopConversion();
}

}  // namespace
}  // namespace vortrel
