#pragma once

#include <cstdint>

#include "views/IPanel.h"

namespace vortrel {

// A panel that places its children one after another, top to bottom or left to right, and
// stretches them only across that direction. It ignores alignment.
class StackPanel : public IPanel {
  public:
    static constexpr int32_t kHorizontal = 0;
    static constexpr int32_t kVertical = 1;

    /// A stack in the given direction.
    explicit StackPanel(int32_t orientation = kVertical) : orientation_(orientation) {}

    /// Moves the origin past the child and its margins in the stacking direction.
    void AdvanceOrigin(DrawPoint& origin, IView& child) override;
    /// Widens (vertical stack) or heightens (horizontal stack) a stretching child to the
    /// panel's far edge less inset and margin.
    void StretchChild(IView& child) override;
    /// Stacks do not align: nothing.
    void AlignChild(IView& child) override;
    /// Stacks do not align: nothing.
    void AlignPanelChild(IPanel& child) override;

    int32_t GetOrientation() const { return orientation_; }
    /// kVertical stacks downwards; anything else rightwards.
    void SetOrientation(int32_t orientation) { orientation_ = orientation; }

  private:
    int32_t orientation_;
};

}  // namespace vortrel
