#include "model/ImageClip.h"

#include "engine/des/DesSource.h"
#include "model/ContentTime.h"

namespace vortrel {

ImageClip::ImageClip(DesTrack& track) : IClip(std::make_shared<DesSource>(track)) {}

void ImageClip::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Image";
    text = L"Clip: " + FileNameOf(GetSource()) + DescribeTimes(*GetSegment());
}

}  // namespace vortrel
