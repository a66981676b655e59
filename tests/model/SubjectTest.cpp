#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/ISubject.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;

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

}  // namespace
}  // namespace vortrel
