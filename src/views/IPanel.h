#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "views/IView.h"

namespace vortrel {

// A view that owns and lays out child views. Arrange places the children from the panel's
// inset corner and grows the panel round them; ApplyAlignment then stretches and aligns
// them. A scrollable panel shifts itself by its scroll offset and clips its children to
// its unshifted rectangle. The subclasses decide how the origin advances and how children
// stretch and align.
class IPanel : public IView {
  public:
    /// One child and whether it is a panel itself.
    struct Child {
        std::unique_ptr<IView> view;
        bool isPanel = false;
    };

    ~IPanel() override;

    // The virtual operations keep this order in every build, after those of IView.
    /// Moves the layout origin past a child that was just placed (default: nothing).
    virtual void AdvanceOrigin(DrawPoint& origin, IView& child);
    /// Widens or heightens a stretching child to the space available (default: nothing).
    virtual void StretchChild(IView& child);
    /// Moves a right- or bottom-aligned plain child (default: nothing).
    virtual void AlignChild(IView& child);
    /// Moves a right- or bottom-aligned panel child (default: Arrange it again).
    virtual void AlignPanelChild(IPanel& child);

    /// Renders the children in order, clipped to the panel when it is scrollable.
    void Draw(IDrawContext& context) override;

    /// Places the children and grows the panel round them.
    void Arrange();
    /// Stretches and aligns the children, and their children, after Arrange.
    void ApplyAlignment();
    /// Arrange, then ApplyAlignment.
    void UpdateLayout();

    /// Adopts a plain view as the last child and listens to its layout and selection.
    IView* AddView(std::unique_ptr<IView> child);
    /// Adopts a panel as the last child and listens to its layout and selection.
    IPanel* AddPanel(std::unique_ptr<IPanel> child);
    /// Clears the selection, then destroys a child; a view that is no child is left alone.
    void RemoveChild(IView* child);
    /// Clears the selection, destroys a child and puts another in its place; nothing
    /// happens when the old view is no child or there is no new one.
    void ReplaceChild(IView* oldChild, std::unique_ptr<IView> newChild);
    /// The first plain view at or below the panel whose rectangle holds the point (edges
    /// included), collapsed ones too; none when nothing is hit.
    IView* HitTest(int32_t x, int32_t y);

    /// The children in insertion order.
    const std::vector<Child>& GetChildren() const { return children_; }

    int32_t GetInsetLeft() const { return insetLeft_; }
    int32_t GetInsetTop() const { return insetTop_; }
    int32_t GetInsetRight() const { return insetRight_; }
    int32_t GetInsetBottom() const { return insetBottom_; }
    /// Sets the space kept free inside the panel's four edges.
    void SetInsets(int32_t left, int32_t top, int32_t right, int32_t bottom);

    bool IsScrollable() const { return scrollable_; }
    /// Makes the panel follow its scroll offsets and clip its children.
    void SetScrollable(bool scrollable) { scrollable_ = scrollable; }
    int32_t GetScrollX() const { return scrollX_; }
    int32_t GetScrollY() const { return scrollY_; }
    /// Sets the scroll offsets; they take effect at the next layout.
    void SetScrollX(int32_t scroll) { scrollX_ = scroll; }
    void SetScrollY(int32_t scroll) { scrollY_ = scroll; }

  protected:
    IPanel() = default;

  private:
    std::vector<Child>::iterator Find(const IView* child);
    void Unlisten(IView& child);
    void Listen(IView& child);

    std::vector<Child> children_;
    int32_t insetLeft_ = 0;
    int32_t insetTop_ = 0;
    int32_t insetRight_ = 0;
    int32_t insetBottom_ = 0;
    bool scrollable_ = false;
    int32_t scrollX_ = 0;
    int32_t scrollY_ = 0;
};

}  // namespace vortrel
