#pragma once

#include <cstdint>

namespace vortrel {

// A span of time in whole milliseconds: a content's place on the timeline or the part of
// its source file it plays. Nothing forces start <= stop; the control checks that before
// it sets one. The scale pointer lets the segment turn pixels into time once its content
// sits on a track.
class TimeSegment {
  public:
    /// Sets the start from host seconds (truncated to milliseconds).
    void SetStart(float seconds);
    /// Sets the stop from host seconds (truncated to milliseconds).
    void SetStop(float seconds);

    /// The start in milliseconds.
    int32_t GetStart() const { return start_; }
    /// The stop in milliseconds.
    int32_t GetStop() const { return stop_; }

    /// Sets the start in milliseconds, as the model's own code does.
    void SetStartMs(int32_t milliseconds) { start_ = milliseconds; }
    /// Sets the stop in milliseconds, as the model's own code does.
    void SetStopMs(int32_t milliseconds) { stop_ = milliseconds; }

    /// stop - start, in 64 bits so that no pair of int32 times can overflow it.
    int64_t GetLength() const { return static_cast<int64_t>(stop_) - start_; }

    /// Points the segment at the model's zoom factor (not owned).
    void SetScale(const float* scale) { scale_ = scale; }
    /// The zoom factor the segment follows, or none before its content is on a track.
    const float* GetScale() const { return scale_; }

    /// Sets start and stop from pixel positions; false, changing nothing, when the segment
    /// has no scale yet or the scale maps no time onto pixels (zero, negative, non-finite).
    bool SetPixelRange(int32_t xStart, int32_t xStop);

  private:
    int32_t start_ = 0;
    int32_t stop_ = 0;
    const float* scale_ = nullptr;
};

}  // namespace vortrel
