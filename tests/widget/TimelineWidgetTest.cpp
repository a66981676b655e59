#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "control/CTimelineControl.h"
#include "model/IObserver.h"
#include "model/ISubject.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "platform/linux/widget/TimelineWidget.h"
#include "support/GeneratedMedia.h"
#include "support/XvfbServer.h"
#include "views/IView.h"
#include "views/TimelineView.h"
#include "views/ToolTipView.h"

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

// Long enough for a loaded machine; the waits end as soon as what they wait for is there.
constexpr int kPatienceMs = 5000;

// The mouse events the widgets of the process received, as (widget, type, point).
class MouseEvents : public QObject {
  public:
    bool eventFilter(QObject* target, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (qobject_cast<TimelineWidget*>(target) != nullptr &&
            (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
             type == QEvent::MouseButtonRelease)) {
            seen.emplace_back(target, type, static_cast<QMouseEvent*>(event)->pos());
        }
        return false;
    }
    std::vector<std::tuple<QObject*, QEvent::Type, QPoint>> seen;
};

// A shown widget of 800 x 400 at the screen's top left whose signals write into a log, with a
// 4 s video at hand, and the real pointer and left button of the private X server: xdotool
// moves and presses them, so the widget gets what the window system makes of the input. The
// rows lie 22 + 54 × track index below the top, 52 high; the track area starts 83 pixels from
// the left, and at zoom 1 a second is 250 pixels.
class Widget : public ::testing::Test {
  protected:
    Widget() {
        Watch(widget, "");
        widget.setGeometry(0, 0, 800, 400);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
        qApp->installEventFilter(&events);
    }
    ~Widget() override { qApp->removeEventFilter(&events); }

    void SetUp() override {
        ASSERT_EQ(std::system("command -v xdotool >/dev/null"), 0)
            << "xdotool is not on PATH (scripts/bootstrap.sh installs it)";
        // Parked off every widget, so that each move of a test moves the pointer.
        Xdotool("mousemove --sync 799 599");
    }

    static void Xdotool(const std::string& arguments) {
        const std::string command = "xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // Waits until a widget received a mouse event of a type at a point.
    void Arrives(QWidget& w, QEvent::Type type, QPoint at) {
        const auto seen = [&] {
            for (const auto& [target, seenType, point] : events.seen) {
                if (target == &w && seenType == type && point == at) {
                    return true;
                }
            }
            return false;
        };
        ASSERT_TRUE(QTest::qWaitFor(seen, kPatienceMs))
            << type << " at " << at.x() << "," << at.y();
        events.seen.clear();
    }
    // The real pointer goes to a point of a widget.
    void MoveTo(QWidget& w, QPoint at) {
        const QPoint screen = w.mapToGlobal(at);
        Xdotool("mousemove --sync " + std::to_string(screen.x()) + " " +
                std::to_string(screen.y()));
        Arrives(w, QEvent::MouseMove, at);
    }
    void Press(QWidget& w, QPoint at) {
        Xdotool("mousedown 1");
        Arrives(w, QEvent::MouseButtonPress, at);
    }
    void Release(QWidget& w, QPoint at) {
        Xdotool("mouseup 1");
        Arrives(w, QEvent::MouseButtonRelease, at);
    }
    void Click(QWidget& w, QPoint at) {
        MoveTo(w, at);
        Press(w, at);
        Release(w, at);
    }
    // What the screen shows of a widget.
    static QImage OnScreen(QWidget& w) {
        const QPoint origin = w.mapToGlobal(QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, origin.x(), origin.y(), w.width(), w.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
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
    static TimelineView& View(TimelineWidget& w) { return *w.timelineControl().GetView(); }
    static QPoint At(float seconds, int32_t track) {
        return {83 + static_cast<int>(seconds * 250), 22 + 54 * track + 26};
    }

    testing::MediaFolder media;
    std::wstring video = testing::ToWide(media.MakeVideo(
        "clip.mkv", testing::ColourVideo{.segments = {{testing::kBlue, 4.0}}, .toneHz = {}}));
    TimelineWidget widget;
    std::vector<std::string> log;
    MouseEvents events;
};

TEST_F(Widget, APressOnAClipSignalsUpdatedThenClipClickedAndADragMovesTheClip) {
    const int32_t later = AddClip(widget, 2, 3);
    const int32_t first = AddClip(widget, 0, 1);
    log.clear();

    Click(widget, At(2.5f, 1));
    Click(widget, At(0.5f, 1));
    EXPECT_EQ(log, (std::vector<std::string>{"update", "click 1 " + std::to_string(later), "update",
                                             "click 1 " + std::to_string(first)}));

    // Dragged one second to the right in small steps, as a hand moves: the clip keeps its
    // length, the other clip stays, and the control reads the new times back. The press is
    // off the last click's point, so that the pointer moves there.
    MoveTo(widget, At(0.55f, 1));
    Press(widget, At(0.55f, 1));
    for (int step = 1; step <= 10; ++step) {
        MoveTo(widget, At(0.55f + 0.1f * step, 1));
    }
    Release(widget, At(1.55f, 1));
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

// Two widgets one above the other, a clip at the same point of each: the lower one's clip
// subscribed last, so a hub shared by the process would hand its press to the upper one's.
TEST_F(Widget, TwoWidgetsKeepTheirOwnPressesSelectionsAndSignals) {
    TimelineWidget second;
    Watch(second, "second ");
    second.setGeometry(0, 420, 800, 170);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    AddClip(widget, 0, 1);
    AddClip(second, 0, 1);
    log.clear();

    Click(second, At(0.5f, 1));
    EXPECT_EQ(log, (std::vector<std::string>{"second update", "second click 1 0"}));
    EXPECT_EQ(View(widget).GetSelected(), nullptr);
    Click(widget, At(0.5f, 1));
    EXPECT_NE(View(second).GetSelected(), nullptr);
    // A press on an empty part of a row deselects in its own widget only.
    Click(second, At(1.5f, 1));
    EXPECT_EQ(View(second).GetSelected(), nullptr);
    EXPECT_NE(View(widget).GetSelected(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"second update", "second click 1 0", "update",
                                             "click 1 0"}));
}

TEST_F(Widget, AResizeByTheWindowSystemLaysTheTimelineOutAgain) {
    const QImage wide = OnScreen(widget);
    const QRgb corner = wide.pixel(795, 395);  // where the two scroll bars meet
    ASSERT_NE(wide.pixel(595, 295), corner);
    Xdotool("windowsize " + std::to_string(widget.winId()) + " 600 300");
    // The corner follows the widget's edge, on the screen.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return widget.size() == QSize(600, 300) && OnScreen(widget).pixel(595, 295) == corner;
        },
        kPatienceMs));
}

// The hover tip shows once the real pointer rests on a clip, 20 pixels below it. The first
// widget's hover timer runs on the second widget's timer host, yet the first one repaints.
TEST_F(Widget, AHoverTipShowsAfterThePointerRestsEvenWhenTimersRunOnAnotherWidget) {
    TimelineWidget second;
    second.setGeometry(0, 450, 200, 100);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    AddClip(widget, 0, 2);
    const ToolTipView& tip = *View(widget).GetToolTip();
    const QPoint at = At(1.0f, 1);

    QElapsedTimer rest;
    MoveTo(widget, at);
    rest.start();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return tip.GetVisualState() == IView::kNormal; }, kPatienceMs));
    EXPECT_GE(rest.elapsed(), ToolTipView::kHoverDelay - 100);
    const auto tipShown = [&] {
        const QImage screen = OnScreen(widget);
        for (int x = at.x(); x < at.x() + 40; ++x) {
            if (screen.pixel(x, at.y() + ToolTipView::kPointerGap + 4) == qRgb(255, 255, 100)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(tipShown, kPatienceMs));
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

// An audio clip shows the wait cursor while its waveform is read and the arrow after it.
TEST_F(Widget, AnAudioClipShowsTheWaitCursorThenTheArrow) {
    class CursorLog : public QObject {
      public:
        bool eventFilter(QObject* target, QEvent* event) override {
            // Qt may announce one change more than once: only the changes of shape count.
            const Qt::CursorShape shape = static_cast<QWidget*>(target)->cursor().shape();
            if (event->type() == QEvent::CursorChange &&
                (shapes.empty() || shapes.back() != shape)) {
                shapes.push_back(shape);
            }
            return false;
        }
        std::vector<Qt::CursorShape> shapes;
    } cursors;
    const std::wstring tone = testing::ToWide(media.MakeTone("tone.wav", 1.0));
    widget.installEventFilter(&cursors);
    int32_t index = -1;
    widget.control().AddAudioClip(5, tone.c_str(), 0, 1, 0, 1.0f, &index);
    widget.removeEventFilter(&cursors);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(cursors.shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
}

// The preview goes into the parent of the native window the host names, inside that window
// less a pixel on every side.
TEST_F(Widget, APreviewWindowIsTakenByItsNativeWindowId) {
    QWidget host;
    host.setGeometry(0, 420, 400, 170);
    QWidget screen(&host);
    screen.setAttribute(Qt::WA_NativeWindow);
    screen.setGeometry(10, 10, 320, 140);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    widget.setPreviewWindow(screen);
    const TimelineModel& model = *widget.timelineControl().GetModel();
    EXPECT_EQ(model.GetPreviewParent(), static_cast<NativeWindow>(host.winId()));
    const WindowRect& rect = model.GetPreviewRect();
    EXPECT_EQ(std::tie(rect.left, rect.top, rect.right, rect.bottom), std::tuple(11, 11, 329, 149));
}

}  // namespace
}  // namespace vortrel
