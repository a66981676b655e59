#include "model/TimeScale.h"

namespace vortrel {

TimeScale::TimeScale() : scaleChanged_(std::make_shared<TimeEvent>()) {}

void TimeScale::SetScale(float scale) {
    scale_ = scale;
    scaleChanged_->Notify();
}

}  // namespace vortrel
