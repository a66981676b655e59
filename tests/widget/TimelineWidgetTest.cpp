#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control/CTimelineControl.h"
#include "model/IObserver.h"
#include "model/ISubject.h"
#include "model/TimerDispatcher.h"
#include "platform/linux/widget/TimelineWidget.h"
#include "support/GeneratedMedia.h"
#include "support/XvfbServer.h"

namespace vortrel {
namespace {

// A QApplication on the xcb platform of the private X server, for every test.
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 3;
    char name_[13] = "widget_tests";
    char option_[10] = "-platform";
    char platform_[4] = "xcb";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kServer =
    ::testing::AddGlobalTestEnvironment(new testing::XvfbEnvironment);
[[maybe_unused]] ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

// A shown widget of 800 x 400 whose signals write into a log, with a 4 s video at hand. The
// rows lie 22 + 54 × track index below the top, 52 high; the track area starts 83 pixels
// from the left, and at zoom 1 a second is 250 pixels.
class Widget : public ::testing::Test {
  protected:
    Widget() {
        Watch(widget, "");
        widget.resize(800, 400);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    void Watch(TimelineWidget& w, const std::string& tag) {
        QObject::connect(&w, &TimelineWidget::updated,
                         [this, tag] { log.push_back(tag + "update"); });
        QObject::connect(&w, &TimelineWidget::clipClicked, [this, tag](int track, int clip) {
            log.push_back(tag + "click " + std::to_string(track) + " " + std::to_string(clip));
        });
    }
    int32_t AddClip(TimelineWidget& w, float start, float stop) {
        int32_t index = -1;
        w.control().AddVideoClip(1, video.c_str(), start, stop, 0, &index);
        return index;
    }
    static QPoint At(float seconds, int32_t track) {
        return {83 + static_cast<int>(seconds * 250), 22 + 54 * track + 26};
    }

    testing::MediaFolder media;
    std::wstring video = testing::ToWide(media.MakeVideo(
        "clip.mkv", testing::ColourVideo{.segments = {{testing::kBlue, 4.0}}, .toneHz = {}}));
    TimelineWidget widget;
    std::vector<std::string> log;
};

TEST_F(Widget, APressOnAClipSignalsUpdatedThenClipClickedAndADragMovesTheClip) {
    const int32_t later = AddClip(widget, 2, 3);
    const int32_t first = AddClip(widget, 0, 1);
    log.clear();

    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, At(2.5f, 1));
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, At(0.5f, 1));
    EXPECT_EQ(log, (std::vector<std::string>{"update", "click 1 " + std::to_string(later), "update",
                                             "click 1 " + std::to_string(first)}));

    // Dragged one second to the right, in small steps as a hand moves; the clip keeps its
    // length and the other clip stays.
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, At(0.5f, 1));
    for (int step = 1; step <= 10; ++step) {
        QTest::mouseMove(&widget, At(0.5f + 0.1f * step, 1));
    }
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, At(1.5f, 1));
    std::map<float, float> spans;  // start → stop of every clip on the track
    int32_t count = 0;
    widget.control().GetClipCount(1, &count);
    for (int32_t index = 0; index < count; ++index) {
        float start = -1;
        float stop = -1;
        widget.control().GetVideoClip(1, index, nullptr, &start, &stop, nullptr);
        spans[start] = stop;
    }
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_NEAR(spans.begin()->first, 1.0f, 0.05f);
    EXPECT_NEAR(spans.begin()->second - spans.begin()->first, 1.0f, 0.01f);
    EXPECT_EQ(spans.rbegin()->first, 2.0f);
}

TEST_F(Widget, AResizeLaysTheTimelineOutAgain) {
    const QImage wide = widget.grab().toImage();
    widget.resize(600, 300);
    QTest::qWait(50);
    const QImage narrow = widget.grab().toImage();
    ASSERT_EQ(narrow.size(), QSize(600, 300));
    // The lower right corner (the scroll bars' meeting) follows the widget's edge.
    EXPECT_EQ(narrow.pixel(595, 295), wide.pixel(795, 395));
    EXPECT_NE(narrow.pixel(595, 295), wide.pixel(595, 295));
}

// Counts the ticks of the process's timers by id.
class TickCounter : public IObserver {
  public:
    TickCounter() { TimerDispatcher::Instance().GetTimerEvent()->Attach(this); }
    ~TickCounter() override { TimerDispatcher::Instance().GetTimerEvent()->Detach(this); }
    void Handle(ISubject&) override {
        ++ticks[TimerDispatcher::Instance().GetTimerEvent()->GetTimerId()];
    }
    std::map<int32_t, int> ticks;
};

TEST_F(Widget, TwoWidgetsKeepEveryTimerTickingWhenTheOneTheyRunOnGoes) {
    auto second = std::make_unique<TimelineWidget>();
    second->resize(800, 400);
    second->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second.get()));

    TimerDispatcher& timers = TimerDispatcher::Instance();
    TickCounter counter;
    const int32_t fast = timers.TakeTimerId();
    const int32_t slow = timers.TakeTimerId();
    timers.SetTimer(fast, 20);
    timers.SetTimer(slow, 30);
    QTest::qWait(300);
    EXPECT_GE(counter.ticks[fast], 5);
    EXPECT_GE(counter.ticks[slow], 3);

    // The widget the timers ran on goes: they tick on the first one, once each.
    second.reset();
    counter.ticks.clear();
    QTest::qWait(300);
    EXPECT_GE(counter.ticks[fast], 5);
    EXPECT_LE(counter.ticks[fast], 16);
    timers.KillTimer(fast);
    timers.KillTimer(slow);
    counter.ticks.clear();
    QTest::qWait(100);
    EXPECT_TRUE(counter.ticks.empty());
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

// The hover tip shows once the pointer rests; the first widget's hover timer runs on the
// second widget's timer host, yet the first widget repaints.
TEST_F(Widget, AHoverTipShowsAfterThePointerRestsEvenWhenTimersRunOnAnotherWidget) {
    TimelineWidget second;
    second.setGeometry(0, 450, 200, 100);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    AddClip(widget, 0, 2);
    QTest::mouseMove(&widget, At(1.0f, 1));
    QTest::qWait(300);
    const QImage early = widget.grab().toImage();
    PaintCounter counter;
    widget.installEventFilter(&counter);
    QTest::qWait(900);
    widget.removeEventFilter(&counter);
    EXPECT_GE(counter.paints, 1);
    EXPECT_NE(early, widget.grab().toImage());
}

}  // namespace
}  // namespace vortrel
