#include "views/ScrollbarView.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/TimeRules.h"
#include "views/BorderView.h"
#include "views/MouseDispatcher.h"
#include "views/ScrollBoxView.h"
#include "views/ScrollButtonView.h"
#include "views/ThemeColors.h"

namespace vortrel {

namespace {

// The scaling formulas divide by the track; a bar too short for its buttons counts as a
// track of one pixel, so that every step and drag then spans the whole target.
double UsableTrack(int32_t track) {
    return track < 1 ? 1.0 : static_cast<double>(track);
}

}  // namespace

ScrollbarView::ScrollbarView(int32_t orientation, IPanel* target, MouseDispatcher& mouse)
    : mouse_(mouse), orientation_(orientation), target_(target) {
    const bool vertical = orientation_ == kVertical;
    auto first = std::make_unique<ScrollButtonView>(
        vertical ? ScrollButtonView::kUp : ScrollButtonView::kLeft, this, mouse_);
    auto second = std::make_unique<ScrollButtonView>(
        vertical ? ScrollButtonView::kDown : ScrollButtonView::kRight, this, mouse_);
    auto thumb = std::make_unique<ScrollBoxView>(orientation_, this, mouse_);
    firstButton_ = first.get();
    secondButton_ = second.get();
    thumb_ = thumb.get();
    AddView(std::move(first));
    AddView(std::move(thumb));
    AddView(std::move(second));
    // After the buttons and the thumb, which thereby take the presses on them first.
    mouse_.GetDown()->Attach(GetMouseDownEventHandler());
}

ScrollbarView::~ScrollbarView() {
    mouse_.GetDown()->Detach(GetMouseDownEventHandler());
}

int32_t ScrollbarView::LengthAlong(const IView& view) const {
    return orientation_ == kVertical ? view.GetEffectiveHeight() : view.GetEffectiveWidth();
}

int32_t ScrollbarView::TrackLength() const {
    return LengthAlong(*this) - LengthAlong(*firstButton_) - LengthAlong(*secondButton_);
}

void ScrollbarView::SetPosition(int32_t position) {
    // A target smaller than its page has nothing to scroll: the position stays 0 rather
    // than going negative and pushing the target's content away from its edge.
    const int32_t last = std::max(total_ - page_, 0);
    position = std::min(std::max(position, 0), last);
    if (position != position_) {
        position_ = position;
        ApplyScroll();
        UpdateThumb();
    }
}

void ScrollbarView::DragBy(int32_t dx, int32_t dy) {
    const int32_t d = orientation_ == kVertical ? dy : dx;
    SetPosition(TruncateToInt32(total_ / UsableTrack(TrackLength()) * d + position_));
    GetLayoutEvent()->Notify();
}

void ScrollbarView::StepScroll(int32_t direction) {
    const double step = std::ceil(total_ / UsableTrack(TrackLength()));
    const bool back =
        direction == (orientation_ == kVertical ? ScrollButtonView::kUp : ScrollButtonView::kLeft);
    SetPosition(TruncateToInt32(back ? position_ - step : position_ + step));
    GetLayoutEvent()->Notify();
}

void ScrollbarView::ClickAt(int32_t x, int32_t y) {
    const int32_t offset = orientation_ == kVertical ? y - GetY() : x - GetX();
    // The point clicked, scaled from bar pixels to target pixels, becomes the middle of the
    // page. Half the page is target pixels too: taken off the bar pixels before scaling it
    // would move the target by page / 2 × total / track instead, far from the click.
    const double along = static_cast<double>(offset) - LengthAlong(*firstButton_);
    SetPosition(TruncateToInt32(along * total_ / UsableTrack(TrackLength()) - page_ / 2));
    GetLayoutEvent()->Notify();
}

void ScrollbarView::UpdateThumb() {
    if (page_ == 0 || total_ == 0) {
        return;
    }
    const double sizeRatio = std::min(static_cast<double>(page_) / total_, 1.0);
    const double positionRatio = std::min(static_cast<double>(position_) / total_, 1.0);
    const int32_t track = TrackLength();
    const int32_t length = TruncateToInt32(sizeRatio * track);
    const int32_t offset =
        TruncateToInt32(std::ceil(positionRatio * track)) + LengthAlong(*firstButton_);
    if (orientation_ == kVertical) {
        thumb_->SetExplicitHeight(length);
        thumb_->SetMarginTop(offset);
    } else {
        thumb_->SetExplicitWidth(length);
        thumb_->SetMarginLeft(offset);
    }
    UpdateLayout();
}

void ScrollbarView::Draw(IDrawContext& context) {
    ThemeColors& theme = ThemeColors::Instance();
    BorderView background(GetBounds(), theme.Border(ThemeKey::kScrollTrack),
                          theme.Background(ThemeKey::kScrollTrack));
    background.Render(context);
    Canvas::Draw(context);
}

void ScrollbarView::OnMouseDown(int32_t x, int32_t y) {
    ClickAt(x, y);
}

}  // namespace vortrel
