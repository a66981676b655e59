#include "views/IView.h"

#include <algorithm>

#include "views/MouseDispatcher.h"
#include "views/ViewEventHandler.h"

namespace vortrel {

namespace {

DrawRect Intersect(const DrawRect& a, const DrawRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const DrawRect& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

bool Contains(const DrawRect& outer, const DrawRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

IView::IView()
    : layoutEvent_(std::make_shared<LayoutEvent>()),
      selectionEvent_(std::make_shared<SelectionEvent>()) {
    layoutChangedHandler_ = MakeHandler<LayoutChangedHandler>(this);
    selectionChangedHandler_ = MakeHandler<SelectionChangedHandler>(this);
    mouseDownEventHandler_ = MakeHandler<MouseDownEventHandler>(this);
    mouseUpEventHandler_ = MakeHandler<MouseUpEventHandler>(this);
    mouseDraggedEventHandler_ = MakeHandler<MouseDraggedEventHandler>(this);
    timeElapsedEventHandler_ = MakeHandler<TimeElapsedEventHandler>(this);
}

IView::~IView() {
    // A view that goes while it holds the capture must not leave the dispatcher calling
    // handlers that are deleted below.
    ReleaseMouse();
}

void IView::Handle(ISubject& /*subject*/) {}

void IView::GetToolTipText(std::wstring& /*title*/, std::wstring& /*text*/) {}

void IView::DrawOverlay(IDrawContext& /*context*/) {}

void IView::OnLayoutChanged() {
    layoutEvent_->Notify();
}

void IView::OnSelectionChanged(IView* view) {
    selectionEvent_->Notify(view);
}

void IView::OnMouseDown(int32_t /*x*/, int32_t /*y*/) {}

void IView::OnMouseUp() {}

void IView::OnMouseDragged(int32_t /*dx*/, int32_t /*dy*/) {}

void IView::OnTimeElapsed(int32_t /*timerId*/) {}

void IView::SetX(int32_t x) {
    if (x != x_) {
        x_ = x;
        SetDirty(true);
    }
}

void IView::SetY(int32_t y) {
    if (y != y_) {
        y_ = y;
        SetDirty(true);
    }
}

void IView::SetWidth(int32_t width) {
    if (width != width_) {
        width_ = width;
        SetDirty(true);
    }
}

void IView::SetHeight(int32_t height) {
    if (height != height_) {
        height_ = height;
        SetDirty(true);
    }
}

void IView::SetVisualState(int32_t state) {
    if (state != visualState_) {
        visualState_ = state;
        SetDirty(true);
    }
}

void IView::SetDirty(bool dirty) {
    dirty_ = dirty;
    // A stale cache is never shown again, so its pixels need not wait for the next paint:
    // views that moved out of sight would otherwise keep theirs indefinitely.
    if (dirty) {
        DropCache();
    }
}

void IView::SetCached(bool cached) {
    cached_ = cached;
    if (!cached) {
        DropCache();
    }
}

void IView::DropCache() {
    cache_.reset();
    cacheRect_ = {};
    cacheWidth_ = 0;
    cacheHeight_ = 0;
}

void IView::CaptureMouse(MouseDispatcher& mouse) {
    // A press while the capture is already held (a release the window never saw) must not
    // subscribe twice, or drags would keep arriving after the next release.
    if (capturedOn_ != nullptr) {
        return;
    }
    capturedOn_ = &mouse;
    mouse.GetDragged()->Attach(mouseDraggedEventHandler_);
    mouse.GetUp()->Attach(mouseUpEventHandler_);
}

void IView::ReleaseMouse() {
    if (capturedOn_ == nullptr) {
        return;
    }
    MouseDispatcher& mouse = *capturedOn_;
    capturedOn_ = nullptr;
    mouse.GetDragged()->Detach(mouseDraggedEventHandler_);
    mouse.GetUp()->Detach(mouseUpEventHandler_);
}

void IView::Render(IDrawContext& context) {
    if (visualState_ == kCollapsed) {
        return;
    }
    if (cached_) {
        RenderCached(context);
    } else {
        Draw(context);
    }
    if (visualState_ == kSelected || visualState_ == kPressed) {
        DrawOverlay(context);
    }
}

void IView::RenderCached(IDrawContext& context) {
    // Only the visible part is drawn and kept: what lies outside the clip box would be
    // clipped away by the blit anyway, so the pixels are those of drawing directly.
    const DrawRect visible = Intersect(context.ClipBox(), GetBounds());
    if (IsEmpty(visible)) {
        return;
    }
    if (cache_ == nullptr || dirty_ || !Contains(cacheRect_, visible)) {
        DropCache();
        // Held locally while drawing: a Draw that marks its own view dirty must not free the
        // surface it is drawing on.
        std::unique_ptr<IDrawSurface> surface =
            context.CreateCompatibleSurface(visible.Width(), visible.Height());
        if (surface == nullptr) {
            // No memory for a cache: the view still shows, drawn directly.
            Draw(context);
            return;
        }
        IDrawContext& cacheContext = surface->Context();
        cacheContext.SetClipRect({0, 0, visible.Width(), visible.Height()});
        cacheContext.SetViewportOrigin({-visible.left, -visible.top});
        Draw(cacheContext);
        cacheContext.SetViewportOrigin({0, 0});
        cacheContext.RemoveClip();
        cache_ = std::move(surface);
        cacheRect_ = visible;
        cacheWidth_ = visible.Width();
        cacheHeight_ = visible.Height();
        dirty_ = false;
    }
    context.Blit({visible.left, visible.top}, visible.Width(), visible.Height(), *cache_,
                 {visible.left - cacheRect_.left, visible.top - cacheRect_.top});
}

}  // namespace vortrel
