#pragma once

#include <cstdint>

#include "model/ISubject.h"

namespace vortrel {

// A tool tip asking for its text: where it is anchored and whether a drag is in progress.
class ToolTipEvent : public ISubject {
  public:
    /// Writes the anchor and the drag flag and notifies every observer.
    void Notify(int32_t x, int32_t y, bool whileDragging) {
        x_ = x;
        y_ = y;
        whileDragging_ = whileDragging;
        ISubject::Notify();
    }
    using ISubject::Notify;

    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    bool IsWhileDragging() const { return whileDragging_; }

  private:
    int32_t x_ = 0;
    int32_t y_ = 0;
    bool whileDragging_ = false;
};

}  // namespace vortrel
