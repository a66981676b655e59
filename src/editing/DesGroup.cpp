#include "editing/DesGroup.h"

#include <cstdlib>
#include <limits>

#include "editing/DesError.h"
#include "editing/DesTimeline.h"

namespace vortrel {

VideoMediaType MakeVideoMediaType(int32_t width, int32_t height) {
    VideoMediaType type;
    type.width = width;
    type.height = height;
    // 64-bit arithmetic for the stride; the sample size saturates, as a picture of
    // 2147483647 x 2147483647 would overflow even 64 bits.
    const int64_t stride = ((static_cast<int64_t>(width) * 32 + 31) / 8) & ~int64_t{3};
    const int64_t rows = std::llabs(static_cast<int64_t>(height));
    if (__builtin_mul_overflow(stride, rows, &type.imageSize)) {
        type.imageSize =
            stride < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    }
    return type;
}

AudioMediaType MakeAudioMediaType(int32_t sampleRate) {
    AudioMediaType type;
    type.sampleRate = sampleRate;
    type.averageBytesPerSecond = static_cast<int32_t>(static_cast<int64_t>(sampleRate) * 4);
    return type;
}

DesGroup::~DesGroup() {
    if (groupObject_) {
        groupObject_->RemoveAll();
    }
}

void DesGroup::MakeGroup() {
    EditTimeline& timeline = timeline_->GetTimeline();
    groupObject_ = timeline.CreateEmptyNode(EditNodeType::Group);
    if (!groupObject_) {
        throw DesError("Could not create empty node");
    }
    if (!groupObject_->Query(EditOp::QueryGroup)) {
        throw DesError("Could not get timeline group");
    }
    if (!ApplyMediaType(*groupObject_)) {
        throw DesError("Could not set media type");
    }
    groupObject_->SetPreviewMode(true);
    if (!timeline.AddGroup(groupObject_)) {
        throw DesError("Could not add group to timeline");
    }
}

DesVideoGroup::DesVideoGroup(DesTimeline* timeline, int32_t width, int32_t height, float frameRate)
    : DesGroup(timeline), width_(width), height_(height), frameRate_(frameRate) {
    MakeGroup();
}

bool DesVideoGroup::ApplyMediaType(EditNode& group) {
    return group.SetMediaType(MakeVideoMediaType(width_, height_));
}

bool DesVideoGroup::SetResolution(EditNode& group, int32_t width, int32_t height) {
    // The new size goes to the timeline only; the group keeps the size it was made with.
    const bool applied = group.SetMediaType(MakeVideoMediaType(width, height));
    group.SetOutputFPS(frameRate_);
    return applied;
}

bool DesVideoGroup::SetFrameRate(float frameRate) {
    frameRate_ = frameRate;
    return true;
}

DesAudioGroup::DesAudioGroup(DesTimeline* timeline, int32_t sampleRate)
    : DesGroup(timeline), sampleRate_(sampleRate) {
    MakeGroup();
}

bool DesAudioGroup::ApplyMediaType(EditNode& group) {
    return group.SetMediaType(MakeAudioMediaType(sampleRate_));
}

bool DesAudioGroup::SetResolution(EditNode& group, int32_t /*width*/, int32_t /*height*/) {
    return ApplyMediaType(group);
}

bool DesAudioGroup::SetFrameRate(float /*frameRate*/) {
    return true;
}

}  // namespace vortrel
