#pragma once

#include <cstdint>
#include <string>

#include "ports/LogFont.h"
#include "views/IView.h"

namespace vortrel {

// A text drawn in Arial of a point size into the view's rectangle, aligned horizontally and
// vertically, on one line or several. Measure gives the rectangle the text needs.
class LabelView : public IView {
  public:
    LabelView() = default;

    /// Draws the text transparently in its colour.
    void Draw(IDrawContext& context) override;
    /// The rectangle the text takes on the screen, from (0, 0); empty without a drawing.
    DrawRect Measure() const;

    /// The font the label draws with.
    LogFont MakeFont() const;
    /// The text flags from the alignments and the single-line flag.
    uint32_t GetTextFlags() const;

    const std::wstring& GetText() const { return text_; }
    ColorRef GetTextColor() const { return textColor_; }
    int32_t GetFontSize() const { return fontSize_; }
    int32_t GetHorizontalTextAlignment() const { return horizontalTextAlignment_; }
    int32_t GetVerticalTextAlignment() const { return verticalTextAlignment_; }
    bool IsSingleLine() const { return singleLine_; }
    void SetText(const std::wstring& text) { text_ = text; }
    void SetTextColor(ColorRef color) { textColor_ = color; }
    /// The size in points.
    void SetFontSize(int32_t points) { fontSize_ = points; }
    /// 0 left, 1 centre, 2 right.
    void SetHorizontalTextAlignment(int32_t alignment) { horizontalTextAlignment_ = alignment; }
    /// 0 top, 1 centre, 2 bottom.
    void SetVerticalTextAlignment(int32_t alignment) { verticalTextAlignment_ = alignment; }
    void SetSingleLine(bool singleLine) { singleLine_ = singleLine; }

  private:
    std::wstring text_;
    ColorRef textColor_ = 0;
    int32_t fontSize_ = 10;
    int32_t horizontalTextAlignment_ = 1;
    int32_t verticalTextAlignment_ = 0;
    bool singleLine_ = true;
};

}  // namespace vortrel
