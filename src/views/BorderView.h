#pragma once

#include <cstdint>

#include "views/IView.h"

namespace vortrel {

// A rectangle outlined with a pen and filled with a colour (or hollow), optionally with a
// three-dimensional edge. Other views draw their backgrounds and frames with a temporary one.
class BorderView : public IView {
  public:
    /// The edge styles: none, bump, raised, sunken.
    static constexpr int32_t kNoEdge = 0;
    static constexpr int32_t kBumpEdge = 1;
    static constexpr int32_t kRaisedEdge = 2;
    static constexpr int32_t kSunkenEdge = 3;

    BorderView() = default;
    /// A border at a rectangle (as its laid-out size) with its pen and fill colours.
    BorderView(const DrawRect& bounds, ColorRef penColor, ColorRef fillColor);

    /// Outlines and fills the rectangle, then draws the edge.
    void Draw(IDrawContext& context) override;

    ColorRef GetPenColor() const { return penColor_; }
    ColorRef GetFillColor() const { return fillColor_; }
    int32_t GetPenWidth() const { return penWidth_; }
    bool IsHollow() const { return hollow_; }
    int32_t GetEdgeStyle() const { return edgeStyle_; }
    void SetPenColor(ColorRef color) { penColor_ = color; }
    void SetFillColor(ColorRef color) { fillColor_ = color; }
    void SetPenWidth(int32_t width) { penWidth_ = width; }
    /// A hollow border is outlined only.
    void SetHollow(bool hollow) { hollow_ = hollow; }
    /// kBumpEdge, kRaisedEdge or kSunkenEdge draw an edge; other values none.
    void SetEdgeStyle(int32_t style) { edgeStyle_ = style; }

  private:
    ColorRef penColor_ = 0;
    ColorRef fillColor_ = 0xFFFFFF;
    int32_t penWidth_ = 1;
    bool hollow_ = false;
    int32_t edgeStyle_ = kNoEdge;
};

}  // namespace vortrel
