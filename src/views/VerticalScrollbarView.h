#pragma once

#include "views/ScrollbarView.h"

namespace vortrel {

class MouseDispatcher;

// The scroll bar at the right: it scrolls its target up and down.
class VerticalScrollbarView : public ScrollbarView {
  public:
    /// A bar 16 wide, stretched and right aligned, scrolling a panel up and down.
    VerticalScrollbarView(IPanel* target, MouseDispatcher& mouse);

    /// target.scrollY = position, scrollX = 0, and the target relayouts.
    void ApplyScroll() override;
};

}  // namespace vortrel
