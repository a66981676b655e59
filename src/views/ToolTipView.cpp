#include "views/ToolTipView.h"

#include <utility>

#include "model/TimerDispatcher.h"
#include "views/BorderView.h"
#include "views/MouseDispatcher.h"
#include "views/MouseEvent.h"
#include "views/ThemeColors.h"

namespace vortrel {

namespace {

constexpr int32_t kInset = 3;
constexpr int32_t kFontSize = 8;

}  // namespace

ToolTipView::ToolTipView(bool timerDriven, MouseDispatcher& mouse)
    : StackPanel(kVertical),
      mouse_(mouse),
      timerDriven_(timerDriven),
      toolTipEvent_(std::make_shared<ToolTipEvent>()) {
    SetInsets(kInset, kInset, kInset, kInset);
    SetVisualState(kCollapsed);
    SetFloating(true);
    auto label = std::make_unique<LabelView>();
    label->SetHorizontalTextAlignment(0);
    label->SetVerticalTextAlignment(0);
    label->SetTextColor(ThemeColors::Instance().Foreground(ThemeKey::kToolTip));
    label->SetFontSize(kFontSize);
    label_ = static_cast<LabelView*>(AddView(std::move(label)));
    activeHandler_ = MakeHandler<MouseActiveEventHandler>(this);
    mouse_.GetActive()->Attach(activeHandler_);
    if (timerDriven_) {
        TimerDispatcher& timers = TimerDispatcher::Instance();
        timers.GetTimerEvent()->Attach(GetTimeElapsedEventHandler());
        timerId_ = timers.TakeTimerId();
    }
}

ToolTipView::~ToolTipView() {
    mouse_.GetActive()->Detach(activeHandler_);
    if (timerDriven_) {
        TimerDispatcher& timers = TimerDispatcher::Instance();
        timers.KillTimer(timerId_);
        timers.GetTimerEvent()->Detach(GetTimeElapsedEventHandler());
    }
}

bool ToolTipView::Hover(int32_t x, int32_t y, bool buttonDown) {
    anchorX_ = x;
    anchorY_ = y;
    TimerDispatcher& timers = TimerDispatcher::Instance();
    if (buttonDown) {
        if (timerDriven_) {
            timers.KillTimer(timerId_);
        }
        Show(true);
        return true;
    }
    if (timerDriven_) {
        // Every move starts the wait again: the tip shows only once the pointer rests.
        timers.SetTimer(timerId_, kHoverDelay);
    }
    if (GetVisualState() != kNormal) {
        return false;
    }
    SetVisualState(kCollapsed);
    return true;
}

void ToolTipView::OnTimeElapsed(int32_t timerId) {
    if (timerDriven_ && timerId == timerId_) {
        TimerDispatcher::Instance().KillTimer(timerId_);
        Show(false);
    }
}

void ToolTipView::Show(bool whileDragging) {
    label_->SetText(std::wstring());
    toolTipEvent_->Notify(anchorX_, anchorY_, whileDragging);
    if (label_->GetText().empty()) {
        return;
    }
    const DrawRect measured = label_->Measure();
    label_->SetExplicitWidth(measured.Width());
    label_->SetExplicitHeight(measured.Height());
    SetX(anchorX_);
    SetY(timerDriven_ ? anchorY_ + kPointerGap : anchorY_);
    SetWidth(0);
    SetHeight(0);
    UpdateLayout();
    SetVisualState(kNormal);
}

void ToolTipView::SetText(const std::wstring& text) {
    label_->SetText(text);
    if (text.find_first_of(L"\n\r") != std::wstring::npos) {
        label_->SetSingleLine(false);
    }
}

void ToolTipView::SetAnchor(int32_t x, int32_t y) {
    anchorX_ = x;
    anchorY_ = y;
}

void ToolTipView::Draw(IDrawContext& context) {
    BorderView frame(GetBounds(), 0x000000, ThemeColors::Instance().Background(ThemeKey::kToolTip));
    frame.SetEdgeStyle(BorderView::kRaisedEdge);
    frame.Render(context);
    StackPanel::Draw(context);
}

void MouseActiveEventHandler::Handle(ISubject& subject) {
    auto* event = dynamic_cast<MouseEvent*>(&subject);
    if (event == nullptr) {
        return;
    }
    const bool changed = toolTip_->Hover(event->GetX(), event->GetY(), event->IsButtonDown());
    if (!event->IsHandled()) {
        event->SetHandled(changed);
    }
}

}  // namespace vortrel
