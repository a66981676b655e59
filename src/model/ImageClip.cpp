#include "model/ImageClip.h"

#include "model/ContentTime.h"

namespace vortrel {

ImageClip::ImageClip(DesTrack* track) : IClip(MakeDesSource(track)) {}

void ImageClip::SetupDes() {
    // A picture has no media offset: it shows from its first moment for the whole clip.
    PlaceSource(GetSource(), 0, "Could not setup image clip");
}

bool ImageClip::ReadFields(const tinyxml2::XMLElement& element) {
    return ReadClipFields(element, false);
}

void ImageClip::WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const {
    WriteClipFields(document, element, false);
}

void ImageClip::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Image";
    text = L"Clip: " + FileNameOf(GetSource()) + DescribeTimes(*GetSegment());
}

}  // namespace vortrel
