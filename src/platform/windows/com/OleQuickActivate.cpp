#include "platform/windows/com/OleQuickActivate.h"

#include <olectl.h>

#include "platform/windows/com/ComIds.h"
#include "platform/windows/com/EventConnectionPoint.h"

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleQuickActivate::QuickActivate(QACONTAINER* container,
                                                          QACONTROL* control) {
    if (container == nullptr || control == nullptr) {
        return E_POINTER;
    }
    // Older containers pass smaller structures; the fields read here are in every one.
    if (container->cbSize < offsetof(QACONTAINER, pOleControlSite) ||
        control->cbSize < sizeof(QACONTROL)) {
        return E_INVALIDARG;
    }
    core_.SetClientSite(container->pClientSite);
    if (container->pAdviseSink != nullptr) {
        core_.SetViewSink(DVASPECT_CONTENT, 0, container->pAdviseSink);
    }
    control->dwEventCookie = 0;
    if (container->pUnkEventSink != nullptr) {
        core_.Events().Advise(container->pUnkEventSink, &control->dwEventCookie);
    }
    control->dwMiscStatus = kOleMiscStatus;
    control->dwViewStatus = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
    control->dwPropNotifyCookie = 0;  // the control has no property notifications
    control->dwPointerActivationPolicy = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleQuickActivate::SetContentExtent(LPSIZEL size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    core_.SetExtent(*size);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleQuickActivate::GetContentExtent(LPSIZEL size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    *size = core_.Extent();
    return S_OK;
}

}  // namespace vortrel::com
