#include "platform/windows/com/OleInPlaceObject.h"

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleInPlaceObject::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = core_.Window();
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject::InPlaceDeactivate() {
    return core_.InPlaceDeactivate();
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject::UIDeactivate() {
    return core_.UIDeactivate();
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject::SetObjectRects(LPCRECT position, LPCRECT clip) {
    return core_.SetObjectRects(position, clip);
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject::ReactivateAndUndo() {
    return E_NOTIMPL;
}

}  // namespace vortrel::com
