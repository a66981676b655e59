#pragma once

#include "ports/INativeWindows.h"

struct xcb_connection_t;

namespace vortrel {

// The native windows of X11, read through a connection of its own to the display that
// $DISPLAY names. Every question is answered by one checked request, so a bad id gives an
// answer of none and never an error elsewhere in the process.
class XcbNativeWindows final : public INativeWindows {
  public:
    /// Connects to the display; throws std::runtime_error when there is no X server.
    XcbNativeWindows();
    ~XcbNativeWindows() override;
    XcbNativeWindows(const XcbNativeWindows&) = delete;
    XcbNativeWindows& operator=(const XcbNativeWindows&) = delete;

    /// The parent window; 0 for a top-level window (whose parent is the root) and for an id
    /// that is not a window.
    NativeWindow GetParent(NativeWindow window) override;
    /// The area inside the window's border in its parent's coordinates; false when the id is
    /// not a window.
    bool GetClientRectInParent(NativeWindow window, WindowRect& rect) override;

  private:
    xcb_connection_t* connection_;
};

}  // namespace vortrel
