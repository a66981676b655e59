#include "model/IContent.h"

#include "model/XmlFields.h"

namespace vortrel {

IContent::IContent(std::shared_ptr<DesSource> desSource)
    : IContent(std::move(desSource), nullptr, nullptr) {}

IContent::IContent(std::shared_ptr<DesTransition> desTransition)
    : IContent(nullptr, std::move(desTransition), nullptr) {}

IContent::IContent(std::shared_ptr<DesEffect> desEffect)
    : IContent(nullptr, nullptr, std::move(desEffect)) {}

IContent::IContent(std::shared_ptr<DesSource> desSource,
                   std::shared_ptr<DesTransition> desTransition,
                   std::shared_ptr<DesEffect> desEffect)
    : segment_(std::make_shared<TimeSegment>()),
      changing_(std::make_shared<ContentEvent>()),
      changed_(std::make_shared<ContentEvent>()),
      desSource_(std::move(desSource)),
      desTransition_(std::move(desTransition)),
      desEffect_(std::move(desEffect)) {}

IContent::~IContent() = default;

void IContent::GetDescription(std::wstring& /*title*/, std::wstring& /*text*/) const {}

void IContent::SetPixelRange(int32_t xStart, int32_t xStop) {
    segment_->SetPixelRange(xStart, xStop);
}

bool IContent::ReadXml(const tinyxml2::XMLElement& element, TimelineModel& /*model*/) {
    return ReadFields(element);
}

bool IContent::ReadFields(const tinyxml2::XMLElement& /*element*/) {
    return false;
}

void IContent::SetupDes() {}

void IContent::WriteXml(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element,
                        const TimelineModel& /*model*/) const {
    WriteFields(document, element);
}

void IContent::WriteFields(tinyxml2::XMLDocument& /*document*/,
                           tinyxml2::XMLElement& /*element*/) const {}

bool IContent::ReadTimes(const tinyxml2::XMLElement& element) {
    int32_t value = 0;
    if (!xml::ReadInt(element, "Start", value)) {
        return false;
    }
    segment_->SetStartMs(value);
    if (!xml::ReadInt(element, "Stop", value)) {
        return false;
    }
    segment_->SetStopMs(value);
    return true;
}

void IContent::WriteTimes(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const {
    xml::WriteInt(document, element, "Start", segment_->GetStart());
    xml::WriteInt(document, element, "Stop", segment_->GetStop());
}

void IContent::Update() {
    // The track's handler may move the content here, so the set-up sees the final times.
    changing_->Notify(this);
    SetupDes();
    changed_->Notify(this);
}

}  // namespace vortrel
