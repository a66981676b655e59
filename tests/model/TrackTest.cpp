#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/ITrack.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::EventLog;
using testing::TestClip;
using testing::TestTrack;

// A track whose additions, removals and content changes are all written to one log.
class TrackLog : public ::testing::Test {
  protected:
    TrackLog()
        : added([this](ISubject& s) { Log("added", s); }),
          removed([this](ISubject& s) { Log("removed", s); }) {
        track.GetContentAdded()->Attach(&added);
        track.GetContentRemoved()->Attach(&removed);
    }

    void Log(const std::string& what, ISubject& subject) {
        auto* clip = static_cast<TestClip*>(static_cast<ContentEvent&>(subject).GetContent());
        log->push_back(what + " " + clip->Name() + " count " +
                       std::to_string(track.GetContentCount()));
    }

    std::shared_ptr<EventLog> log = std::make_shared<EventLog>();
    TestTrack track{log};
    CallbackObserver added, removed;
};

TEST_F(TrackLog, AddAppendsThenAnnounces) {
    track.Add("x", 0, 1000);
    track.Add("y", 5000, 6000);
    ASSERT_EQ(track.GetContentCount(), 2);
    EXPECT_EQ(track.ClipAt(0).Name(), "x");
    EXPECT_EQ(track.ClipAt(1).Name(), "y");
    EXPECT_EQ(*log, (EventLog{"added  count 1", "setup x", "added  count 2", "setup y"}));
}

TEST_F(TrackLog, RemoveAnnouncesBeforeDestroyingAndLaterContentsMoveDown) {
    track.Add("x", 0, 1000);
    track.Add("y", 1000, 2000);
    track.Add("z", 2000, 3000);
    log->clear();
    EXPECT_TRUE(track.RemoveContentAt(1));
    EXPECT_EQ(*log, (EventLog{"removed y count 3", "destroyed y"}));
    ASSERT_EQ(track.GetContentCount(), 2);
    EXPECT_EQ(track.ClipAt(1).Name(), "z");
}

TEST_F(TrackLog, BadPositionsChangeNothing) {
    track.Add("x", 0, 1000);
    log->clear();
    for (int32_t position : {-1, 1, 2, std::numeric_limits<int32_t>::min()}) {
        EXPECT_FALSE(track.RemoveContentAt(position)) << position;
        EXPECT_EQ(track.GetContentAt(position), nullptr) << position;
    }
    EXPECT_TRUE(log->empty());
    EXPECT_EQ(track.GetContentCount(), 1);
}

TEST_F(TrackLog, RemoveAllAnnouncesEachContentOnceFirstToLast) {
    track.Add("x", 0, 1000);
    track.Add("y", 1000, 2000);
    log->clear();
    track.RemoveAllContents();
    EXPECT_EQ(*log,
              (EventLog{"removed x count 2", "destroyed x", "removed y count 1", "destroyed y"}));
    EXPECT_EQ(track.GetContentCount(), 0);
}

TEST_F(TrackLog, AnObserverThatRemovesAnotherContentDuringRemovalIsSafe) {
    track.Add("x", 0, 1000);
    track.Add("y", 1000, 2000);
    track.Add("z", 2000, 3000);
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

TEST_F(TrackLog, UpdateRunsChangingThenSetupThenChanged) {
    auto& clip = static_cast<TestClip&>(*track.CreateContent());
    clip.SetSource(L"x");
    CallbackObserver changing([&](ISubject&) { log->push_back("changing"); });
    CallbackObserver changed([&](ISubject& s) {
        EXPECT_EQ(static_cast<ContentEvent&>(s).GetContent(), &clip);
        log->push_back("changed");
    });
    clip.GetChanging()->Attach(&changing);
    clip.GetChanged()->Attach(&changed);
    log->clear();
    clip.Update();
    EXPECT_EQ(*log, (EventLog{"changing", "setup x", "changed"}));
    clip.GetChanging()->Detach(&changing);
    clip.GetChanged()->Detach(&changed);
}

TEST_F(TrackLog, RemovedContentIsNoLongerWatchedByTheTrack) {
    auto& clip = track.Add("x", 0, 1000);
    EXPECT_EQ(clip.GetChanging()->GetObserverCount(), 1u);
    // The track's handler comes off before contentRemoved observers see the content.
    removed.SetCallback([](ISubject& s) {
        EXPECT_EQ(static_cast<ContentEvent&>(s).GetContent()->GetChanging()->GetObserverCount(),
                  0u);
    });
    track.RemoveContentAt(0);
    EXPECT_EQ(removed.calls, 1);
}

// The no-overlap rule: each case places contents in order and checks where each ends up.
struct Placement {
    std::string name;
    int32_t start, stop;
};

std::vector<Placement> Place(const std::vector<Placement>& placements) {
    TestTrack track;
    for (const auto& p : placements) {
        track.Add(p.name, p.start, p.stop);
    }
    std::vector<Placement> result;
    for (int32_t i = 0; i < track.GetContentCount(); ++i) {
        const auto& segment = *track.ClipAt(i).GetSegment();
        result.push_back({track.ClipAt(i).Name(), segment.GetStart(), segment.GetStop()});
    }
    return result;
}

void ExpectPlaced(const std::vector<Placement>& actual, const std::vector<Placement>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_EQ(actual[i].start, expected[i].start) << actual[i].name;
        EXPECT_EQ(actual[i].stop, expected[i].stop) << actual[i].name;
    }
}

TEST(NoOverlap, OverlappingContentMovesToTheStopOfTheOneItHits) {
    ExpectPlaced(Place({{"a", 3000, 8000}, {"b", 0, 5000}}),
                 {{"a", 3000, 8000}, {"b", 8000, 13000}});
    ExpectPlaced(Place({{"a", 0, 5000}, {"b", 0, 1000}}), {{"a", 0, 5000}, {"b", 5000, 6000}});
    ExpectPlaced(Place({{"a", 0, 5000}, {"b", 4000, 6000}}), {{"a", 0, 5000}, {"b", 5000, 7000}});
}

TEST(NoOverlap, MovesStepByStepUntilNothingOverlaps) {
    ExpectPlaced(Place({{"a", 0, 3000}, {"b", 3000, 6000}, {"c", 2000, 4000}}),
                 {{"a", 0, 3000}, {"b", 3000, 6000}, {"c", 6000, 8000}});
}

TEST(NoOverlap, TouchingContentsStayWhereTheyAre) {
    ExpectPlaced(Place({{"a", 0, 3000}, {"b", 3000, 4000}, {"c", 4000, 6000}, {"d", -2000, 0}}),
                 {{"a", 0, 3000}, {"b", 3000, 4000}, {"c", 4000, 6000}, {"d", -2000, 0}});
}

TEST(NoOverlap, TheFirstOverlappingContentInListOrderDecides) {
    // c overlaps both a (later in time) and b; a comes first in the list, so c jumps past a.
    ExpectPlaced(Place({{"a", 1500, 9000}, {"b", 0, 1000}, {"c", 500, 2000}}),
                 {{"a", 1500, 9000}, {"b", 0, 1000}, {"c", 9000, 10500}});
}

TEST(NoOverlap, ZeroLengthContentsSharingAStartDoNotHang) {
    ExpectPlaced(Place({{"a", 1000, 1000}, {"b", 1000, 1000}, {"c", 1000, 2000}}),
                 {{"a", 1000, 1000}, {"b", 1000, 1000}, {"c", 1000, 2000}});
    // A reversed content (start after stop) neither moves nor pushes.
    ExpectPlaced(Place({{"a", 5000, 1000}, {"b", 5000, 6000}, {"c", 5000, 2000}}),
                 {{"a", 5000, 1000}, {"b", 5000, 6000}, {"c", 5000, 2000}});
}

TEST(NoOverlap, MovingNearTheEndOfTimeSaturatesInsteadOfWrapping) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    ExpectPlaced(Place({{"a", 0, max - 10}, {"b", 0, 1000}}),
                 {{"a", 0, max - 10}, {"b", max - 10, max}});
}

TEST(NoOverlap, SetupSeesTheFinalTimes) {
    TestTrack track;
    track.Add("a", 0, 5000);
    auto& b = track.Add("b", 1000, 2000);
    ASSERT_EQ(b.setupTimes.size(), 1u);
    EXPECT_EQ(b.setupTimes[0], std::make_pair(5000, 6000));
}

}  // namespace
}  // namespace vortrel
