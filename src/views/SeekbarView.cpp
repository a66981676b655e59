#include "views/SeekbarView.h"

#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "views/ThemeColors.h"
#include "views/TimeAxis.h"

namespace vortrel {

namespace {

// Half the base of the triangle, and its height.
constexpr int32_t kArrow = 6;

}  // namespace

SeekbarView::SeekbarView(TimeScale* timeScale) : top_(TimeAxis::kHeight), timeScale_(timeScale) {
    SetExplicitWidth(kWidth);
    SetStretchVertical(true);
}

int32_t SeekbarView::PositionPixels() const {
    const float zoom = timeScale_ != nullptr ? timeScale_->GetScale() : 1.0f;
    if (!IsUsableScale(zoom)) {
        return 0;
    }
    return MillisecondsToPixels(position_, zoom);
}

void SeekbarView::Draw(IDrawContext& context) {
    ThemeColors& theme = ThemeColors::Instance();
    context.SetPen(theme.Border(ThemeKey::kSeekbar), 1);
    context.SetBrush(theme.Background(ThemeKey::kSeekbar));
    const int32_t px = GetX();
    const int32_t top = GetY() + top_;
    context.Polygon({{px, top}, {px + kArrow, top - kArrow}, {px - kArrow, top - kArrow}});
    context.Line({px, top}, {px, GetY() + GetEffectiveHeight()});
}

}  // namespace vortrel
