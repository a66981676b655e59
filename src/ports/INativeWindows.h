#pragma once

#include <cstdint>

#include "base/PortFactory.h"

namespace vortrel {

/// A native window of the platform by its id (an X11 window id on Linux, an HWND on
/// Windows); 0 is none.
using NativeWindow = int64_t;

/// A rectangle of a window's area in pixels: left and top inside, right and bottom just
/// outside.
struct WindowRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

// The platform's window system as the preview needs it: which window a host's window lies
// in, and where its client area lies inside that one.
class INativeWindows {
  public:
    virtual ~INativeWindows() = default;

    /// The parent of a window; 0 when it is not a window or is a top-level one.
    virtual NativeWindow GetParent(NativeWindow window) = 0;
    /// The client area of a window in its parent's client coordinates; false when it is not
    /// a window.
    virtual bool GetClientRectInParent(NativeWindow window, WindowRect& rect) = 0;
};

/// The maker of the platform's window-system access.
using NativeWindowsFactory = PortFactory<INativeWindows>;

}  // namespace vortrel
