#pragma once

#include "ports/INativeWindows.h"

namespace vortrel {

// The native windows of Win32: a NativeWindow is an HWND. A handle that is not a window gives
// an answer of none.
class Win32NativeWindows final : public INativeWindows {
  public:
    /// The parent of a child window; 0 for a top-level window (an owner is not a parent) and for
    /// a handle that is not a window.
    NativeWindow GetParent(NativeWindow window) override;
    /// The client area in the parent's client coordinates (a top-level window's on the
    /// screen); false when the handle is not a window.
    bool GetClientRectInParent(NativeWindow window, WindowRect& rect) override;
};

}  // namespace vortrel
