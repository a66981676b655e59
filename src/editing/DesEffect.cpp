#include "editing/DesEffect.h"

#include "editing/DesError.h"
#include "editing/DesGroup.h"
#include "editing/DesSource.h"
#include "editing/DesTimeline.h"

namespace vortrel {

DesEffect::~DesEffect() {
    if (effectObject_) {
        effectObject_->RemoveAll();
    }
}

void DesEffect::Apply(const Guid& classId) {
    if (effectObject_) {
        Guid current;
        if (effectObject_->GetSubObjectGUID(current) && current == classId) {
            return;
        }
        effectObject_->RemoveAll();
        effectObject_.reset();
    }
    DesTimeline* timeline = GetTimeline();
    effectObject_ = timeline != nullptr
                        ? timeline->GetTimeline().CreateEmptyNode(EditNodeType::Effect)
                        : nullptr;
    if (!effectObject_) {
        throw DesError("Could not create empty node");
    }
    if (!effectObject_->SetSubObjectGUID(classId)) {
        throw DesError("Could not set subobject");
    }
    EditNode* effectable = GetEffectable();
    if (effectable == nullptr || !effectable->Query(EditOp::QueryEffectable)) {
        throw DesError("Could not get effectable");
    }
    if (!effectable->InsertEffect(effectObject_, 0)) {
        throw DesError("Could not insert effect in track");
    }
}

DesTimeline* DesGroupEffect::GetTimeline() const {
    return group_ != nullptr ? group_->GetTimeline() : nullptr;
}

EditNode* DesGroupEffect::GetEffectable() const {
    return group_ != nullptr ? group_->GetGroupObject().get() : nullptr;
}

DesTimeline* DesSourceEffect::GetTimeline() const {
    return source_ != nullptr ? source_->GetTimeline() : nullptr;
}

EditNode* DesSourceEffect::GetEffectable() const {
    return source_ != nullptr ? source_->GetSourceObject().get() : nullptr;
}

}  // namespace vortrel
