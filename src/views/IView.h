#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/IObserver.h"
#include "ports/IDrawContext.h"
#include "views/LayoutEvent.h"
#include "views/SelectionEvent.h"

namespace vortrel {

class MouseDispatcher;

class ViewEventHandler;

/// A sum of pixel positions and sizes held to the range of a coordinate: a view placed at
/// the far end of a very long timeline stays at the edge instead of wrapping round.
constexpr int32_t ClampPixels(int64_t value) {
    return value > INT32_MAX   ? INT32_MAX
           : value < INT32_MIN ? INT32_MIN
                               : static_cast<int32_t>(value);
}

// One element of the control's retained view tree: a rectangle in window client pixels that
// its parent panel lays out, that draws itself into a drawing context (optionally through an
// off-screen cache) and that reacts to mouse, timer, layout and selection notifications.
class IView : public IObserver {
  public:
    /// The visual states of a view.
    static constexpr int32_t kNormal = 0;
    static constexpr int32_t kSelected = 1;
    static constexpr int32_t kPressed = 2;
    static constexpr int32_t kCollapsed = 3;
    /// The alignment value that puts a view at the right or bottom of its parent.
    static constexpr int32_t kAlignFar = 2;

    IView();

    // The virtual operations keep this order in every build.
    ~IView() override;
    /// Reacts to a notification of a subject the view observes itself (default: nothing).
    void Handle(ISubject& subject) override;
    /// Fills a tool tip's title and text (default: nothing).
    virtual void GetToolTipText(std::wstring& title, std::wstring& text);
    /// Draws the view at its absolute position.
    virtual void Draw(IDrawContext& context) = 0;
    /// Draws the selected or pressed decoration over the view (default: nothing).
    virtual void DrawOverlay(IDrawContext& context);
    /// Announces a layout change through layoutEvent.
    virtual void OnLayoutChanged();
    /// Announces a selection through selectionEvent.
    virtual void OnSelectionChanged(IView* view);
    /// The button went down on the view (default: nothing).
    virtual void OnMouseDown(int32_t x, int32_t y);
    /// The button that went down on the view came up (default: nothing).
    virtual void OnMouseUp();
    /// The mouse moved with the button held after going down on the view (default: nothing).
    virtual void OnMouseDragged(int32_t dx, int32_t dy);
    /// A timer fired (default: nothing).
    virtual void OnTimeElapsed(int32_t timerId);

    /// Draws the view unless collapsed, through its cache when cached, then its overlay when
    /// selected or pressed.
    void Render(IDrawContext& context);

    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    /// Moves the view; a change makes it dirty.
    void SetX(int32_t x);
    /// Moves the view; a change makes it dirty.
    void SetY(int32_t y);
    /// Sets the laid-out width; a change makes the view dirty.
    void SetWidth(int32_t width);
    /// Sets the laid-out height; a change makes the view dirty.
    void SetHeight(int32_t height);

    int32_t GetExplicitWidth() const { return explicitWidth_; }
    int32_t GetExplicitHeight() const { return explicitHeight_; }
    /// Fixes the width (1 or more wins over the laid-out width).
    void SetExplicitWidth(int32_t width) { explicitWidth_ = width; }
    /// Fixes the height (1 or more wins over the laid-out height).
    void SetExplicitHeight(int32_t height) { explicitHeight_ = height; }
    /// The explicit width if it is 1 or more, else the laid-out width.
    int32_t GetEffectiveWidth() const { return explicitWidth_ >= 1 ? explicitWidth_ : width_; }
    /// The explicit height if it is 1 or more, else the laid-out height.
    int32_t GetEffectiveHeight() const { return explicitHeight_ >= 1 ? explicitHeight_ : height_; }
    /// The view's rectangle at its effective size.
    DrawRect GetBounds() const {
        return {x_, y_, ClampPixels(int64_t{x_} + GetEffectiveWidth()),
                ClampPixels(int64_t{y_} + GetEffectiveHeight())};
    }

    bool GetStretchHorizontal() const { return stretchHorizontal_; }
    bool GetStretchVertical() const { return stretchVertical_; }
    /// Asks the parent to widen the view to the space available.
    void SetStretchHorizontal(bool stretch) { stretchHorizontal_ = stretch; }
    /// Asks the parent to heighten the view to the space available.
    void SetStretchVertical(bool stretch) { stretchVertical_ = stretch; }

    int32_t GetHorizontalAlignment() const { return horizontalAlignment_; }
    int32_t GetVerticalAlignment() const { return verticalAlignment_; }
    /// kAlignFar puts the view at the parent's right; anything else at its left.
    void SetHorizontalAlignment(int32_t alignment) { horizontalAlignment_ = alignment; }
    /// kAlignFar puts the view at the parent's bottom; anything else at its top.
    void SetVerticalAlignment(int32_t alignment) { verticalAlignment_ = alignment; }

    bool IsFloating() const { return floating_; }
    /// A floating view positions itself: its parent's layout passes skip it.
    void SetFloating(bool floating) { floating_ = floating; }

    int32_t GetMarginLeft() const { return marginLeft_; }
    int32_t GetMarginTop() const { return marginTop_; }
    int32_t GetMarginRight() const { return marginRight_; }
    int32_t GetMarginBottom() const { return marginBottom_; }
    void SetMarginLeft(int32_t margin) { marginLeft_ = margin; }
    void SetMarginTop(int32_t margin) { marginTop_ = margin; }
    void SetMarginRight(int32_t margin) { marginRight_ = margin; }
    void SetMarginBottom(int32_t margin) { marginBottom_ = margin; }

    int32_t GetVisualState() const { return visualState_; }
    /// Sets normal, selected, pressed or collapsed; a change makes the view dirty.
    void SetVisualState(int32_t state);

    bool IsDirty() const { return dirty_; }
    /// Marks the cache stale (and lets its pixels go at once) or fresh.
    void SetDirty(bool dirty);
    bool IsCached() const { return cached_; }
    /// Draws the view through an off-screen cache from now on, or directly.
    void SetCached(bool cached);
    /// Width of the off-screen cache (0 when there is none).
    int32_t GetCacheWidth() const { return cacheWidth_; }
    /// Height of the off-screen cache (0 when there is none).
    int32_t GetCacheHeight() const { return cacheHeight_; }

    /// Notified when the view's layout changed.
    const std::shared_ptr<LayoutEvent>& GetLayoutEvent() const { return layoutEvent_; }
    /// Notified when the selection changed at or below the view.
    const std::shared_ptr<SelectionEvent>& GetSelectionEvent() const { return selectionEvent_; }

    /// Forwards a layout change to OnLayoutChanged.
    IEventHandler* GetLayoutChangedHandler() const { return layoutChangedHandler_; }
    /// Forwards a selection to OnSelectionChanged.
    IEventHandler* GetSelectionChangedHandler() const { return selectionChangedHandler_; }
    /// Takes a press inside the view, capturing the mouse until the release.
    IEventHandler* GetMouseDownEventHandler() const { return mouseDownEventHandler_; }
    /// Ends the capture and forwards the release to OnMouseUp.
    IEventHandler* GetMouseUpEventHandler() const { return mouseUpEventHandler_; }
    /// Forwards a drag during the capture to OnMouseDragged.
    IEventHandler* GetMouseDraggedEventHandler() const { return mouseDraggedEventHandler_; }
    /// Forwards a timer tick to OnTimeElapsed.
    IEventHandler* GetTimeElapsedEventHandler() const { return timeElapsedEventHandler_; }

    /// Makes a handler that the view owns from now on and deletes with itself.
    template <typename Handler, typename... Args>
    Handler* MakeHandler(Args&&... args) {
        auto handler = std::make_unique<Handler>(std::forward<Args>(args)...);
        Handler* raw = handler.get();
        ownedHandlers_.push_back(std::move(handler));
        return raw;
    }

  private:
    friend class MouseDownEventHandler;
    friend class MouseUpEventHandler;

    // The mouse capture on the dispatcher that announced the press: while it is held, drags
    // and the release reach this view wherever the pointer is.
    void CaptureMouse(MouseDispatcher& mouse);
    void ReleaseMouse();
    void RenderCached(IDrawContext& context);
    void DropCache();

    int32_t x_ = 0;
    int32_t y_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t explicitWidth_ = 0;
    int32_t explicitHeight_ = 0;
    bool stretchHorizontal_ = false;
    bool stretchVertical_ = false;
    int32_t horizontalAlignment_ = 0;
    int32_t verticalAlignment_ = 0;
    bool floating_ = false;
    int32_t marginLeft_ = 0;
    int32_t marginTop_ = 0;
    int32_t marginRight_ = 0;
    int32_t marginBottom_ = 0;
    int32_t visualState_ = kNormal;
    bool dirty_ = true;
    bool cached_ = false;
    std::shared_ptr<LayoutEvent> layoutEvent_;
    std::shared_ptr<SelectionEvent> selectionEvent_;
    IEventHandler* layoutChangedHandler_ = nullptr;
    IEventHandler* selectionChangedHandler_ = nullptr;
    IEventHandler* mouseDownEventHandler_ = nullptr;
    IEventHandler* mouseUpEventHandler_ = nullptr;
    IEventHandler* mouseDraggedEventHandler_ = nullptr;
    IEventHandler* timeElapsedEventHandler_ = nullptr;
    std::vector<std::unique_ptr<IEventHandler>> ownedHandlers_;
    // The cache holds only the part of the view that was visible when it was drawn
    // (cacheRect, in client coordinates), so a long view costs no more than the screen.
    std::unique_ptr<IDrawSurface> cache_;
    DrawRect cacheRect_;
    int32_t cacheWidth_ = 0;
    int32_t cacheHeight_ = 0;
    MouseDispatcher* capturedOn_ = nullptr;  // the dispatcher holding the capture, if any
};

}  // namespace vortrel
