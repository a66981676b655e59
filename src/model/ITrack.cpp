#include "model/ITrack.h"

#include <algorithm>

#include <tinyxml2.h>

#include "editing/DesTrack.h"
#include "model/IContent.h"
#include "model/TimeRules.h"
#include "model/XmlFields.h"

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

IContent* ITrack::CreateContent() {
    std::shared_ptr<IContent> content = MakeContent(true);
    IContent* created = content.get();
    AddContent(std::move(content));
    return created;
}

bool ITrack::AcceptsKind(ContentKind /*kind*/) const {
    return false;
}

std::shared_ptr<DesTrack> ITrack::GetDesTrack() const {
    return desTrack_;
}

const tinyxml2::XMLElement* ITrack::ReadXml(const tinyxml2::XMLElement& timeline,
                                            const tinyxml2::XMLElement* previous,
                                            TimelineModel& model) {
    const tinyxml2::XMLElement* element = previous != nullptr
                                              ? previous->NextSiblingElement("Track")
                                              : timeline.FirstChildElement("Track");
    bool visible = true;
    if (element == nullptr || !xml::ReadBoolAttribute(*element, "Visible", visible)) {
        return nullptr;
    }
    SetVisible(visible);
    for (const tinyxml2::XMLElement* item = element->FirstChildElement("Content"); item != nullptr;
         item = item->NextSiblingElement("Content")) {
        IContent* content = CreateContent();
        if (!content->ReadXml(*item, model)) {
            return nullptr;
        }
        // A content whose engine set-up fails (an unknown effect, a missing file) stays, as
        // the control's add methods leave it; the rest of the project still loads.
        try {
            content->Update();
        } catch (const std::exception&) {
        }
    }
    return element;
}

void ITrack::WriteXml(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& timeline,
                      const TimelineModel& model) const {
    tinyxml2::XMLElement* element = document.NewElement("Track");
    element->SetAttribute("Visible", visible_ ? 1 : 0);
    timeline.InsertEndChild(element);
    for (const auto& content : contents_) {
        tinyxml2::XMLElement* item = document.NewElement("Content");
        element->InsertEndChild(item);
        content->WriteXml(document, *item, model);
    }
}

void ITrack::SetVisible(bool visible) {
    visible_ = visible;
    if (std::shared_ptr<DesTrack> track = GetDesTrack()) {
        track->GetTrackObject()->SetMuted(!visible);
    }
    visibilityChanged_->Notify(visible);
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
