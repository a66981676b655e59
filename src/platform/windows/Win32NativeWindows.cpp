#include "platform/windows/Win32NativeWindows.h"

#include <windows.h>

#include <cstdint>

namespace vortrel {

namespace {

HWND ToHandle(NativeWindow window) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(window));
}

// The parent of a child window; none for a top-level window, whose GetParent is its owner.
HWND ParentOf(HWND window) {
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) {
        return nullptr;
    }
    return ::GetParent(window);
}

}  // namespace

NativeWindow Win32NativeWindows::GetParent(NativeWindow window) {
    const HWND handle = ToHandle(window);
    if (window == 0 || !IsWindow(handle)) {
        return 0;
    }
    return static_cast<NativeWindow>(reinterpret_cast<intptr_t>(ParentOf(handle)));
}

bool Win32NativeWindows::GetClientRectInParent(NativeWindow window, WindowRect& rect) {
    const HWND handle = ToHandle(window);
    RECT client{};
    if (window == 0 || !IsWindow(handle) || !GetClientRect(handle, &client)) {
        return false;
    }
    // Both corners, so that a mirrored (right-to-left) parent keeps left below right.
    MapWindowPoints(handle, ParentOf(handle), reinterpret_cast<POINT*>(&client), 2);
    rect = {client.left, client.top, client.right, client.bottom};
    return true;
}

}  // namespace vortrel
