#pragma once

#include <cstdint>

#include "views/Canvas.h"

namespace vortrel {

class MouseDispatcher;
class ScrollBoxView;
class ScrollButtonView;

// A scroll bar: two arrow buttons, a thumb sized and placed by page / total, and the
// bar between them. It scrolls a target panel by position pixels (0 to total - page);
// buttons step, the thumb drags and a click on the bar jumps there.
class ScrollbarView : public Canvas {
  public:
    static constexpr int32_t kHorizontal = 0;
    static constexpr int32_t kVertical = 1;
    /// Thickness of a bar, and the size of its square buttons.
    static constexpr int32_t kThickness = 16;

    ~ScrollbarView() override;

    // The virtual operations keep this order in every build, after those of IPanel.
    /// Moves the position by a thumb drag of dx or dy pixels along the bar.
    virtual void DragBy(int32_t dx, int32_t dy);
    /// Moves the position by one thumb pixel, back for directions 0 and 1, on for 2 and 3.
    virtual void StepScroll(int32_t direction);
    /// Jumps so that the thumb's middle comes roughly to the point clicked on the bar.
    virtual void ClickAt(int32_t x, int32_t y);
    /// Sizes and places the thumb from page, total and position.
    virtual void UpdateThumb();
    /// Hands the position to the target panel and relayouts it.
    virtual void ApplyScroll() = 0;

    /// Draws the bar's background, then the buttons and the thumb.
    void Draw(IDrawContext& context) override;
    /// A press on the bar outside the buttons and the thumb.
    void OnMouseDown(int32_t x, int32_t y) override;

    /// Clamps a position into 0 .. total - page; a change is applied to the target and the
    /// thumb.
    void SetPosition(int32_t position);
    /// The length along the bar between the two buttons, in pixels.
    int32_t TrackLength() const;

    int32_t GetOrientation() const { return orientation_; }
    ScrollButtonView* GetFirstButton() const { return firstButton_; }
    ScrollButtonView* GetSecondButton() const { return secondButton_; }
    ScrollBoxView* GetThumb() const { return thumb_; }
    IPanel* GetTarget() const { return target_; }
    /// Sets the panel the bar scrolls (none: the bar scrolls nothing).
    void SetTarget(IPanel* target) { target_ = target; }
    int32_t GetPage() const { return page_; }
    int32_t GetTotal() const { return total_; }
    int32_t GetPosition() const { return position_; }
    /// Sets the visible extent of the target; the thumb follows at the next UpdateThumb.
    void SetPage(int32_t page) { page_ = page; }
    /// Sets the full extent of the target; the thumb follows at the next UpdateThumb.
    void SetTotal(int32_t total) { total_ = total; }
    /// Stores a position as it is, without applying it (SetPosition clamps and applies).
    void StorePosition(int32_t position) { position_ = position; }

  protected:
    /// A bar of an orientation scrolling a target, with its buttons and thumb, taking
    /// presses from a dispatcher that outlives it.
    ScrollbarView(int32_t orientation, IPanel* target, MouseDispatcher& mouse);

  private:
    MouseDispatcher& mouse_;

    // The length of a view along the bar.
    int32_t LengthAlong(const IView& view) const;

    int32_t orientation_;
    ScrollButtonView* firstButton_ = nullptr;
    ScrollButtonView* secondButton_ = nullptr;
    ScrollBoxView* thumb_ = nullptr;
    IPanel* target_;
    int32_t page_ = 0;
    int32_t total_ = 0;
    int32_t position_ = 0;
};

}  // namespace vortrel
