#include "model/TimeSegment.h"

#include "model/TimeRules.h"

namespace vortrel {

void TimeSegment::SetStart(float seconds) {
    start_ = SecondsToMilliseconds(seconds);
}

void TimeSegment::SetStop(float seconds) {
    stop_ = SecondsToMilliseconds(seconds);
}

bool TimeSegment::SetPixelRange(int32_t xStart, int32_t xStop) {
    if (scale_ == nullptr || !IsUsableScale(*scale_)) {
        return false;
    }
    start_ = PixelsToMilliseconds(xStart, *scale_);
    stop_ = PixelsToMilliseconds(xStop, *scale_);
    return true;
}

}  // namespace vortrel
