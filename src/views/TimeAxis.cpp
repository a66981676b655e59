#include "views/TimeAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "views/BorderView.h"
#include "views/LabelView.h"
#include "views/MouseDispatcher.h"
#include "views/ThemeColors.h"

namespace vortrel {

namespace {

// Labels are spaced by about this many pixels at every zoom.
constexpr double kLabelSpacing = 200.0;
// Intervals above this many milliseconds are rounded up to 25 times a power of two.
constexpr int64_t kIntervalUnit = 25;
constexpr int32_t kMinorTicks = 4;
constexpr int32_t kMinorTickLength = 5;
constexpr int32_t kLabelFontSize = 8;

}  // namespace

std::wstring SecondsText(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) >= 1e15) {
        return L"";
    }
    // Written by hand rather than with printf: the host may have set a locale whose decimal
    // separator is not a point.
    const bool whole = seconds == std::trunc(seconds);
    const int64_t scaled = whole ? static_cast<int64_t>(seconds) * 10
                                 : static_cast<int64_t>(std::llround(seconds * 1000.0));
    const int64_t unit = whole ? 10 : 1000;
    const int64_t magnitude = scaled < 0 ? -scaled : scaled;
    wchar_t text[48];
    std::swprintf(text, sizeof text / sizeof text[0], whole ? L"%s%lld.%01lld" : L"%s%lld.%03lld",
                  scaled < 0 ? L"-" : L"", static_cast<long long>(magnitude / unit),
                  static_cast<long long>(magnitude % unit));
    return text;
}

TimeAxis::TimeAxis(TimeScale* timeScale, MouseDispatcher& mouse)
    : timeScale_(timeScale), mouse_(mouse), seekEvent_(std::make_shared<SeekEvent>()) {
    SetExplicitHeight(kHeight);
    SetStretchHorizontal(true);
    SetCached(true);
    mouse_.GetDown()->Attach(GetMouseDownEventHandler());
    scaleChangedHandler_ = MakeHandler<TimeAxisTimeScaleChangedHandler>(this);
    if (timeScale_ != nullptr) {
        scaleChanged_ = timeScale_->GetScaleChanged();
        scaleChanged_->Attach(scaleChangedHandler_);
    }
}

TimeAxis::~TimeAxis() {
    mouse_.GetDown()->Detach(GetMouseDownEventHandler());
    if (scaleChanged_ != nullptr) {
        scaleChanged_->Detach(scaleChangedHandler_);
    }
}

int64_t TimeAxis::LabelInterval(float zoom) {
    const double exact = kLabelSpacing / zoom + 0.5;
    // Beyond a zoom of 400 the interval would round to 0 ms and the ruler never advance;
    // one millisecond is then a wide step.
    if (!(exact >= 1.0)) {
        return 1;
    }
    const int64_t interval =
        exact >= 1e15 ? int64_t{1000000000000000} : static_cast<int64_t>(exact);
    if (interval <= kIntervalUnit || interval % kIntervalUnit == 0) {
        return interval;
    }
    int64_t rounded = kIntervalUnit;
    while (rounded <= interval) {
        rounded *= 2;
    }
    return rounded;
}

int64_t TimeAxis::LabelStep(float zoom) {
    if (!IsUsableScale(zoom)) {
        return 0;
    }
    const double step =
        static_cast<double>(PixelsPerMillisecond(zoom)) * static_cast<double>(LabelInterval(zoom)) +
        0.0005;
    return step >= static_cast<double>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int64_t>(step);
}

void TimeAxis::Draw(IDrawContext& context) {
    ThemeColors& theme = ThemeColors::Instance();
    const DrawRect clip = context.ClipBox();
    BorderView background(GetBounds(), theme.Background(ThemeKey::kTimeAxis),
                          theme.Background(ThemeKey::kTimeAxis));
    background.Render(context);
    context.SetPen(theme.Border(ThemeKey::kTimeAxis), 1);

    const float zoom = timeScale_ != nullptr ? timeScale_->GetScale() : 1.0f;
    const int64_t stepPixels = LabelStep(zoom);
    if (stepPixels < 1) {
        return;  // a zoom that maps no time onto pixels: no labels
    }
    const int64_t interval = LabelInterval(zoom);
    const int64_t left = GetX();
    const int64_t right = left + GetEffectiveWidth();
    // Start at the last group whose label still reaches into the clip box, so that a ruler
    // hours long costs no more than the groups on screen.
    int64_t first = (clip.left - stepPixels - left) / stepPixels;
    first = std::max<int64_t>(first - 1, 0);
    for (int64_t n = first;; ++n) {
        const int64_t tickX = left + n * stepPixels;
        if (tickX >= right || tickX > clip.right) {
            break;
        }
        if (tickX + stepPixels >= clip.left) {
            DrawTickGroup(context, tickX, stepPixels, n * interval);
        }
    }
}

void TimeAxis::DrawTickGroup(IDrawContext& context, int64_t tickX, int64_t stepPixels,
                             int64_t time) {
    const int32_t x = static_cast<int32_t>(tickX);
    const int32_t step = static_cast<int32_t>(stepPixels);
    LabelView label;
    label.SetX(x + 2);
    label.SetY(GetY());
    label.SetWidth(step - 2);
    label.SetHeight(kHeight);
    label.SetText(SecondsText(static_cast<double>(time) / 1000.0));
    label.SetTextColor(ThemeColors::Instance().Foreground(ThemeKey::kTimeAxis));
    label.SetFontSize(kLabelFontSize);
    label.SetHorizontalTextAlignment(1);
    label.SetVerticalTextAlignment(0);
    label.Render(context);

    const int32_t bottom = GetY() + GetEffectiveHeight();
    context.Line({x, bottom}, {x, bottom - kHeight});
    const int32_t minor = step / 5;
    const int64_t right = int64_t{GetX()} + GetEffectiveWidth();
    for (int32_t i = 1; i <= kMinorTicks; ++i) {
        const int64_t minorX = tickX + int64_t{i} * minor;
        if (minorX > right) {
            break;
        }
        const int32_t mx = static_cast<int32_t>(minorX);
        context.Line({mx, bottom}, {mx, bottom - kMinorTickLength});
    }
}

void TimeAxis::OnMouseDown(int32_t x, int32_t /*y*/) {
    const float zoom = timeScale_ != nullptr ? timeScale_->GetScale() : 1.0f;
    // A zoom that maps no time onto pixels has no time under the pointer.
    if (!IsUsableScale(zoom)) {
        return;
    }
    seekEvent_->Notify(PixelsToMilliseconds(x - GetX(), zoom));
}

void TimeAxisTimeScaleChangedHandler::Handle(ISubject& /*subject*/) {
    view_->SetDirty(true);
}

}  // namespace vortrel
