#include "editing/DesTrack.h"

#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"

namespace vortrel {

DesTrack::DesTrack(DesGroup& group) : timeline_(group.GetTimeline()) {
    trackObject_ = timeline_->GetTimeline().CreateEmptyNode(EditNodeType::Track);
    if (!trackObject_) {
        throw DesError("Could not create empty node");
    }
    EditNode& composition = *group.GetGroupObject();
    if (!composition.Query(EditOp::QueryComposition)) {
        throw DesError("Could not get composition");
    }
    if (!composition.InsertTrack(trackObject_, -1)) {
        throw DesError("Could not insert track");
    }
    if (!trackObject_->Query(EditOp::QueryTrack)) {
        throw DesError("Could not get timeline track");
    }
}

DesTrack::~DesTrack() {
    trackObject_->RemoveAll();
}

}  // namespace vortrel
