#pragma once

#include <cstdint>
#include <string>

#include "model/IClip.h"
#include "ports/LogFont.h"

namespace vortrel {

class DesTrack;

// A line of text shown over the video on the text track. The editing engine cannot draw
// text, so the clip renders itself into a bitmap file in the temporary folder: a canvas of
// the video size in the text colour whose alpha is the glyphs' coverage. The clip owns that
// file: each rendering replaces it and the clip deletes it when destroyed. Its source is the
// text itself.
class TextClip : public IClip {
  public:
    /// A clip whose source is placed on the given editing-timeline track (none: a clip
    /// that is not placed, with no source wrapper).
    explicit TextClip(DesTrack* track);
    ~TextClip() override;

    void GetDescription(std::wstring& title, std::wstring& text) const override;
    /// Puts the content's state into the editing timeline.
    void SetupDes() override;
    bool ReadFields(const tinyxml2::XMLElement& element) override;
    void WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const override;

    /// Takes the font of a font handle; an unknown handle leaves the record all zero.
    void SetFont(int32_t fontHandle);
    /// A new font handle for the clip's font; the caller owns it.
    int32_t GetFont() const;
    /// The font record itself.
    const LogFont& GetLogFont() const { return font_; }
    /// Sets the font record itself.
    void SetLogFont(const LogFont& font) { font_ = font; }

    /// The text colour as 0x00BBGGRR.
    uint32_t GetColor() const { return color_; }
    void SetColor(uint32_t color) { color_ = color; }
    /// Left edge of the text's layout box on the canvas, in pixels.
    int32_t GetXPos() const { return xPos_; }
    void SetXPos(int32_t x) { xPos_ = x; }
    /// Top edge of the text's layout box on the canvas, in pixels.
    int32_t GetYPos() const { return yPos_; }
    void SetYPos(int32_t y) { yPos_ = y; }
    /// Sets the canvas size (the video size when the clip was made).
    void SetVideoTrackSize(int32_t width, int32_t height);
    int32_t GetVideoTrackWidth() const { return videoTrackWidth_; }
    int32_t GetVideoTrackHeight() const { return videoTrackHeight_; }

    /// Renders the text into a new bitmap file "text_<number>.bmp" in the temporary folder,
    /// records its path and returns it. Raises DesError "Could not setup text clip" when the
    /// text cannot be drawn or the file cannot be written; no file is left behind then.
    std::wstring RenderToBitmapFile();
    /// Deletes the bitmap file rendered last, if any, and forgets its path.
    void DeleteBitmapFile();
    /// Full path of the bitmap file rendered last, empty before the first rendering.
    const std::wstring& GetBitmapPath() const { return bitmapPath_; }

  private:
    LogFont font_;
    uint32_t color_ = 0;
    int32_t xPos_ = 0;
    int32_t yPos_ = 0;
    int32_t videoTrackWidth_ = 320;
    int32_t videoTrackHeight_ = 24;
    std::wstring bitmapPath_;
};

}  // namespace vortrel
