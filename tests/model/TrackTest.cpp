#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "model/ISubject.h"
#include "model/ITrack.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::EventLog;
using testing::TestClip;
using testing::TestTrack;

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

// A track whose announcements and whose clips' set-ups and destructions share one log.
class TrackLog : public ::testing::Test {
  protected:
    TrackLog() {
        track.GetContentAdded()->Attach(&added);
        track.GetContentRemoved()->Attach(&removed);
        for (auto* clip : {"x", "y", "z"}) {
            track.Add(clip, 1000 * (clip[0] - 'x'), 1000 * (clip[0] - 'x' + 1));
        }
        log->clear();
    }

    void Log(const std::string& what, ISubject& subject) {
        auto* clip = static_cast<TestClip*>(static_cast<ContentEvent&>(subject).GetContent());
        log->push_back(what + " " + clip->Name() + " of " +
                       std::to_string(track.GetContentCount()));
    }

    std::shared_ptr<EventLog> log = std::make_shared<EventLog>();
    TestTrack track{log};
    CallbackObserver added{[this](ISubject& s) { Log("added", s); }};
    CallbackObserver removed{[this](ISubject& s) { Log("removed", s); }};
};

TEST_F(TrackLog, AddAppendsAnnouncesAndUpdateRunsChangingSetupChanged) {
    auto& clip = static_cast<TestClip&>(*track.CreateContent());
    EXPECT_EQ(*log, EventLog{"added  of 4"});  // appended before it is announced
    clip.SetSource(L"w");
    CallbackObserver changing([&](ISubject&) { log->push_back("changing"); });
    CallbackObserver changed([&](ISubject&) { log->push_back("changed"); });
    clip.GetChanging()->Attach(&changing);
    clip.GetChanged()->Attach(&changed);
    clip.Update();
    EXPECT_EQ(*log, (EventLog{"added  of 4", "changing", "setup w", "changed"}));
    EXPECT_EQ(track.GetContentAt(3), &clip);
    clip.GetChanging()->Detach(&changing);
    clip.GetChanged()->Detach(&changed);
}

TEST_F(TrackLog, RemoveAnnouncesThenDestroysAndLaterContentsMoveDown) {
    IContent* y = track.GetContentAt(1);
    removed.SetCallback([&](ISubject& s) {
        Log("removed", s);
        EXPECT_EQ(y->GetChanging()->GetObserverCount(), 0u);  // the track let go first
    });
    EXPECT_TRUE(track.RemoveContentAt(1));
    EXPECT_EQ(*log, (EventLog{"removed y of 3", "destroyed y"}));
    EXPECT_EQ(track.ClipAt(1).Name(), "z");

    removed.SetCallback([this](ISubject& s) { Log("removed", s); });
    log->clear();
    track.RemoveAllContents();
    EXPECT_EQ(*log, (EventLog{"removed x of 2", "destroyed x", "removed z of 1", "destroyed z"}));
}

TEST_F(TrackLog, AnObserverRemovingAnotherContentDuringARemovalIsSafe) {
    bool once = true;
    removed.SetCallback([&](ISubject&) {
        if (std::exchange(once, false)) {
            track.RemoveContentAt(0);  // the host deletes x while y is being removed
        }
    });
    EXPECT_TRUE(track.RemoveContentAt(1));
    ASSERT_EQ(track.GetContentCount(), 1);
    EXPECT_EQ(track.ClipAt(0).Name(), "z");
}

// The no-overlap rule: contents are placed in order; each row gives the times asked for
// and the times the content ends up with, which its set-up already sees.
struct Placement {
    int32_t start, stop, placedStart, placedStop;
};

TEST(NoOverlap, ContentMovesLaterUntilItOverlapsNothingAndKeepsItsLength) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    const std::vector<Placement> tracks[] = {
        {{3000, 8000, 3000, 8000}, {0, 5000, 8000, 13000}},
        {{0, 5000, 0, 5000}, {0, 1000, 5000, 6000}},
        // Step by step: past the first, then past the second.
        {{0, 3000, 0, 3000}, {3000, 6000, 3000, 6000}, {2000, 4000, 6000, 8000}},
        // Touching is not overlapping.
        {{0, 3000, 0, 3000}, {3000, 4000, 3000, 4000}, {-2000, 0, -2000, 0}},
        // The third overlaps both; the first in the list is later in time, and it decides.
        {{1500, 9000, 1500, 9000}, {0, 1000, 0, 1000}, {500, 2000, 9000, 10500}},
        // Zero-length contents sharing a start would push each other forever.
        {{1000, 1000, 1000, 1000}, {1000, 1000, 1000, 1000}, {1000, 2000, 1000, 2000}},
        // Reversed contents (start after stop) neither move nor push.
        {{5000, 1000, 5000, 1000}, {5000, 6000, 5000, 6000}, {5000, 2000, 5000, 2000}},
        // Near the end of time the stop saturates instead of wrapping negative.
        {{0, max - 10, 0, max - 10}, {0, 1000, max - 10, max}},
    };
    for (const auto& rows : tracks) {
        SCOPED_TRACE(::testing::PrintToString(&rows - tracks));
        TestTrack track;
        for (const auto& row : rows) {
            track.Add("c", row.start, row.stop);
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            TestClip& clip = track.ClipAt(static_cast<int32_t>(i));
            const std::pair placed{rows[i].placedStart, rows[i].placedStop};
            EXPECT_EQ(std::pair(clip.GetSegment()->GetStart(), clip.GetSegment()->GetStop()),
                      placed)
                << "content " << i;
            EXPECT_EQ(clip.setupTimes, std::vector{placed}) << "content " << i;
        }
    }
}

}  // namespace
}  // namespace vortrel
