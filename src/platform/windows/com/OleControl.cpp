#include "platform/windows/com/OleControl.h"

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleControl::GetControlInfo(CONTROLINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    if (info->cb < sizeof(CONTROLINFO)) {
        return E_INVALIDARG;
    }
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControl::OnMnemonic(MSG*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControl::OnAmbientPropertyChange(DISPID) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControl::FreezeEvents(BOOL) {
    return S_OK;
}

}  // namespace vortrel::com
