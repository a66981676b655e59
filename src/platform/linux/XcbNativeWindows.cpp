#include "platform/linux/XcbNativeWindows.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace vortrel {

namespace {

// Frees what xcb allocates for a reply or an error.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using XcbPointer = std::unique_ptr<T, FreeDeleter>;

// The X11 id of a window, or 0 when the value cannot be one: ids are 32-bit and never 0.
xcb_window_t WindowIdOf(NativeWindow window) {
    if (window <= 0 || window > 0xFFFFFFFF) {
        return 0;
    }
    return static_cast<xcb_window_t>(window);
}

}  // namespace

XcbNativeWindows::XcbNativeWindows() : connection_(xcb_connect(nullptr, nullptr)) {
    if (const int error = xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        const char* display = std::getenv("DISPLAY");
        throw std::runtime_error("Could not connect to the X server " +
                                 std::string(display ? display : "(DISPLAY is not set)") +
                                 ": error " + std::to_string(error));
    }
}

XcbNativeWindows::~XcbNativeWindows() {
    xcb_disconnect(connection_);
}

NativeWindow XcbNativeWindows::GetParent(NativeWindow window) {
    const xcb_window_t id = WindowIdOf(window);
    if (id == 0) {
        return 0;
    }
    xcb_generic_error_t* error = nullptr;
    XcbPointer<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, id), &error));
    XcbPointer<xcb_generic_error_t> dropped(error);
    if (!tree || tree->parent == tree->root) {
        return 0;  // not a window, or a top-level one (the root's own parent is none, 0)
    }
    return tree->parent;
}

bool XcbNativeWindows::GetClientRectInParent(NativeWindow window, WindowRect& rect) {
    const xcb_window_t id = WindowIdOf(window);
    if (id == 0) {
        return false;
    }
    // A pixmap has a geometry too, so the id is first asked for what only a window has. Both
    // requests go out before either reply is awaited: one round trip.
    const auto attributesCookie = xcb_get_window_attributes(connection_, id);
    const auto geometryCookie = xcb_get_geometry(connection_, id);
    xcb_generic_error_t* error = nullptr;
    XcbPointer<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection_, attributesCookie, &error));
    XcbPointer<xcb_generic_error_t> attributesError(error);
    error = nullptr;
    XcbPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, geometryCookie, &error));
    XcbPointer<xcb_generic_error_t> geometryError(error);
    if (!attributes || !geometry) {
        return false;
    }
    // The position is that of the border's outer corner; the client area starts inside it.
    rect.left = geometry->x + geometry->border_width;
    rect.top = geometry->y + geometry->border_width;
    rect.right = rect.left + geometry->width;
    rect.bottom = rect.top + geometry->height;
    return true;
}

}  // namespace vortrel
