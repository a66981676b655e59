#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "views/IView.h"

namespace vortrel {

class MouseDispatcher;

class IContent;
class TimeScale;

// The body of one clip, transition or effect inside a track row. It places itself from the
// content's start and stop at the current zoom, fills the row's height, draws its kind's
// picture through the view cache, frames itself with grips when selected, and lets the user
// select, move and trim the content with the mouse.
class IContentView : public IView {
  public:
    /// The drag modes: move the content, trim its start (left grip), trim its stop.
    static constexpr int32_t kMove = 0;
    static constexpr int32_t kTrimStart = 1;
    static constexpr int32_t kTrimStop = 2;
    /// The narrowest a content view becomes by trimming, and the width from which it shows
    /// grips and takes trims.
    static constexpr int32_t kMinimumWidth = 16;

    /// A view of a content at the zoom of a time scale (neither owned), taking presses from
    /// a dispatcher that outlives it.
    IContentView(IContent* content, TimeScale* timeScale, MouseDispatcher& mouse);
    ~IContentView() override;

    /// Follows the content's changed subject and the time scale's change.
    void Handle(ISubject& subject) override;
    /// The content's description.
    void GetToolTipText(std::wstring& title, std::wstring& text) override;
    /// The selection frame and, from 16 pixels wide, the two grips.
    void DrawOverlay(IDrawContext& context) override;
    /// Chooses the drag mode from the grips, announces the selection and shows pressed.
    void OnMouseDown(int32_t x, int32_t y) override;
    /// Shows selected and commits the range to the content.
    void OnMouseUp() override;
    /// Moves or trims the view horizontally and hands the new range to the content.
    void OnMouseDragged(int32_t dx, int32_t dy) override;

    // The virtual operations of content views, after those of IView.
    /// The content changed (default: nothing).
    virtual void OnContentChanged();
    /// The zoom changed: the geometry follows.
    virtual void OnScaleChanged();

    /// The content shown (not owned).
    IContent* GetContent() const { return content_; }
    /// The time scale followed (not owned).
    TimeScale* GetTimeScale() const { return timeScale_; }
    /// kMove, kTrimStart or kTrimStop.
    int32_t GetDragMode() const { return dragMode_; }

  protected:
    /// Places the view from the content's times at the current zoom (without notifying).
    void ComputeGeometry();
    /// Recomputes the geometry and announces the layout change.
    void Relayout();
    /// Draws the body: the clip colour with its border.
    void DrawBody(IDrawContext& context);
    /// A picture scaled to a height with its shape kept, on an off-screen surface like the
    /// context's, and the scaled width; none when the picture is missing or has no area.
    static std::unique_ptr<IDrawSurface> ScaleToHeight(IDrawContext& context,
                                                       std::shared_ptr<const IDrawImage> image,
                                                       int32_t height, int32_t& scaledWidth);

  private:
    IContent* content_;
    TimeScale* timeScale_;
    MouseDispatcher& mouse_;
    int32_t dragMode_ = kMove;
};

}  // namespace vortrel
