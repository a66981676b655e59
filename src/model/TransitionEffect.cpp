#include "model/TransitionEffect.h"

#include "editing/ApplyParams.h"
#include "editing/DesError.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "model/ContentTime.h"
#include "model/ITrack.h"
#include "model/TimeRules.h"
#include "model/TimelineModel.h"
#include "model/XmlFields.h"

namespace vortrel {

TransitionEffect::TransitionEffect() : IEffect(std::make_shared<DesTransition>(nullptr)) {}

void TransitionEffect::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Transition";
    text = L"Transition: " + GetSource() + DescribeTimes(*GetSegment());
}

void TransitionEffect::SetupDes() {
    DesTransition& transition = *GetDesTransition();
    DesTrack* track = transition.GetTrack();
    if (track == nullptr) {
        throw DesError("Could not get transable");  // no media track to place it on
    }
    DesTimeline& timeline = *track->GetTimeline();
    transition.Apply(timeline.FindTransition(GetSource()));  // an unknown name ends it here
    EditNode& node = *transition.GetTransitionObject();
    ApplyParams(GetParams(), node, timeline.GetTimeline());
    node.SetStartStop(MillisecondsToReferenceTime(GetSegment()->GetStart()),
                      MillisecondsToReferenceTime(GetSegment()->GetStop()));
}

bool TransitionEffect::ReadXml(const tinyxml2::XMLElement& element, TimelineModel& model) {
    int32_t trackIndex = -1;
    int32_t reverse = 0;
    if (!ReadNameAndTimes(element) || !xml::ReadInt(element, "Track", trackIndex)) {
        return false;
    }
    // An index that names no track leaves the transition without one; its set-up then fails
    // like that of any content the engine cannot place, and the project still loads.
    SetMediaTrack(model.GetTrack(trackIndex));
    if (!xml::ReadInt(element, "Reverse", reverse)) {
        return false;
    }
    SetReverse(reverse != 0);
    return ReadParams(element);
}

void TransitionEffect::WriteXml(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element,
                                const TimelineModel& model) const {
    WriteNameAndTimes(document, element);
    xml::WriteInt(document, element, "Track", model.IndexOfTrack(mediaTrack_));
    xml::WriteInt(document, element, "Reverse", GetReverse() ? 1 : 0);
    xml::WriteText(document, element, "Params", GetParams());
}

bool TransitionEffect::GetReverse() const {
    return GetDesTransition()->GetReverse();
}

void TransitionEffect::SetReverse(bool reverse) {
    GetDesTransition()->SetReverse(reverse);
}

void TransitionEffect::SetMediaTrack(ITrack* track) {
    mediaTrack_ = track;
    GetDesTransition()->SetTrack(track != nullptr ? track->GetDesTrack().get() : nullptr);
}

}  // namespace vortrel
