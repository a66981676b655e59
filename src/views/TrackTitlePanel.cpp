#include "views/TrackTitlePanel.h"

namespace vortrel {

TrackTitlePanel::TrackTitlePanel() : StackPanel(kVertical) {
    SetExplicitWidth(kWidth);
    SetMarginLeft(kMarginLeft);
    SetCached(true);
}

void TrackTitlePanel::Draw(IDrawContext& context) {
    StackPanel::Draw(context);
}

void TrackTitlePanel::AdvanceOrigin(DrawPoint& origin, IView& child) {
    StackPanel::AdvanceOrigin(origin, child);
}

}  // namespace vortrel
