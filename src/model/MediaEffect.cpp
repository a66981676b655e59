#include "model/MediaEffect.h"

#include "engine/des/DesEffect.h"
#include "model/ContentTime.h"
#include "model/XmlFields.h"

namespace vortrel {

MediaEffect::MediaEffect(DesVideoGroup* group) : IEffect(std::make_shared<DesGroupEffect>(group)) {}

bool MediaEffect::ReadFields(const tinyxml2::XMLElement& element) {
    return ReadNameAndTimes(element) && ReadParams(element);
}

void MediaEffect::WriteFields(tinyxml2::XMLDocument& document,
                              tinyxml2::XMLElement& element) const {
    WriteNameAndTimes(document, element);
    xml::WriteText(document, element, "Params", GetParams());
}

void MediaEffect::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Effect";
    text = L"Effect: " + GetSource() + DescribeTimes(*GetSegment());
}

}  // namespace vortrel
