#include "editing/DesSource.h"

#include "editing/DesError.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"

namespace vortrel {

DesSource::DesSource(DesTrack& track) : timeline_(track.GetTimeline()) {
    sourceObject_ = timeline_->GetTimeline().CreateEmptyNode(EditNodeType::Source);
    if (!sourceObject_) {
        throw DesError("Could not create empty node");
    }
    if (!sourceObject_->Query(EditOp::QuerySource)) {
        throw DesError("Could not get timeline source");
    }
    if (!track.GetTrackObject()->AddSource(sourceObject_)) {
        throw DesError("Could not add source");
    }
}

DesSource::~DesSource() {
    sourceObject_->RemoveAll();
}

}  // namespace vortrel
