#include "views/LabelView.h"

#include <cstdlib>
#include <memory>

namespace vortrel {

namespace {

// The platform's fixed font record values: default character set, outline precision,
// default clipping, ClearType quality, variable pitch.
constexpr uint8_t kDefaultCharSet = 1;
constexpr uint8_t kOutlinePrecision = 8;
constexpr uint8_t kDefaultClipPrecision = 0;
constexpr uint8_t kClearTypeQuality = 5;
constexpr uint8_t kVariablePitch = 2;
constexpr int32_t kNormalWeight = 400;

// number × numerator / denominator rounded half away from zero, -1 for a zero
// denominator, as the platform's MulDiv.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0) {
        return -1;
    }
    const int64_t product = int64_t{number} * numerator;
    const int64_t half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

LogFont LabelView::MakeFont() const {
    LogFont font;
    font.height = -MulDiv(fontSize_, kLogPixelsY, 72);
    font.weight = kNormalWeight;
    font.charSet = kDefaultCharSet;
    font.outPrecision = kOutlinePrecision;
    font.clipPrecision = kDefaultClipPrecision;
    font.quality = kClearTypeQuality;
    font.pitchAndFamily = kVariablePitch;
    font.SetFaceName(L"Arial");
    return font;
}

uint32_t LabelView::GetTextFlags() const {
    uint32_t flags = singleLine_ ? TextFlag::kSingleLine : 0;
    if (horizontalTextAlignment_ == 1) {
        flags |= TextFlag::kCenter;
    } else if (horizontalTextAlignment_ == 2) {
        flags |= TextFlag::kRight;
    }
    if (verticalTextAlignment_ == 1) {
        flags |= TextFlag::kVCenter;
    } else if (verticalTextAlignment_ == 2) {
        flags |= TextFlag::kBottom;
    }
    return flags;
}

void LabelView::Draw(IDrawContext& context) {
    context.SetTextColor(textColor_);
    context.SetTransparentText(true);
    context.SetFont(MakeFont());
    DrawRect rect = GetBounds();
    context.DrawText(text_, rect, GetTextFlags());
}

DrawRect LabelView::Measure() const {
    DrawRect rect;
    std::shared_ptr<IDrawing> drawing = GetDrawing();
    if (drawing == nullptr) {
        return rect;
    }
    std::unique_ptr<IDrawContext> screen = drawing->ScreenContext();
    if (screen == nullptr) {
        return rect;
    }
    screen->SetFont(MakeFont());
    screen->DrawText(text_, rect, GetTextFlags() | TextFlag::kCalcRect);
    return rect;
}

}  // namespace vortrel
