#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "control/WindowHandlers.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "ports/ITimerHost.h"
#include "resources/Resources.h"
#include "support/ContentViewFixture.h"
#include "support/FakeAudioDecoder.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/GeneratedMedia.h"
#include "support/RecordingDrawContext.h"
#include "support/TestView.h"
#include "views/ITrackView.h"
#include "views/ImageView.h"
#include "views/MouseDispatcher.h"
#include "views/StackPanel.h"
#include "views/TimelineView.h"

namespace vortrel {
namespace {

using testing::DrawLog;
using testing::RecordingDrawContext;
using testing::TestView;

// A window that writes what the control asks of it into a shared log.
class LoggingWindow : public IControlWindow, public ITimerHost {
  public:
    explicit LoggingWindow(std::shared_ptr<std::vector<std::string>> log) : log_(std::move(log)) {}
    void Invalidate() override { log_->push_back("invalidate"); }
    void SetCursor(ControlCursor) override {}
    void SetCapture() override { log_->push_back("capture"); }
    void ReleaseCapture() override { log_->push_back("release"); }
    void SetTimer(int32_t, int32_t) override {}
    void KillTimer(int32_t) override {}

  private:
    std::shared_ptr<std::vector<std::string>> log_;
};

// The window half on a plain root view of 400 x 300 with one view at 10,10 (50 x 50) that
// takes presses; window and views write into one log.
class Window : public ::testing::Test {
  protected:
    Window() {
        root.At(0, 0, 400, 300);
        button.At(10, 10, 50, 50);
        handlers.SetWindow(&window);
    }

    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    LoggingWindow window{log};
    MouseDispatcher mouse;
    TestView root{"root", log};
    TestView button{"button", log, &mouse};
    WindowHandlers handlers{root, mouse};
};

TEST_F(Window, APaintDrawsTheTreeOnceIntoASurfaceOfTheClientSizeAndCopiesTheDamagedPart) {
    auto draws = std::make_shared<DrawLog>();
    RecordingDrawContext target(draws, "window", 400, 300);
    handlers.OnPaint(target, 400, 300, {10, 20, 110, 220});
    EXPECT_EQ(draws->Text(),
              "window: CreateCompatibleSurface 400x300 -> surface1\n"
              "surface1: SetViewportOrigin 0,0\n"
              "surface1: SetClipRect 10,20,110,220\n"
              "surface1: SetPen 0x336699 1\n"
              "surface1: SetBrush 0x336699\n"
              "surface1: Rectangle 0,0,400,300\n"
              "surface1: RemoveClip\n"
              "window: Blit 10,20 100x200 from surface1 at 10,20\n");
    EXPECT_EQ(root.draws, 1);

    // The surface stays while the size does; a new size makes a new one.
    draws->Clear();
    handlers.OnPaint(target, 400, 300, {0, 0, 400, 300});
    EXPECT_TRUE(draws->Matching("CreateCompatibleSurface").empty());
    EXPECT_EQ(draws->Matching("Blit"),
              (std::vector<std::string>{"window: Blit 0,0 400x300 from surface1 at 0,0"}));
    handlers.OnPaint(target, 300, 200, {0, 0, 300, 200});
    EXPECT_EQ(draws->Matching("CreateCompatibleSurface"),
              (std::vector<std::string>{"window: CreateCompatibleSurface 300x200 -> surface2"}));
}

TEST_F(Window, ADamagedPartOutsideTheClientAreaIsCutToItOrPaintsNothing) {
    auto draws = std::make_shared<DrawLog>();
    RecordingDrawContext target(draws, "window", 400, 300);
    handlers.OnPaint(target, 400, 300, {-50, 250, 900, 900});
    EXPECT_EQ(draws->Matching("Blit"),
              (std::vector<std::string>{"window: Blit 0,250 400x50 from surface1 at 0,250"}));
    draws->Clear();
    for (const DrawRect outside :
         {DrawRect{400, 0, 500, 100}, DrawRect{0, -20, 100, 0}, DrawRect{50, 50, 50, 80}}) {
        handlers.OnPaint(target, 400, 300, outside);
    }
    handlers.OnPaint(target, 0, 300, {0, 0, 10, 10});
    EXPECT_EQ(draws->Text(), "");
    EXPECT_EQ(root.draws, 1);
}

TEST_F(Window, APressIsCapturedAndReleasedWhateverTookItAndRepaintsOnlyWhenAViewDid) {
    handlers.OnLeftButtonDown(20, 30);
    handlers.OnMouseMove(25, 28);
    handlers.OnMouseMove(200, 200);  // off the view: the capture keeps the drags coming
    handlers.OnLeftButtonUp(200, 200);
    EXPECT_EQ(*log,
              (std::vector<std::string>{
                  "button down 20,30", "invalidate", "capture", "button dragged 5,-2", "invalidate",
                  "button dragged 175,172", "invalidate", "button up", "invalidate", "release"}));

    log->clear();
    handlers.OnLeftButtonDown(300, 300);
    handlers.OnMouseMove(310, 300);
    handlers.OnLeftButtonUp(310, 300);
    handlers.OnMouseMove(20, 30);
    EXPECT_EQ(*log, (std::vector<std::string>{"capture", "release"}));
}

TEST_F(Window, ATimerTickReachesItsViewsBeforeTheRepaint) {
    TimerDispatcher::Instance().GetTimerEvent()->Attach(button.GetTimeElapsedEventHandler());
    handlers.OnTimer(7);
    TimerDispatcher::Instance().GetTimerEvent()->Detach(button.GetTimeElapsedEventHandler());
    EXPECT_EQ(*log, (std::vector<std::string>{"button timer 7", "invalidate"}));
}

// A recording drawing that names each picture it decodes after the built-in resource whose
// bytes it was given ("png 204"), so that a test sees which picture went where.
class ResourceNamingDrawing : public testing::RecordingDrawing {
  public:
    std::unique_ptr<IDrawImage> DecodeImage(const uint8_t* bytes, size_t size) override {
        for (int id = 200; id < 220; ++id) {
            const auto resource = ResourceBytes(id);
            if (resource && std::equal(resource->begin(), resource->end(), bytes, bytes + size)) {
                return std::make_unique<testing::RecordingDrawImage>(48, 48,
                                                                     "png " + std::to_string(id));
            }
        }
        return std::make_unique<testing::RecordingDrawImage>(48, 48, "other");
    }
};

// An event sink that writes the events into a log.
class LoggingSink : public ITimelineControlEvents {
  public:
    void OnClickClip(int32_t track, int32_t clip) override {
        log.push_back("click " + std::to_string(track) + " " + std::to_string(clip));
    }
    void OnUpdate() override {
        log.push_back("update");
        if (onUpdate) {
            onUpdate();
        }
    }
    void OnPlaying(int32_t) override {}
    void OnPlayingCompleted() override {}
    void OnConvertProgress(int32_t) override {}
    void OnConvertCompleted() override {}
    std::vector<std::string> log;
    std::function<void()> onUpdate;
};

// A control in a window of 800 x 400 on fake ports; media files last a minute. The rows lie
// 22 + 54 × track index below the top, 52 high; the track area starts 83 pixels from the
// left, and at zoom 1 a second is 250 pixels.
class ControlWindow : public ::testing::Test {
  protected:
    ControlWindow() {
        detector.Script().lengths = std::deque<std::optional<double>>(100, 60.0);
        control.Initialize();
        control.OnCreate(&window, &window);
        control.OnSize(800, 400);
        control.Advise(&sink);
        file = FromPath(media.WriteFile("clip.avi", "not really a video"));
    }
    ~ControlWindow() override {
        control.Unadvise(&sink);
        control.OnDestroy();
    }

    // The name of the picture in the title column of a track.
    std::string TitleOf(int32_t trackIndex) {
        const auto& rows = control.GetView()->GetTrackStack()->GetChildren();
        const auto& row = static_cast<const ITrackView&>(*rows.at(trackIndex + 1).view);
        const auto* image =
            dynamic_cast<const testing::RecordingDrawImage*>(row.GetTitleImage()->GetImage().get());
        return image != nullptr ? image->Tag() : "none";
    }
    static int16_t RowMiddle(int32_t trackIndex) {
        return static_cast<int16_t>(22 + 54 * trackIndex + 26);
    }

    std::shared_ptr<ResourceNamingDrawing> drawing = std::make_shared<ResourceNamingDrawing>();
    testing::ScopedDrawing scopedDrawing{drawing};
    testing::ScopedFakeMediaDetector detector;
    testing::ScopedFakeAudioDecoder decoder;
    testing::MediaFolder media;
    testing::FakeDeviceCatalog devices;
    CTimelineControl control{devices.AsPlatform()};
    std::shared_ptr<std::vector<std::string>> windowLog =
        std::make_shared<std::vector<std::string>>();
    LoggingWindow window{windowLog};
    LoggingSink sink;
    std::wstring file;
};

TEST_F(ControlWindow, EveryTrackShowsItsBuiltInTitleImage) {
    const std::vector<std::string> expected = {"png 205", "png 204", "png 204", "png 208",
                                               "png 207", "png 206", "png 206", "png 209"};
    ASSERT_EQ(control.GetView()->GetTrackImageCount(), 8);
    for (int32_t track = 0; track < 8; ++track) {
        EXPECT_EQ(TitleOf(track), expected[track]) << "track " << track;
    }
}

TEST_F(ControlWindow, ChangeTrackImageShowsTheFileInThatTrackAlone) {
    const auto text = ResourceBytes(209).value();
    const std::wstring picture =
        FromPath(media.WriteFile("title.png", std::string(text.begin(), text.end())));
    const std::wstring empty = FromPath(media.WriteFile("empty.png", ""));

    control.ChangeTrackImage(1, picture.c_str());
    EXPECT_EQ(TitleOf(1), "png 209");
    EXPECT_EQ(TitleOf(2), "png 204");
    EXPECT_EQ(*windowLog, (std::vector<std::string>{"invalidate"}));

    // An empty or missing file changes nothing and repaints nothing.
    windowLog->clear();
    control.ChangeTrackImage(2, empty.c_str());
    control.ChangeTrackImage(2, (picture + L".missing").c_str());
    EXPECT_EQ(TitleOf(2), "png 204");
    EXPECT_TRUE(windowLog->empty());
}

TEST_F(ControlWindow, APressOnAClipFiresOnClickClipAfterOnUpdateEveryTime) {
    int32_t index = -1;
    control.AddVideoClip(1, file.c_str(), 0, 1, 0, &index);
    control.AddVideoClip(1, file.c_str(), 2, 3, 0, &index);
    control.AddVideoClip(2, file.c_str(), 0, 1, 0, &index);
    control.SetTrackVisible(2, 1);
    sink.log.clear();
    windowLog->clear();

    control.OnLeftButtonDown(83 + 600, RowMiddle(1));
    control.OnLeftButtonUp(83 + 600, RowMiddle(1));
    control.OnLeftButtonDown(83 + 600, RowMiddle(1));
    control.OnLeftButtonUp(83 + 600, RowMiddle(1));
    control.OnLeftButtonDown(83 + 100, RowMiddle(2));
    control.OnLeftButtonUp(83 + 100, RowMiddle(2));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"update", "click 1 1", "update", "click 1 1",
                                                  "update", "click 2 0"}));
    EXPECT_EQ(std::count(windowLog->begin(), windowLog->end(), "capture"), 3);
    EXPECT_EQ(std::count(windowLog->begin(), windowLog->end(), "release"), 3);

    // Empty space deselects without a word; so does a click between two clips.
    sink.log.clear();
    control.OnLeftButtonDown(83 + 400, RowMiddle(1));
    control.OnLeftButtonUp(83 + 400, RowMiddle(1));
    EXPECT_TRUE(sink.log.empty());
    EXPECT_EQ(control.GetView()->SelectedContent(), nullptr);
}

// A host may edit the timeline from OnUpdate: the clip it removes is not reported.
TEST_F(ControlWindow, AClipTheHostDeletesInOnUpdateIsNotReportedAsClicked) {
    int32_t index = -1;
    control.AddVideoClip(1, file.c_str(), 0, 1, 0, &index);
    bool deleted = false;
    sink.onUpdate = [&] {
        if (!deleted) {
            deleted = true;
            control.DeleteClip(1, 0);
        }
    };
    sink.log.clear();
    control.OnLeftButtonDown(83 + 100, RowMiddle(1));
    control.OnLeftButtonUp(83 + 100, RowMiddle(1));
    EXPECT_EQ(std::count(sink.log.begin(), sink.log.end(), "click 1 0"), 0);
    int32_t count = -1;
    control.GetClipCount(1, &count);
    EXPECT_EQ(count, 0);
}

TEST_F(ControlWindow, ASizeBelowOnePixelEitherWayChangesNothing) {
    TimelineView& view = *control.GetView();
    for (const auto& [width, height] :
         {std::pair<int16_t, int16_t>{0, 300}, {640, 0}, {-5, 300}, {640, -32768}}) {
        control.OnSize(width, height);
        EXPECT_EQ(view.GetWidth(), 800);
        EXPECT_EQ(view.GetHeight(), 400);
    }
    control.OnSize(640, 480);
    EXPECT_EQ(view.GetX(), 0);
    EXPECT_EQ(view.GetY(), 0);
    EXPECT_EQ(view.GetRootCanvas().GetEffectiveWidth(), 640);
    EXPECT_EQ(view.GetRootCanvas().GetEffectiveHeight(), 480);
}

TEST_F(ControlWindow, APaintDrawsTheBackgroundOnce) {
    auto draws = std::make_shared<DrawLog>();
    RecordingDrawContext target(draws, "window", 800, 400);
    control.OnPaint(target, 800, 400, {0, 0, 800, 400});
    // The root's background: once, over the whole window.
    EXPECT_EQ(draws->Matching("Rectangle 0,0,800,400").size(), 1u);
    EXPECT_EQ(draws->Matching("window: ").size(), 2u);  // the surface made, the blit
}

// Before it is initialised the control has no view: window messages do nothing.
TEST(ControlWithoutView, WindowMessagesBeforeInitialisationDoNothing) {
    testing::FakeDeviceCatalog devices;
    CTimelineControl control(devices.AsPlatform());
    auto draws = std::make_shared<DrawLog>();
    RecordingDrawContext target(draws, "window", 100, 100);
    control.OnSize(100, 100);
    control.OnPaint(target, 100, 100, {0, 0, 100, 100});
    control.OnLeftButtonDown(10, 10);
    control.OnMouseMove(20, 10);
    control.OnLeftButtonUp(20, 10);
    control.OnTimer(1);
    EXPECT_EQ(draws->Text(), "");
    EXPECT_EQ(control.GetView(), nullptr);
}

}  // namespace
}  // namespace vortrel
