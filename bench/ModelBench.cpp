// Costs of the model's hot paths: announcing to many observers, and placing a content on a
// full track, where the no-overlap walk may restart once per content it hits. Each case is
// paired with a reference case in the same run (a plain append), so the ratio is what counts.
#include <benchmark/benchmark.h>

#include <vector>

#include "model/ISubject.h"
#include "support/TestContents.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::TestTrack;

// A track holding n contents of 1 s each, back to back, in time order.
void Fill(TestTrack& track, int64_t n) {
    for (int32_t i = 0; i < n; ++i) {
        track.Add("c", i * 1000, i * 1000 + 1000);
    }
}

// Reference: a content placed after the last one, so one walk finds no overlap.
void BM_PlaceAfterLast(benchmark::State& state) {
    TestTrack track;
    Fill(track, state.range(0));
    const int32_t end = static_cast<int32_t>(state.range(0)) * 1000;
    for (auto _ : state) {
        track.Add("new", end, end + 1000);
        track.RemoveContentAt(track.GetContentCount() - 1);
    }
}
BENCHMARK(BM_PlaceAfterLast)->Arg(10)->Arg(100)->Arg(1000);

// Worst case: a content placed at 0 hits every other content in turn.
void BM_PlaceAtStartOfFullTrack(benchmark::State& state) {
    TestTrack track;
    Fill(track, state.range(0));
    for (auto _ : state) {
        track.Add("new", 0, 1000);
        track.RemoveContentAt(track.GetContentCount() - 1);
    }
}
BENCHMARK(BM_PlaceAtStartOfFullTrack)->Arg(10)->Arg(100)->Arg(1000);

void BM_NotifyObservers(benchmark::State& state) {
    ISubject subject;
    std::vector<CallbackObserver> observers(static_cast<size_t>(state.range(0)));
    for (auto& observer : observers) {
        subject.Attach(&observer);
    }
    for (auto _ : state) {
        subject.Notify();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NotifyObservers)->Arg(1)->Arg(16)->Arg(1024);

}  // namespace
}  // namespace vortrel
