#pragma once

#include <string>

#include "model/IClip.h"

namespace vortrel {

class DesTrack;

// A still image shown for the whole length of the clip on the image track.
class ImageClip : public IClip {
  public:
    /// A clip whose source is placed on the given editing-timeline track.
    explicit ImageClip(DesTrack& track);

    void GetDescription(std::wstring& title, std::wstring& text) const override;
};

}  // namespace vortrel
