#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/IClip.h"
#include "ports/DibBitmap.h"

namespace vortrel {

class DesTrack;

// A clip of a video file on a video track. Besides its spans it keeps the last poster frame
// it fetched; dark frames at the media start can be skipped so that a clip that fades in
// from black still shows a picture.
class VideoClip : public IClip {
  public:
    /// A clip whose source is placed on the given editing-timeline track (none: a clip
    /// that is not placed, with no source wrapper).
    explicit VideoClip(DesTrack* track);
    ~VideoClip() override;

    void GetDescription(std::wstring& title, std::wstring& text) const override;
    /// Puts the content's state into the editing timeline.
    void SetupDes() override;
    bool ReadFields(const tinyxml2::XMLElement& element) override;
    void WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const override;

    /// Whether dark frames are skipped when the poster frame is taken.
    bool GetSkipBlackPosterFrame() const { return skipBlackPosterFrame_; }
    /// Sets whether dark frames are skipped when the poster frame is taken.
    void SetSkipBlackPosterFrame(bool skip) { skipBlackPosterFrame_ = skip; }

    /// A new copy of the frame at the media start (or the first bright one after it, every
    /// half second, when dark frames are skipped); none when no frame can be had.
    std::unique_ptr<DibBitmap> CreatePosterFrame();

    /// The frame fetched last (header and pixels), empty before the first.
    const std::vector<uint8_t>& GetPosterBits() const { return posterBits_; }

  private:
    std::vector<uint8_t> posterBits_;
    bool skipBlackPosterFrame_ = true;
};

/// True when no pixel byte of a frame (the bytes after its 40-byte header) is above 90.
bool IsDarkFrame(const std::vector<uint8_t>& bitmap);

/// Description text shared by video and audio clips.
std::wstring DescribeMediaClip(const IClip& clip);

}  // namespace vortrel
