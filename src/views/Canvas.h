#pragma once

#include "views/IPanel.h"

namespace vortrel {

// A panel that places every child at its margins from the panel's inset corner, stretches
// children to its far edges and aligns them to its right or bottom.
class Canvas : public IPanel {
  public:
    Canvas() = default;

    /// Widens or heightens a stretching child up to the canvas' far edge less margin and inset.
    void StretchChild(IView& child) override;
    /// Puts a right- or bottom-aligned child against the canvas' far edge (no margin).
    void AlignChild(IView& child) override;
    /// Aligns a panel child as a plain one, then arranges it at its new place.
    void AlignPanelChild(IPanel& child) override;
};

}  // namespace vortrel
