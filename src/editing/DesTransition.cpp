#include "editing/DesTransition.h"

#include "editing/DesError.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"

namespace vortrel {

DesTransition::DesTransition(DesTrack* track) : track_(track) {}

DesTransition::~DesTransition() {
    RemoveObject();
}

void DesTransition::SetTrack(DesTrack* track) {
    track_ = track;
    dirty_ = true;
}

void DesTransition::SetReverse(bool reverse) {
    reverse_ = reverse;
    dirty_ = true;
}

void DesTransition::RemoveObject() {
    if (transitionObject_) {
        transitionObject_->RemoveAll();
        transitionObject_.reset();
    }
}

void DesTransition::Apply(const Guid& classId) {
    if (transitionObject_) {
        Guid current;
        if (!dirty_ && transitionObject_->GetSubObjectGUID(current) && current == classId) {
            return;
        }
        RemoveObject();
    }
    // Without a track there is nowhere to place the transition; that is the failure of
    // reaching the track's transition list, raised before anything is made.
    if (track_ == nullptr) {
        throw DesError("Could not get transable");
    }
    transitionObject_ =
        track_->GetTimeline()->GetTimeline().CreateEmptyNode(EditNodeType::Transition);
    if (!transitionObject_) {
        throw DesError("Could not create empty node");
    }
    if (!transitionObject_->SetSubObjectGUID(classId)) {
        throw DesError("Could not set subobject");
    }
    EditNode& track = *track_->GetTrackObject();
    if (!track.Query(EditOp::QueryTransable)) {
        throw DesError("Could not get transable");
    }
    if (!track.AddTransition(transitionObject_)) {
        throw DesError("Could not add transition to track");
    }
    if (reverse_) {
        if (!transitionObject_->Query(EditOp::QueryTrans)) {
            throw DesError("Could not get trans");
        }
        transitionObject_->SetSwapInputs(true);
    }
    dirty_ = false;
}

}  // namespace vortrel
