#include "model/ITrack.h"

#include <algorithm>

#include "model/IContent.h"
#include "model/TimeRules.h"

namespace vortrel {

ITrack::ITrack(std::shared_ptr<DesTrack> desTrack)
    : contentAdded_(std::make_shared<ContentEvent>()),
      contentRemoved_(std::make_shared<ContentEvent>()),
      visibilityChanged_(std::make_shared<VisibilityEvent>()),
      desTrack_(std::move(desTrack)),
      imageChanged_(std::make_shared<TrackEvent>()),
      changingHandler_(std::make_shared<ContentChangingEventHandler>(this)) {}

ITrack::~ITrack() {
    // The contents go first, while the subjects they were announced through still exist.
    contents_.clear();
}

bool ITrack::AcceptsKind(ContentKind /*kind*/) const {
    return false;
}

std::shared_ptr<DesTrack> ITrack::GetDesTrack() const {
    return desTrack_;
}

void ITrack::AddContent(std::shared_ptr<IContent> content) {
    if (!content) {
        return;
    }
    IContent* added = content.get();
    added->GetChanging()->Attach(changingHandler_.get());
    contents_.push_back(std::move(content));
    contentAdded_->Notify(added);
}

IContent* ITrack::GetContentAt(int32_t position) const {
    if (position < 0 || position >= GetContentCount()) {
        return nullptr;
    }
    return contents_[static_cast<size_t>(position)].get();
}

bool ITrack::RemoveContentAt(int32_t position) {
    if (position < 0 || position >= GetContentCount()) {
        return false;
    }
    RemoveAt(static_cast<size_t>(position));
    return true;
}

void ITrack::RemoveAllContents() {
    while (!contents_.empty()) {
        RemoveAt(0);
    }
}

void ITrack::RemoveAt(size_t position) {
    IContent* content = contents_[position].get();
    content->GetChanging()->Detach(changingHandler_.get());
    contentRemoved_->Notify(content);
    // An observer may have changed the list meanwhile, so the entry is looked up again.
    auto entry = std::find_if(contents_.begin(), contents_.end(),
                              [content](const auto& held) { return held.get() == content; });
    if (entry == contents_.end()) {
        return;
    }
    // Destroyed before its entry is erased: the content releases its editing-timeline
    // wrapper while the list still shows it in place.
    entry->reset();
    contents_.erase(entry);
}

void ITrack::KeepApart(IContent& content) const {
    TimeSegment& moved = *content.GetSegment();
    const int64_t length = moved.GetLength();
    // A content without positive length overlaps nothing; otherwise two zero-length contents
    // that share a start would push each other forever.
    if (length <= 0) {
        return;
    }
    bool overlapped = true;
    while (overlapped) {
        overlapped = false;
        const int32_t start = moved.GetStart();
        const int32_t stop = moved.GetStop();
        for (const auto& other : contents_) {
            if (other.get() == &content || other->GetSegment()->GetLength() <= 0) {
                continue;
            }
            const int32_t otherStart = other->GetSegment()->GetStart();
            const int32_t otherStop = other->GetSegment()->GetStop();
            if (otherStart == start || (start < otherStart && otherStart < stop) ||
                (otherStart < start && start < otherStop)) {
                // The first overlapping content in list order decides, not the nearest.
                // Each step moves the start strictly later, so the walk ends.
                moved.SetStartMs(otherStop);
                moved.SetStopMs(ClampToInt32(otherStop + length));
                overlapped = true;
                break;
            }
        }
    }
}

}  // namespace vortrel
