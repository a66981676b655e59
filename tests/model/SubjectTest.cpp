#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/ContentEvent.h"
#include "model/ISubject.h"
#include "model/SeekEvent.h"
#include "model/TrackEvent.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;

// Three observers on one subject that log their names in the order they are reached.
class SubjectWalk : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto* observer : {&a, &b, &c}) {
            subject.Attach(observer);
        }
        a.SetCallback([this](ISubject&) { order += "a"; });
        b.SetCallback([this](ISubject&) { order += "b"; });
        c.SetCallback([this](ISubject&) { order += "c"; });
    }

    ISubject subject;
    CallbackObserver a, b, c;
    std::string order;
};

TEST_F(SubjectWalk, NotifiesInAttachOrderAndTwiceWhenAttachedTwice) {
    subject.Attach(&a);
    subject.Notify();
    EXPECT_EQ(order, "abca");
}

TEST_F(SubjectWalk, SelfDetachIsDeferredAndTheNextObserverIsStillReached) {
    b.SetCallback([this](ISubject& s) {
        order += "b";
        s.Detach(&b);
        EXPECT_TRUE(b.IsBusy());
        EXPECT_TRUE(b.IsRemoveRequested());
        EXPECT_EQ(s.GetObserverCount(), 3u);  // still listed while its Handle runs
    });
    subject.Notify();
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(subject.GetObserverCount(), 2u);
    EXPECT_FALSE(b.IsBusy());
    EXPECT_FALSE(b.IsRemoveRequested());

    order.clear();
    subject.Notify();
    EXPECT_EQ(order, "ac");
}

TEST_F(SubjectWalk, DetachingOthersDuringTheWalkSkipsNoOne) {
    // b removes a (already reached) and c (not yet reached): the walk must end cleanly
    // without skipping or repeating anyone.
    b.SetCallback([this](ISubject& s) {
        order += "b";
        s.Detach(&a);
        s.Detach(&c);
    });
    CallbackObserver d([this](ISubject&) { order += "d"; });
    subject.Attach(&d);
    subject.Notify();
    EXPECT_EQ(order, "abd");
    EXPECT_EQ(subject.GetObserverCount(), 2u);
}

TEST_F(SubjectWalk, AttachingDuringTheWalkKeepsItValid) {
    std::vector<std::unique_ptr<CallbackObserver>> added;
    a.SetCallback([&](ISubject& s) {
        order += "a";
        // Enough new observers to force the list to grow while it is walked.
        for (int i = 0; i < 64; ++i) {
            added.push_back(std::make_unique<CallbackObserver>());
            s.Attach(added.back().get());
        }
    });
    subject.Notify();
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(subject.GetObserverCount(), 67u);
}

TEST_F(SubjectWalk, DetachOfAnUnknownObserverChangesNothing) {
    CallbackObserver stranger;
    subject.Detach(&stranger);
    subject.Detach(nullptr);
    subject.Attach(nullptr);
    subject.Notify();
    EXPECT_EQ(order, "abc");
}

TEST_F(SubjectWalk, ObserverAttachedTwiceThatDetachesItselfLosesOneAttachment) {
    subject.Attach(&b);
    int bCalls = 0;
    b.SetCallback([&](ISubject& s) {
        order += "b";
        if (++bCalls == 1) {
            s.Detach(&b);
        }
    });
    subject.Notify();
    EXPECT_EQ(order, "abcb");
    order.clear();
    subject.Notify();
    EXPECT_EQ(order, "acb");
}

TEST_F(SubjectWalk, ReattachingAfterADeferredRemovalIsNotUndoneLater) {
    b.SetCallback([this](ISubject& s) {
        order += "b";
        s.Detach(&b);
    });
    subject.Notify();
    b.SetCallback([this](ISubject&) { order += "B"; });
    subject.Attach(&b);
    order.clear();
    subject.Notify();
    subject.Notify();
    EXPECT_EQ(order, "acBacB");
}

TEST_F(SubjectWalk, AThrowingHandlerLeavesTheSubjectUsable) {
    b.SetCallback([](ISubject&) { throw std::runtime_error("Could not set transition times"); });
    EXPECT_THROW(subject.Notify(), std::runtime_error);
    EXPECT_FALSE(b.IsBusy());
    b.SetCallback([this](ISubject& s) {
        order += "b";
        s.Detach(&b);  // not busy from the failed walk: removed after this Handle
    });
    order.clear();
    subject.Notify();
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(subject.GetObserverCount(), 2u);
}

TEST(Subject, DetachFromAnotherSubjectWhileBusyRemovesFromThatOneOnly) {
    // An observer handling subject one detaches itself from subject two; its busy flag must
    // not make subject one drop it, nor leave it on subject two.
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
    one.Notify();
    EXPECT_EQ(x.calls, 2);
}

TEST(Subject, SelfDetachDuringANestedNotifyOfTheSameSubject) {
    ISubject subject;
    CallbackObserver outer, inner;
    bool nested = false;
    outer.SetCallback([&](ISubject& s) {
        if (!nested) {
            nested = true;
            s.Notify();  // outer is reached again in here and detaches itself
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

TEST(Subject, ObserversReadTheDataTheNotifierWrote) {
    TrackEvent trackEvent;
    SeekEvent seekEvent;
    std::vector<int32_t> seen;
    CallbackObserver observer([&](ISubject& s) {
        if (auto* track = dynamic_cast<TrackEvent*>(&s)) {
            seen.push_back(track->GetIndex());
        } else {
            seen.push_back(static_cast<SeekEvent&>(s).GetValue());
        }
    });
    trackEvent.Attach(&observer);
    seekEvent.Attach(&observer);
    trackEvent.Notify(nullptr, 7);
    seekEvent.Notify(-250);
    EXPECT_EQ(seen, (std::vector<int32_t>{7, -250}));
}

}  // namespace
}  // namespace vortrel
