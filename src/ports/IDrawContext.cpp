#include "ports/IDrawContext.h"

namespace vortrel {

namespace {

// The classic scheme's three-dimensional colours. Edges are drawn in them whatever scheme the
// system shows, so that both builds give the same pixels.
constexpr ColorRef k3dHighlight = MakeColorRef(255, 255, 255);
constexpr ColorRef k3dLight = MakeColorRef(192, 192, 192);
constexpr ColorRef k3dShadow = MakeColorRef(128, 128, 128);
constexpr ColorRef k3dDarkShadow = MakeColorRef(0, 0, 0);

std::shared_ptr<IDrawing>& Installed() {
    static std::shared_ptr<IDrawing> drawing;
    return drawing;
}

}  // namespace

std::vector<EdgeBand> EdgeBands(const DrawRect& rect, EdgeStyle style) {
    struct Border {
        ColorRef topLeft;
        ColorRef bottomRight;
    };
    const Border raisedOuter{k3dLight, k3dDarkShadow};
    const Border raisedInner{k3dHighlight, k3dShadow};
    const Border sunkenOuter{k3dShadow, k3dHighlight};
    const Border sunkenInner{k3dDarkShadow, k3dLight};
    Border outer = raisedOuter;
    Border inner = raisedInner;
    if (style == EdgeStyle::Sunken) {
        outer = sunkenOuter;
        inner = sunkenInner;
    } else if (style == EdgeStyle::Bump) {
        inner = sunkenInner;
    }
    // In 64 bits, as a rectangle may reach the ends of the coordinate range.
    int64_t left = rect.left;
    int64_t top = rect.top;
    int64_t right = rect.right;
    int64_t bottom = rect.bottom;
    std::vector<EdgeBand> bands;
    const auto band = [&bands](int64_t l, int64_t t, int64_t r, int64_t b, ColorRef color) {
        bands.push_back({{static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r),
                          static_cast<int32_t>(b)},
                         color});
    };
    for (const Border& border : {outer, inner}) {
        if (right <= left || bottom <= top) {
            break;
        }
        band(left, top, right - 1, top + 1, border.topLeft);
        band(left, top, left + 1, bottom - 1, border.topLeft);
        band(left, bottom - 1, right, bottom, border.bottomRight);
        band(right - 1, top, right, bottom, border.bottomRight);
        ++left;
        ++top;
        --right;
        --bottom;
    }
    return bands;
}

void SetDrawing(std::shared_ptr<IDrawing> drawing) {
    Installed() = std::move(drawing);
}

std::shared_ptr<IDrawing> GetDrawing() {
    return Installed();
}

}  // namespace vortrel
