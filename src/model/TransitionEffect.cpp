#include "model/TransitionEffect.h"

#include "engine/des/DesTrack.h"
#include "engine/des/DesTransition.h"
#include "model/ContentTime.h"
#include "model/ITrack.h"

namespace vortrel {

TransitionEffect::TransitionEffect() : IEffect(std::make_shared<DesTransition>(nullptr)) {}

void TransitionEffect::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Transition";
    text = L"Transition: " + GetSource() + DescribeTimes(*GetSegment());
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
