#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/TestContents.h"
#include "support/TestView.h"
#include "views/Canvas.h"
#include "views/MouseDispatcher.h"
#include "views/StackPanel.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::Place;
using testing::TestView;
using Log = std::vector<std::string>;

TEST(HitTest, EdgesAreInsideCollapsedViewsCountAndPanelsAreSearchedInOrder) {
    Canvas root;
    auto* first = static_cast<TestView*>(root.AddView(std::make_unique<TestView>("first")));
    first->At(0, 0, 10, 10);
    auto inner = std::make_unique<Canvas>();
    Place(*inner, 100, 100, 50, 50);  // a panel is never a hit itself
    auto* nested = static_cast<TestView*>(inner->AddView(std::make_unique<TestView>("nested")));
    nested->At(120, 120, 10, 10);
    root.AddPanel(std::move(inner));
    auto* collapsed = static_cast<TestView*>(root.AddView(std::make_unique<TestView>("c")));
    collapsed->At(200, 0, 10, 10);
    collapsed->SetVisualState(IView::kCollapsed);
    auto* overlapping = static_cast<TestView*>(root.AddView(std::make_unique<TestView>("o")));
    overlapping->At(5, 5, 10, 10);

    const struct {
        int32_t x;
        int32_t y;
        IView* hit;
    } cases[] = {
        {0, 0, first},        {10, 10, first},    {11, 10, overlapping}, {15, 15, overlapping},
        {16, 15, nullptr},    {125, 125, nested}, {130, 130, nested},    {101, 101, nullptr},
        {210, 10, collapsed}, {-1, 0, nullptr},
    };
    for (auto [x, y, hit] : cases) {
        EXPECT_EQ(root.HitTest(x, y), hit) << x << "," << y;
    }
}

// Views that subscribe to presses, as the concrete views do, sharing one log.
class MouseInput : public ::testing::Test {
  protected:
    std::unique_ptr<TestView> View(const std::string& name, int32_t x, int32_t y, int32_t w,
                                   int32_t h) {
        auto view = std::make_unique<TestView>(name, log, &mouse);
        view->At(x, y, w, h);
        return view;
    }
    void TearDown() override {
        // No capture may outlive a test.
        EXPECT_EQ(mouse.GetDragged()->GetObserverCount(), 0u);
        EXPECT_EQ(mouse.GetUp()->GetObserverCount(), 0u);
        EXPECT_EQ(mouse.GetDown()->GetObserverCount(), 0u);
    }

    MouseDispatcher mouse;
    std::shared_ptr<Log> log = std::make_shared<Log>();
};

TEST_F(MouseInput, TheCaptureKeepsDeliveringDragsOutsideTheViewUntilTheRelease) {
    auto view = View("a", 0, 0, 50, 50);
    EXPECT_TRUE(mouse.OnMouseDown(50, 50));  // the far corner is inside
    EXPECT_TRUE(mouse.OnMouseMove(200, 30));
    EXPECT_TRUE(mouse.OnMouseMove(190, 40));
    EXPECT_TRUE(mouse.OnMouseUp(300, 300));
    EXPECT_FALSE(mouse.OnMouseMove(10, 10));
    EXPECT_EQ(*log, (Log{"a down 50,50", "a dragged 150,-20", "a dragged -10,10", "a up"}));
}

TEST_F(MouseInput, TheFirstSubscriberWhoseRectangleHoldsThePointTakesTheClick) {
    auto first = View("first", 0, 0, 50, 50);
    auto second = View("second", 25, 25, 50, 50);
    mouse.OnMouseDown(30, 30);
    mouse.OnMouseUp(30, 30);
    mouse.OnMouseDown(60, 60);
    mouse.OnMouseUp(60, 60);
    EXPECT_EQ(*log, (Log{"first down 30,30", "first up", "second down 60,60", "second up"}));
}

TEST_F(MouseInput, AReleaseDetachesTheCaptureWhileTheUpEventIsBeingNotified) {
    auto view = View("a", 0, 0, 50, 50);
    mouse.OnMouseDown(10, 10);
    // Attached after the capture: it must still be reached when the capture leaves before it.
    CallbackObserver after([this](ISubject&) { log->push_back("after"); });
    mouse.GetUp()->Attach(&after);
    mouse.OnMouseUp(10, 10);
    mouse.GetUp()->Detach(&after);
    EXPECT_EQ(*log, (Log{"a down 10,10", "a up", "after"}));
}

TEST_F(MouseInput, AViewThatGoesWhileHoldingTheCaptureReleasesIt) {
    auto view = View("a", 0, 0, 50, 50);
    mouse.OnMouseDown(10, 10);
    view.reset();
    EXPECT_FALSE(mouse.OnMouseMove(20, 20));
    EXPECT_FALSE(mouse.OnMouseUp(20, 20));
    EXPECT_EQ(*log, (Log{"a down 10,10", "a destroyed"}));
}

TEST_F(MouseInput, APressDuringACaptureDoesNotSubscribeTheViewTwice) {
    auto view = View("a", 0, 0, 50, 50);
    mouse.OnMouseDown(10, 10);
    mouse.OnMouseDown(12, 12);  // the release in between never reached the window
    mouse.OnMouseMove(13, 12);
    mouse.OnMouseUp(13, 12);
    mouse.OnMouseMove(20, 20);
    EXPECT_EQ(*log, (Log{"a down 10,10", "a down 12,12", "a dragged 1,0", "a up"}));
}

// Watches the five events of a dispatcher in the order they are notified.
class DispatcherWatch {
  public:
    DispatcherWatch(MouseDispatcher& mouse, std::shared_ptr<Log> log)
        : mouse_(mouse), log_(std::move(log)) {
        Watch(mouse_.GetDown(), "down");
        Watch(mouse_.GetUp(), "up");
        Watch(mouse_.GetDragged(), "dragged");
        Watch(mouse_.GetActive(), "active");
        Watch(mouse_.GetUnhandledDown(), "unhandledDown");
    }
    ~DispatcherWatch() {
        for (auto& [event, observer] : watches_) {
            event->Detach(observer.get());
        }
    }
    /// Makes the observer of an event take every notification.
    void Take(const std::string& name) { taken_ = name; }

  private:
    void Watch(const std::shared_ptr<MouseEvent>& event, const std::string& name) {
        auto observer = std::make_unique<CallbackObserver>([this, name](ISubject& subject) {
            auto& e = static_cast<MouseEvent&>(subject);
            log_->push_back(name + " " + std::to_string(e.GetX()) + "," + std::to_string(e.GetY()) +
                            " d" + std::to_string(e.GetDx()) + "," + std::to_string(e.GetDy()) +
                            (e.IsButtonDown() ? " held" : ""));
            if (taken_ == name) {
                e.SetHandled(true);
            }
        });
        event->Attach(observer.get());
        watches_.emplace_back(event, std::move(observer));
    }

    MouseDispatcher& mouse_;
    std::shared_ptr<Log> log_;
    std::string taken_;
    std::vector<std::pair<std::shared_ptr<MouseEvent>, std::unique_ptr<CallbackObserver>>> watches_;
};

TEST_F(MouseInput, TheDispatcherNotifiesInItsOrderAndAnswersWhetherAnyoneTookTheInput) {
    const struct {
        const char* taker;
        bool down;
        bool move;
        bool up;
    } cases[] = {
        {"", false, false, false},    {"unhandledDown", true, false, false},
        {"active", true, true, true}, {"dragged", false, true, false},
        {"up", false, false, true},
    };
    for (const auto& c : cases) {
        log->clear();
        DispatcherWatch watch(mouse, log);
        watch.Take(c.taker);
        EXPECT_EQ(mouse.OnMouseDown(10, 20), c.down) << c.taker;
        EXPECT_EQ(mouse.OnMouseMove(15, 22), c.move) << c.taker;
        EXPECT_EQ(mouse.OnMouseUp(15, 22), c.up) << c.taker;
        // A move without the button reaches only the active event and keeps the last point.
        EXPECT_EQ(mouse.OnMouseMove(40, 40), c.down && c.move && c.up) << c.taker;
        mouse.OnMouseDown(41, 41);
        mouse.OnMouseMove(42, 45);
        mouse.OnMouseUp(42, 45);
        EXPECT_EQ(*log,
                  (Log{"down 10,20 d0,0", "active 10,20 d0,0", "unhandledDown 10,20 d0,0",
                       "dragged 0,0 d5,2 held", "active 15,22 d0,0 held", "up 15,22 d0,0",
                       "active 15,22 d0,0", "active 40,40 d0,0", "down 41,41 d0,0",
                       "active 41,41 d0,0", "unhandledDown 41,41 d0,0", "dragged 0,0 d1,4 held",
                       "active 42,45 d0,0 held", "up 42,45 d0,0", "active 42,45 d0,0"}))
            << c.taker;
    }
}

TEST_F(MouseInput, APressTakenByAViewSkipsTheUnhandledEvent) {
    auto view = View("a", 0, 0, 50, 50);
    DispatcherWatch watch(mouse, log);
    EXPECT_TRUE(mouse.OnMouseDown(10, 10));
    mouse.OnMouseUp(10, 10);
    // The capture subscribes to the release after the watch did.
    EXPECT_EQ(*log, (Log{"a down 10,10", "down 10,10 d0,0", "active 10,10 d0,0", "up 10,10 d0,0",
                         "a up", "active 10,10 d0,0"}));
}

TEST(ViewHandlers, LayoutAndSelectionClimbThroughPanels) {
    auto log = std::make_shared<Log>();
    StackPanel root;
    auto middle = std::make_unique<Canvas>();
    auto* leaf = static_cast<TestView*>(middle->AddView(std::make_unique<TestView>("leaf", log)));
    root.AddPanel(std::move(middle));

    int layouts = 0;
    CallbackObserver layoutWatch([&](ISubject&) { ++layouts; });
    IView* selected = nullptr;
    CallbackObserver selectionWatch(
        [&](ISubject& subject) { selected = static_cast<SelectionEvent&>(subject).GetSelected(); });
    root.GetLayoutEvent()->Attach(&layoutWatch);
    root.GetSelectionEvent()->Attach(&selectionWatch);

    leaf->OnLayoutChanged();
    leaf->OnSelectionChanged(leaf);
    EXPECT_EQ(layouts, 1);
    EXPECT_EQ(selected, leaf);
}

TEST(PanelChildren, RemovingOrReplacingAChildClearsTheSelectionFirstAndANonChildIsIgnored) {
    auto log = std::make_shared<Log>();
    Canvas panel;
    IView* a = panel.AddView(std::make_unique<TestView>("a", log));
    IView* b = panel.AddView(std::make_unique<TestView>("b", log));
    IView* c = panel.AddView(std::make_unique<TestView>("c", log));
    TestView stranger("stranger", log);
    CallbackObserver selectionWatch([&](ISubject& subject) {
        auto* selected = static_cast<SelectionEvent&>(subject).GetSelected();
        log->push_back(selected == nullptr ? "selection cleared" : "selected");
    });
    panel.GetSelectionEvent()->Attach(&selectionWatch);

    panel.RemoveChild(&stranger);
    panel.ReplaceChild(&stranger, std::make_unique<TestView>("unused", log));
    EXPECT_EQ(*log, (Log{"unused destroyed"}));
    EXPECT_EQ(panel.GetChildren().size(), 3u);

    log->clear();
    panel.RemoveChild(b);
    auto replacement = std::make_unique<TestView>("d", log);
    IView* d = replacement.get();
    panel.ReplaceChild(a, std::move(replacement));
    EXPECT_EQ(*log, (Log{"selection cleared", "b destroyed", "selection cleared", "a destroyed"}));
    ASSERT_EQ(panel.GetChildren().size(), 2u);
    EXPECT_EQ(panel.GetChildren()[0].view.get(), d);
    EXPECT_EQ(panel.GetChildren()[1].view.get(), c);

    // The panel listens to the newcomer.
    log->clear();
    d->OnSelectionChanged(d);
    EXPECT_EQ(*log, (Log{"selected"}));
    panel.GetSelectionEvent()->Detach(&selectionWatch);
}

}  // namespace
}  // namespace vortrel
