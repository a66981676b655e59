#pragma once

#include <cstdint>

#include "ports/IControlWindow.h"

namespace vortrel {

class ITrack;
class TimelineModel;

// What the parts of the control share: the model once it is made, the window to repaint and
// the host's choices that later edits use. The control owns it and the model.
struct ControlContext {
    TimelineModel* model = nullptr;
    IControlWindow* window = nullptr;
    /// The canvas a new text clip is drawn on.
    int32_t videoWidth = 320;
    int32_t videoHeight = 240;
    /// Kept as the host gave it: true may arrive as -1 and is read back so.
    int32_t skipBlackPosterFrame = 1;

    /// Asks the window, if any, to paint again.
    void Repaint() const;
    /// Shows a cursor on the window, if any.
    void SetCursor(ControlCursor cursor) const;
    /// The track of an index, or none (also before the model is made).
    ITrack* Track(int32_t index) const;
};

}  // namespace vortrel
