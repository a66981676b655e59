#include "editing/EditTimeline.h"

#include <algorithm>

namespace vortrel {

std::shared_ptr<EditTimeline> EditTimeline::Create(std::shared_ptr<EditFailures> failures) {
    if (!failures) {
        failures = std::make_shared<EditFailures>();
    }
    if (failures->Fails(EditOp::CreateTimeline)) {
        return nullptr;
    }
    return std::make_shared<EditTimeline>(std::move(failures));
}

EditTimeline::EditTimeline(std::shared_ptr<EditFailures> failures)
    : failures_(failures ? std::move(failures) : std::make_shared<EditFailures>()) {}

EditTimeline::~EditTimeline() {
    // Groups that wrappers still hold outlive the timeline, detached from it.
    for (const auto& group : groups_) {
        group->owner_ = nullptr;
    }
}

std::shared_ptr<EditNode> EditTimeline::CreateEmptyNode(EditNodeType type) {
    if (failures_->Fails(EditOp::CreateEmptyNode)) {
        return nullptr;
    }
    return std::make_shared<EditNode>(type, failures_);
}

bool EditTimeline::AddGroup(std::shared_ptr<EditNode> group) {
    if (failures_->Fails(EditOp::AddGroup) || !group || group->type_ != EditNodeType::Group ||
        group->owner_ != nullptr) {
        return false;
    }
    group->owner_ = this;
    groups_.push_back(std::move(group));
    return true;
}

std::shared_ptr<EditNode> EditTimeline::GetGroup(int32_t index) const {
    if (index < 0 || index >= GetGroupCount()) {
        return nullptr;
    }
    return groups_[static_cast<size_t>(index)];
}

std::shared_ptr<EditPropertySetter> EditTimeline::CreatePropertySetter() {
    if (failures_->Fails(EditOp::CreatePropertySetter)) {
        return nullptr;
    }
    return std::make_shared<EditPropertySetter>();
}

void EditTimeline::RemoveGroup(const EditNode* group) {
    auto it = std::find_if(groups_.begin(), groups_.end(),
                           [group](const auto& held) { return held.get() == group; });
    if (it != groups_.end()) {
        groups_.erase(it);
    }
}

}  // namespace vortrel
