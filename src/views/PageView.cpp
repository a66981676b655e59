#include "views/PageView.h"

#include "model/TextClip.h"
#include "views/LabelView.h"
#include "views/ThemeColors.h"

namespace vortrel {

namespace {

constexpr int32_t kFontSize = 10;
constexpr int32_t kCentre = 1;

}  // namespace

PageView::PageView(TextClip* clip, TimeScale* timeScale, MouseDispatcher& mouse)
    : IContentView(clip, timeScale, mouse), clip_(clip) {}

void PageView::Draw(IDrawContext& context) {
    DrawBody(context);
    LabelView label;
    const DrawRect bounds = GetBounds();
    label.SetX(bounds.left);
    label.SetY(bounds.top);
    label.SetWidth(bounds.Width());
    label.SetHeight(bounds.Height());
    label.SetText(text_);
    label.SetTextColor(ThemeColors::Instance().Foreground(ThemeKey::kContent));
    label.SetFontSize(kFontSize);
    label.SetHorizontalTextAlignment(kCentre);
    label.SetVerticalTextAlignment(kCentre);
    label.SetSingleLine(text_.find_first_of(L"\n\r") == std::wstring::npos);
    label.Render(context);
}

void PageView::OnContentChanged() {
    ComputeGeometry();
    if (clip_ != nullptr) {
        text_ = clip_->GetSource();
    }
    GetLayoutEvent()->Notify();
}

}  // namespace vortrel
