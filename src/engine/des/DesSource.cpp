#include "engine/des/DesSource.h"

#include "engine/des/DesError.h"
#include "engine/des/DesTimeline.h"
#include "engine/des/DesTrack.h"

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
