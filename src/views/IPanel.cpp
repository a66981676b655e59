#include "views/IPanel.h"

#include <algorithm>
#include <utility>

namespace vortrel {

namespace {

// How far past its rectangle a view may draw: a wide pen is centred on the outline and
// reaches out by half its width.
constexpr int32_t kOverdraw = 16;

// True when a view's non-empty rectangle, with the overdraw round it, lies wholly outside a
// clip box, so that rendering it could leave no pixel.
bool IsOutside(const DrawRect& bounds, const DrawRect& clip) {
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        return false;
    }
    // In 64 bits, as a view at the edge of the coordinate range reaches past it.
    return int64_t{bounds.right} + kOverdraw <= clip.left ||
           int64_t{bounds.left} - kOverdraw >= clip.right ||
           int64_t{bounds.bottom} + kOverdraw <= clip.top ||
           int64_t{bounds.top} - kOverdraw >= clip.bottom;
}

bool IsSkippedByLayout(const IView& view) {
    return view.GetVisualState() == IView::kCollapsed || view.IsFloating();
}

}  // namespace

IPanel::~IPanel() {
    // Children go in insertion order, before the panel's own parts.
    for (Child& child : children_) {
        child.view.reset();
    }
    children_.clear();
}

void IPanel::AdvanceOrigin(DrawPoint& /*origin*/, IView& /*child*/) {}

void IPanel::StretchChild(IView& /*child*/) {}

void IPanel::AlignChild(IView& /*child*/) {}

void IPanel::AlignPanelChild(IPanel& child) {
    child.Arrange();
}

void IPanel::Draw(IDrawContext& context) {
    if (scrollable_) {
        const DrawRect bounds = GetBounds();
        context.SetClipRect({bounds.left + scrollX_, bounds.top + scrollY_, bounds.right + scrollX_,
                             bounds.bottom + scrollY_});
    }
    // Plain children wholly outside the clip box are not rendered at all; panels are always
    // entered, as their children may lie outside their rectangle. The clip box is read again
    // after each child drawn, as a scrollable panel below replaces and then removes the clip.
    DrawRect clip = context.ClipBox();
    for (Child& child : children_) {
        if (!child.isPanel && IsOutside(child.view->GetBounds(), clip)) {
            continue;
        }
        child.view->Render(context);
        clip = context.ClipBox();
    }
    if (scrollable_) {
        context.RemoveClip();
    }
}

void IPanel::Arrange() {
    if (scrollable_) {
        SetX(ClampPixels(int64_t{GetX()} - scrollX_));
        SetY(ClampPixels(int64_t{GetY()} - scrollY_));
    }
    DrawPoint origin{ClampPixels(int64_t{GetX()} + insetLeft_),
                     ClampPixels(int64_t{GetY()} + insetTop_)};
    for (Child& entry : children_) {
        IView& child = *entry.view;
        if (IsSkippedByLayout(child)) {
            continue;
        }
        child.SetX(ClampPixels(int64_t{origin.x} + child.GetMarginLeft()));
        child.SetY(ClampPixels(int64_t{origin.y} + child.GetMarginTop()));
        child.SetWidth(child.GetExplicitWidth());
        child.SetHeight(child.GetExplicitHeight());
        if (entry.isPanel) {
            static_cast<IPanel&>(child).Arrange();
        }
        const int64_t width =
            std::max(int64_t{GetX()} + GetEffectiveWidth(),
                     int64_t{child.GetX()} + child.GetEffectiveWidth() + insetRight_) -
            GetX();
        if (width >= 0) {
            SetWidth(ClampPixels(width));
        }
        const int64_t height =
            std::max(int64_t{GetY()} + GetEffectiveHeight(),
                     int64_t{child.GetY()} + child.GetEffectiveHeight() + insetBottom_) -
            GetY();
        if (height >= 0) {
            SetHeight(ClampPixels(height));
        }
        AdvanceOrigin(origin, child);
    }
}

void IPanel::ApplyAlignment() {
    for (Child& entry : children_) {
        IView& child = *entry.view;
        if (IsSkippedByLayout(child)) {
            continue;
        }
        if (child.GetStretchHorizontal() || child.GetStretchVertical()) {
            StretchChild(child);
        }
        const bool aligned = child.GetHorizontalAlignment() == kAlignFar ||
                             child.GetVerticalAlignment() == kAlignFar;
        if (entry.isPanel) {
            auto& panel = static_cast<IPanel&>(child);
            if (aligned) {
                AlignPanelChild(panel);
            }
            panel.ApplyAlignment();
        } else if (aligned) {
            AlignChild(child);
        }
    }
}

void IPanel::UpdateLayout() {
    Arrange();
    ApplyAlignment();
}

void IPanel::Listen(IView& child) {
    child.GetLayoutEvent()->Attach(GetLayoutChangedHandler());
    child.GetSelectionEvent()->Attach(GetSelectionChangedHandler());
}

void IPanel::Unlisten(IView& child) {
    child.GetLayoutEvent()->Detach(GetLayoutChangedHandler());
    child.GetSelectionEvent()->Detach(GetSelectionChangedHandler());
}

IView* IPanel::AddView(std::unique_ptr<IView> child) {
    if (child == nullptr) {
        return nullptr;
    }
    IView* raw = child.get();
    Listen(*raw);
    children_.push_back({std::move(child), false});
    return raw;
}

IPanel* IPanel::AddPanel(std::unique_ptr<IPanel> child) {
    if (child == nullptr) {
        return nullptr;
    }
    IPanel* raw = child.get();
    Listen(*raw);
    children_.push_back({std::move(child), true});
    return raw;
}

std::vector<IPanel::Child>::iterator IPanel::Find(const IView* child) {
    return std::find_if(children_.begin(), children_.end(),
                        [child](const Child& entry) { return entry.view.get() == child; });
}

void IPanel::RemoveChild(IView* child) {
    auto it = Find(child);
    if (it == children_.end()) {
        return;
    }
    GetSelectionEvent()->Notify(nullptr);
    // The selection handlers may have changed the children; look the child up again.
    it = Find(child);
    if (it == children_.end()) {
        return;
    }
    Unlisten(*child);
    std::unique_ptr<IView> doomed = std::move(it->view);
    children_.erase(it);
    doomed.reset();
}

void IPanel::ReplaceChild(IView* oldChild, std::unique_ptr<IView> newChild) {
    auto it = Find(oldChild);
    if (it == children_.end() || newChild == nullptr) {
        return;
    }
    GetSelectionEvent()->Notify(nullptr);
    it = Find(oldChild);
    if (it == children_.end()) {
        return;
    }
    Unlisten(*oldChild);
    Listen(*newChild);
    std::unique_ptr<IView> doomed = std::exchange(it->view, std::move(newChild));
    // The entry keeps its kind; only a panel can stay one.
    it->isPanel = it->isPanel && dynamic_cast<IPanel*>(it->view.get()) != nullptr;
    doomed.reset();
}

IView* IPanel::HitTest(int32_t x, int32_t y) {
    for (Child& entry : children_) {
        IView& child = *entry.view;
        if (entry.isPanel) {
            if (IView* hit = static_cast<IPanel&>(child).HitTest(x, y)) {
                return hit;
            }
            continue;
        }
        const DrawRect bounds = child.GetBounds();
        if (bounds.left <= x && x <= bounds.right && bounds.top <= y && y <= bounds.bottom) {
            return &child;
        }
    }
    return nullptr;
}

void IPanel::SetInsets(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    insetLeft_ = left;
    insetTop_ = top;
    insetRight_ = right;
    insetBottom_ = bottom;
}

}  // namespace vortrel
