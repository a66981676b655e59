#include "platform/windows/com/OleInPlaceActiveObject.h"

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = core_.Window();
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::TranslateAccelerator(LPMSG) {
    return S_FALSE;  // not one of ours: the frame goes on with it
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*,
                                                               BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject::EnableModeless(BOOL) {
    return S_OK;
}

}  // namespace vortrel::com
