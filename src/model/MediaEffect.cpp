#include "model/MediaEffect.h"

#include "engine/des/DesEffect.h"
#include "model/ContentTime.h"

namespace vortrel {

MediaEffect::MediaEffect(DesVideoGroup& group)
    : IEffect(std::make_shared<DesGroupEffect>(&group)) {}

void MediaEffect::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Effect";
    text = L"Effect: " + GetSource() + DescribeTimes(*GetSegment());
}

}  // namespace vortrel
