#pragma once

#include <string>

#include "model/IClip.h"

namespace vortrel {

class DesTrack;

// A still image shown for the whole length of the clip on the image track.
class ImageClip : public IClip {
  public:
    /// A clip whose source is placed on the given editing-timeline track (none: a clip
    /// that is not placed, with no source wrapper).
    explicit ImageClip(DesTrack* track);

    void GetDescription(std::wstring& title, std::wstring& text) const override;
    /// Puts the content's state into the editing timeline.
    void SetupDes() override;
    bool ReadFields(const tinyxml2::XMLElement& element) override;
    void WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const override;
};

}  // namespace vortrel
