#include "views/TrackTitlePanel.h"

#include <algorithm>

#include "views/BorderView.h"
#include "views/ThemeColors.h"

namespace vortrel {

TrackTitlePanel::TrackTitlePanel() : StackPanel(kVertical) {
    SetExplicitWidth(kWidth);
    SetMarginLeft(kMarginLeft);
    SetCached(true);
}

void TrackTitlePanel::Draw(IDrawContext& context) {
    const ColorRef background = ThemeColors::Instance().Background(ThemeKey::kTrackTitlePanel);
    BorderView column(GetBounds(), background, background);
    column.Render(context);
    StackPanel::Draw(context);
    drawn_.clear();
    for (const Child& child : GetChildren()) {
        if (child.view->GetVisualState() != kCollapsed && !child.view->IsFloating()) {
            drawn_.push_back({child.view.get(), child.view->GetX(), child.view->GetY()});
        }
    }
}

void TrackTitlePanel::AdvanceOrigin(DrawPoint& origin, IView& child) {
    StackPanel::AdvanceOrigin(origin, child);
    // An image that was not drawn at this place (a new one, or one that moved as a row above
    // it was hidden or shown) means the cache no longer matches the column.
    const bool drawnHere = std::any_of(drawn_.begin(), drawn_.end(), [&child](const Placed& p) {
        return p.view == &child && p.x == child.GetX() && p.y == child.GetY();
    });
    if (!drawnHere) {
        SetDirty(true);
    }
}

}  // namespace vortrel
