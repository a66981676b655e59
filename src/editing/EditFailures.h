#pragma once

#include <map>

namespace vortrel {

/// The operations of the editing timeline that can fail, one per failure point.
enum class EditOp {
    CreateTimeline,
    CreateEmptyNode,
    QueryGroup,        // a group node's group interface
    QueryComposition,  // a group's composition, to insert tracks
    QueryTrack,        // a track node's track interface
    QuerySource,       // a source node's source interface
    QueryTransable,    // a track's transition list
    QueryTrans,        // a transition node's transition interface
    QueryEffectable,   // a group's or source's effect list
    SetMediaType,
    AddGroup,
    InsertTrack,
    AddSource,
    AddTransition,
    InsertEffect,
    SetSubObject,
    GetSubObject,
    SetStartStop,
    SetMediaName,
    SetMediaTimes,
    CreatePropertySetter,
    SetPropertySetter,
};

// Failure injection for the editing timeline: a test plans which calls of which operations
// fail, and the timeline consults the plan on every call. With no plan nothing fails.
class EditFailures {
  public:
    /// Makes the n-th next call of an operation (1 = the very next) fail, once.
    void FailCall(EditOp op, int nth = 1);
    /// Makes every call of an operation fail until Reset.
    void FailAlways(EditOp op);
    /// Forgets every plan (the call counts stay).
    void Reset();
    /// Counts one call of an operation and tells whether it fails.
    bool Fails(EditOp op);
    /// How many calls of an operation were made.
    int Calls(EditOp op) const;

  private:
    std::map<EditOp, int> countdown_;  // calls left until the planned failure
    std::map<EditOp, bool> always_;
    std::map<EditOp, int> calls_;
};

}  // namespace vortrel
