#include "control/ControlContext.h"

#include "model/TimelineModel.h"

namespace vortrel {

void ControlContext::Repaint() const {
    if (window != nullptr) {
        window->Invalidate();
    }
}

void ControlContext::SetCursor(ControlCursor cursor) const {
    if (window != nullptr) {
        window->SetCursor(cursor);
    }
}

ITrack* ControlContext::Track(int32_t index) const {
    return model != nullptr ? model->GetTrack(index) : nullptr;
}

}  // namespace vortrel
