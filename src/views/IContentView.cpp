#include "views/IContentView.h"

#include <algorithm>
#include <exception>

#include "model/IContent.h"
#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "views/BorderView.h"
#include "views/ImageView.h"
#include "views/MouseDispatcher.h"
#include "views/ThemeColors.h"

namespace vortrel {

namespace {

// Added before truncation so that a product a hair below a whole pixel still lands on it.
constexpr double kPixelBias = 0.0005;
// Half the side of a grip, and how far into the view a grip reaches.
constexpr int32_t kGripHalfHeight = 4;
constexpr int32_t kGripWidth = 8;
// A scaled picture wider than this keeps only its left part: more could only show on a
// clip wider than any screen, and a picture of a freak shape must not take all memory.
constexpr int32_t kMaxScaledWidth = 4096;
// The selection frame's pen: thin on a clip too narrow for grips, else wide.
constexpr int32_t kThinFrame = 1;
constexpr int32_t kWideFrame = 3;

}  // namespace

IContentView::IContentView(IContent* content, TimeScale* timeScale, MouseDispatcher& mouse)
    : content_(content), timeScale_(timeScale), mouse_(mouse) {
    SetStretchVertical(true);
    if (content_ != nullptr) {
        content_->GetChanged()->Attach(this);
    }
    if (timeScale_ != nullptr) {
        timeScale_->GetScaleChanged()->Attach(this);
    }
    mouse_.GetDown()->Attach(GetMouseDownEventHandler());
    SetCached(true);
    ComputeGeometry();
}

IContentView::~IContentView() {
    if (content_ != nullptr) {
        content_->GetChanged()->Detach(this);
    }
    if (timeScale_ != nullptr) {
        timeScale_->GetScaleChanged()->Detach(this);
    }
    mouse_.GetDown()->Detach(GetMouseDownEventHandler());
}

void IContentView::Handle(ISubject& subject) {
    if (content_ != nullptr && &subject == content_->GetChanged().get()) {
        OnContentChanged();
        SetDirty(true);
    } else if (timeScale_ != nullptr && &subject == timeScale_->GetScaleChanged().get()) {
        OnScaleChanged();
        SetDirty(true);
    }
}

void IContentView::GetToolTipText(std::wstring& title, std::wstring& text) {
    if (content_ != nullptr) {
        content_->GetDescription(title, text);
    }
}

void IContentView::OnContentChanged() {}

void IContentView::OnScaleChanged() {
    Relayout();
}

void IContentView::ComputeGeometry() {
    if (content_ == nullptr) {
        return;
    }
    const float scale = timeScale_ != nullptr ? timeScale_->GetScale() : 1.0f;
    const double pixelsPerMillisecond = PixelsPerMillisecond(scale);
    const TimeSegment& segment = *content_->GetSegment();
    // The width comes from the duration, not from two rounded ends, so that a clip keeps its
    // width wherever it starts. A stop before the start gives no width rather than a
    // negative one, which would draw the body inside out.
    const int32_t width = TruncateToInt32(
        pixelsPerMillisecond * static_cast<double>(segment.GetLength()) + kPixelBias);
    SetExplicitWidth(std::max(width, 0));
    SetMarginLeft(TruncateToInt32(pixelsPerMillisecond * segment.GetStart() + kPixelBias));
}

void IContentView::Relayout() {
    ComputeGeometry();
    GetLayoutEvent()->Notify();
}

void IContentView::DrawBody(IDrawContext& context) {
    ThemeColors& colors = ThemeColors::Instance();
    BorderView body(GetBounds(), colors.Border(ThemeKey::kContent),
                    colors.Background(ThemeKey::kContent));
    body.Render(context);
}

std::unique_ptr<IDrawSurface> IContentView::ScaleToHeight(IDrawContext& context,
                                                          std::shared_ptr<const IDrawImage> image,
                                                          int32_t height, int32_t& scaledWidth) {
    scaledWidth = 0;
    // A picture without height has no shape to keep; the division below must not happen.
    if (image == nullptr || image->Width() <= 0 || image->Height() <= 0 || height <= 0) {
        return nullptr;
    }
    const int32_t width =
        TruncateToInt32(static_cast<float>(image->Width()) / static_cast<float>(image->Height()) *
                        static_cast<float>(height));
    if (width <= 0) {
        return nullptr;
    }
    std::unique_ptr<IDrawSurface> surface =
        context.CreateCompatibleSurface(std::min(width, kMaxScaledWidth), height);
    if (surface == nullptr) {
        return nullptr;
    }
    ImageView picture(std::move(image));
    picture.SetWidth(width);
    picture.SetHeight(height);
    picture.Render(surface->Context());
    scaledWidth = width;
    return surface;
}

void IContentView::DrawOverlay(IDrawContext& context) {
    const ColorRef selection = ThemeColors::Instance().Border(ThemeKey::kSelection);
    BorderView frame(GetBounds(), selection, selection);
    frame.SetHollow(true);
    frame.SetPenWidth(GetExplicitWidth() < kMinimumWidth ? kThinFrame : kWideFrame);
    frame.Render(context);
    if (GetExplicitWidth() < kMinimumWidth) {
        return;
    }
    const int32_t left = GetX();
    const int32_t right = GetBounds().right;
    const int32_t midY = GetY() + GetEffectiveHeight() / 2;
    BorderView leftGrip({left, midY - kGripHalfHeight, left + kGripWidth, midY + kGripHalfHeight},
                        selection, selection);
    leftGrip.Render(context);
    BorderView rightGrip(
        {right - kGripWidth, midY - kGripHalfHeight, right, midY + kGripHalfHeight}, selection,
        selection);
    rightGrip.Render(context);
}

void IContentView::OnMouseDown(int32_t x, int32_t y) {
    dragMode_ = kMove;
    if (GetExplicitWidth() >= kMinimumWidth) {
        const int32_t left = GetX();
        const int32_t right = GetBounds().right;
        const int32_t midY = GetY() + GetEffectiveHeight() / 2;
        const bool gripHeight = midY - kGripHalfHeight <= y && y <= midY + kGripHalfHeight;
        if (gripHeight && left <= x && x <= left + kGripWidth) {
            dragMode_ = kTrimStart;
        } else if (gripHeight && right - kGripWidth <= x && x <= right) {
            dragMode_ = kTrimStop;
        }
    }
    GetSelectionEvent()->Notify(this);
    SetVisualState(kPressed);
}

void IContentView::OnMouseDragged(int32_t dx, int32_t /*dy*/) {
    // A clip never changes track, so the vertical movement is not used.
    int32_t d = dx;
    const int32_t marginLeft = GetMarginLeft();
    const int32_t width = GetExplicitWidth();
    switch (dragMode_) {
        case kTrimStart:
            if (marginLeft + d < 0) {
                d = -marginLeft;
            }
            if (width - d < kMinimumWidth) {
                d = width - kMinimumWidth;
            }
            SetMarginLeft(marginLeft + d);
            SetExplicitWidth(width - d);
            break;
        case kTrimStop:
            if (width + d < kMinimumWidth) {
                d = kMinimumWidth - width;
            }
            SetExplicitWidth(width + d);
            break;
        default:
            if (marginLeft + d < 0) {
                d = -marginLeft;
            }
            SetMarginLeft(marginLeft + d);
            break;
    }
    GetLayoutEvent()->Notify();
    if (content_ != nullptr) {
        content_->SetPixelRange(GetMarginLeft(),
                                ClampPixels(int64_t{GetMarginLeft()} + GetEffectiveWidth()));
    }
}

void IContentView::OnMouseUp() {
    SetVisualState(kSelected);
    if (content_ == nullptr) {
        return;
    }
    content_->SetPixelRange(GetMarginLeft(),
                            ClampPixels(int64_t{GetMarginLeft()} + GetEffectiveWidth()));
    try {
        content_->Update();
    } catch (const std::exception&) {
        // The release comes straight from the window's message, where nothing may escape.
        // The engine refused the new times; the view shows the times the model holds now,
        // which no changed notification brought.
        Relayout();
        SetDirty(true);
    }
}

}  // namespace vortrel
