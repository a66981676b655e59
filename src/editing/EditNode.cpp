#include "editing/EditNode.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "editing/EditTimeline.h"

namespace vortrel {

namespace {

constexpr int32_t kMaxSampleRate = 768000;

bool IsOneOf(EditNodeType type, std::initializer_list<EditNodeType> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace

EditNode::EditNode(EditNodeType type, std::shared_ptr<EditFailures> failures)
    : type_(type), failures_(std::move(failures)) {}

EditNode::~EditNode() {
    // Children that others still hold must not point back at a node that is gone.
    for (auto* list : {&tracks_, &sources_, &transitions_, &effects_}) {
        for (const auto& child : *list) {
            child->parent_ = nullptr;
        }
    }
}

bool EditNode::IsInTimeline() const {
    const EditNode* node = this;
    while (node->parent_ != nullptr) {
        node = node->parent_;
    }
    return node->owner_ != nullptr;
}

bool EditNode::Query(EditOp interfaceQuery) {
    bool has = false;
    switch (interfaceQuery) {
        case EditOp::QueryGroup:
        case EditOp::QueryComposition:
            has = type_ == EditNodeType::Group;
            break;
        case EditOp::QueryTrack:
            has = type_ == EditNodeType::Track;
            break;
        case EditOp::QuerySource:
            has = type_ == EditNodeType::Source;
            break;
        case EditOp::QueryTrans:
            has = type_ == EditNodeType::Transition;
            break;
        case EditOp::QueryTransable:
            has = IsOneOf(type_, {EditNodeType::Group, EditNodeType::Track});
            break;
        case EditOp::QueryEffectable:
            has = IsOneOf(type_, {EditNodeType::Group, EditNodeType::Track, EditNodeType::Source});
            break;
        default:
            return false;
    }
    return !Fails(interfaceQuery) && has;
}

bool EditNode::Attach(bool accepted, std::vector<std::shared_ptr<EditNode>>& list,
                      std::shared_ptr<EditNode> child, EditNodeType childType, EditOp op,
                      int32_t priority) {
    // A node already in a tree, or of the wrong kind, is refused like any failing call.
    if (Fails(op) || !accepted || !child || child->type_ != childType ||
        child->parent_ != nullptr || child->owner_ != nullptr || child.get() == this) {
        return false;
    }
    child->parent_ = this;
    const auto size = static_cast<int32_t>(list.size());
    const int32_t at = priority < 0 || priority > size ? size : priority;
    list.insert(list.begin() + at, std::move(child));
    return true;
}

bool EditNode::InsertTrack(std::shared_ptr<EditNode> track, int32_t priority) {
    return Attach(type_ == EditNodeType::Group, tracks_, std::move(track), EditNodeType::Track,
                  EditOp::InsertTrack, priority);
}

bool EditNode::AddSource(std::shared_ptr<EditNode> source) {
    return Attach(type_ == EditNodeType::Track, sources_, std::move(source), EditNodeType::Source,
                  EditOp::AddSource, -1);
}

bool EditNode::AddTransition(std::shared_ptr<EditNode> transition) {
    return Attach(IsOneOf(type_, {EditNodeType::Group, EditNodeType::Track}), transitions_,
                  std::move(transition), EditNodeType::Transition, EditOp::AddTransition, -1);
}

bool EditNode::InsertEffect(std::shared_ptr<EditNode> effect, int32_t priority) {
    return Attach(IsOneOf(type_, {EditNodeType::Group, EditNodeType::Track, EditNodeType::Source}),
                  effects_, std::move(effect), EditNodeType::Effect, EditOp::InsertEffect,
                  priority);
}

void EditNode::RemoveAll() {
    if (parent_ != nullptr) {
        EditNode* parent = parent_;
        parent_ = nullptr;
        parent->Detach(this);  // may release the last reference to this node
        return;
    }
    if (owner_ != nullptr) {
        EditTimeline* owner = owner_;
        owner_ = nullptr;
        owner->RemoveGroup(this);
    }
}

void EditNode::Detach(const EditNode* child) {
    for (auto* list : {&tracks_, &sources_, &transitions_, &effects_}) {
        auto it = std::find_if(list->begin(), list->end(),
                               [child](const auto& held) { return held.get() == child; });
        if (it != list->end()) {
            list->erase(it);
            return;
        }
    }
}

bool EditNode::SetStartStop(int64_t start, int64_t stop) {
    if (Fails(EditOp::SetStartStop) || type_ == EditNodeType::Group || stop < start) {
        return false;
    }
    start_ = start;
    stop_ = stop;
    return true;
}

bool EditNode::SetMediaName(std::wstring name) {
    if (Fails(EditOp::SetMediaName) || type_ != EditNodeType::Source) {
        return false;
    }
    mediaName_ = std::move(name);
    return true;
}

bool EditNode::SetMediaTimes(int64_t start, int64_t stop) {
    if (Fails(EditOp::SetMediaTimes) || type_ != EditNodeType::Source || stop < start) {
        return false;
    }
    mediaStart_ = start;
    mediaStop_ = stop;
    return true;
}

bool EditNode::SetSubObjectGUID(const Guid& classId) {
    if (Fails(EditOp::SetSubObject) ||
        !IsOneOf(type_, {EditNodeType::Transition, EditNodeType::Effect})) {
        return false;
    }
    subObject_ = classId;
    return true;
}

bool EditNode::GetSubObjectGUID(Guid& classId) {
    if (Fails(EditOp::GetSubObject) || !subObject_) {
        return false;
    }
    classId = *subObject_;
    return true;
}

bool EditNode::SetPropertySetter(std::shared_ptr<EditPropertySetter> setter) {
    if (Fails(EditOp::SetPropertySetter) ||
        !IsOneOf(type_, {EditNodeType::Transition, EditNodeType::Effect})) {
        return false;
    }
    properties_ = std::move(setter);
    return true;
}

bool EditNode::SetMediaType(const EditMediaType& type) {
    if (Fails(EditOp::SetMediaType) || type_ != EditNodeType::Group) {
        return false;
    }
    if (const auto* video = std::get_if<VideoMediaType>(&type)) {
        if (video->width <= 0 || video->width > kMaxPictureSide || video->height == 0 ||
            std::abs(static_cast<int64_t>(video->height)) > kMaxPictureSide) {
            return false;
        }
    } else if (const auto* audio = std::get_if<AudioMediaType>(&type)) {
        if (audio->sampleRate <= 0 || audio->sampleRate > kMaxSampleRate) {
            return false;
        }
    } else {
        return false;
    }
    mediaType_ = type;
    return true;
}

bool EditNode::SetOutputFPS(double fps) {
    if (type_ != EditNodeType::Group || !std::isfinite(fps) || fps <= 0.0) {
        return false;
    }
    outputFps_ = fps;
    return true;
}

}  // namespace vortrel
