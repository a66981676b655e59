#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/SeekEvent.h"
#include "model/TimeEvent.h"
#include "views/IAxis.h"
#include "views/ViewEventHandler.h"

namespace vortrel {

class MouseDispatcher;

class TimeScale;

/// Seconds as the ruler and the drag tips write them: one decimal when whole ("2.0"), else
/// three ("2.500"); the same in every locale.
std::wstring SecondsText(double seconds);

// The time ruler across the top of the track area: labels in seconds with major and minor
// ticks at an interval that keeps labels about 50 pixels apart at any zoom, and a press that
// asks, through seekEvent, for playback to go to the time under the pointer.
class TimeAxis : public IAxis {
  public:
    /// Height of the ruler in pixels.
    static constexpr int32_t kHeight = 20;

    /// A ruler following the zoom of a scale (which outlives the subscription the ruler
    /// keeps to it).
    /// It takes presses from a dispatcher that outlives it.
    TimeAxis(TimeScale* timeScale, MouseDispatcher& mouse);
    ~TimeAxis() override;

    /// Draws the background and the ticks and labels that fall inside the clip box.
    void Draw(IDrawContext& context) override;
    /// Announces the time under the pointer through seekEvent.
    void OnMouseDown(int32_t x, int32_t y) override;

    /// Timeline milliseconds between two labels at a zoom (at least 1).
    static int64_t LabelInterval(float zoom);
    /// Pixels between two labels at a zoom; 0 when the zoom maps no time onto pixels.
    static int64_t LabelStep(float zoom);

    /// Notified with the time of every press on the ruler.
    const std::shared_ptr<SeekEvent>& GetSeekEvent() const { return seekEvent_; }
    TimeScale* GetTimeScale() const { return timeScale_; }

  private:
    void DrawTickGroup(IDrawContext& context, int64_t tickX, int64_t stepPixels, int64_t time);

    TimeScale* timeScale_;
    MouseDispatcher& mouse_;
    std::shared_ptr<SeekEvent> seekEvent_;
    // Kept so that the subscription can be ended even if the scale goes first.
    std::shared_ptr<TimeEvent> scaleChanged_;
    IEventHandler* scaleChangedHandler_ = nullptr;
};

// Marks the ruler for redrawing when the zoom changed.
class TimeAxisTimeScaleChangedHandler : public ViewEventHandler {
  public:
    using ViewEventHandler::ViewEventHandler;
    /// Makes the ruler's cache stale.
    void Handle(ISubject& subject) override;
};

}  // namespace vortrel
