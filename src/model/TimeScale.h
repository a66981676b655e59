#pragma once

#include <memory>

#include "model/TimeEvent.h"

namespace vortrel {

// The zoom factor shared by the whole timeline, with the subject that announces each change.
// Segments point at the factor itself, so the scale never moves once made.
class TimeScale {
  public:
    TimeScale();
    TimeScale(const TimeScale&) = delete;
    TimeScale& operator=(const TimeScale&) = delete;

    /// Stores any value (zero, negative and non-finite included), then notifies scaleChanged.
    void SetScale(float scale);
    /// The stored zoom factor.
    float GetScale() const { return scale_; }
    /// The stored factor's address, which the segments of contents on a track follow.
    const float* GetScaleField() const { return &scale_; }
    /// The subject notified after every change of scale.
    const std::shared_ptr<TimeEvent>& GetScaleChanged() const { return scaleChanged_; }

  private:
    float scale_ = 1.0f;
    std::shared_ptr<TimeEvent> scaleChanged_;
};

}  // namespace vortrel
