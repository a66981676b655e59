#pragma once

#include "views/ScrollbarView.h"

namespace vortrel {

class MouseDispatcher;

// The scroll bar along the bottom: it scrolls its target sideways.
class HorizontalScrollbarView : public ScrollbarView {
  public:
    /// A bar 16 high, stretched and bottom aligned, scrolling a panel sideways.
    HorizontalScrollbarView(IPanel* target, MouseDispatcher& mouse);

    /// target.scrollX = position, scrollY = 0, and the target relayouts.
    void ApplyScroll() override;
};

}  // namespace vortrel
