#include "model/MediaEffect.h"

#include "editing/ApplyParams.h"
#include "editing/DesEffect.h"
#include "editing/DesError.h"
#include "editing/DesTimeline.h"
#include "model/ContentTime.h"
#include "model/TimeRules.h"
#include "model/XmlFields.h"

namespace vortrel {

MediaEffect::MediaEffect(DesVideoGroup* group) : IEffect(std::make_shared<DesGroupEffect>(group)) {}

void MediaEffect::SetupDes() {
    DesEffect& effect = *GetDesEffect();
    DesTimeline* timeline = effect.GetTimeline();
    if (timeline == nullptr) {
        throw DesError("Could not create empty node");  // an effect placed on no group
    }
    effect.Apply(timeline->FindEffect(GetSource()));  // an unknown name ends the set-up here
    EditNode& node = *effect.GetEffectObject();
    ApplyParams(GetParams(), node, timeline->GetTimeline());
    node.SetStartStop(MillisecondsToReferenceTime(GetSegment()->GetStart()),
                      MillisecondsToReferenceTime(GetSegment()->GetStop()));
}

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
