#include "platform/windows/com/OleViewObject.h"

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleViewObject::Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC,
                                              LPCRECTL, LPCRECTL,
                                              BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                                     LOGPALETTE** colors) {
    if (colors != nullptr) {
        *colors = nullptr;
    }
    return S_FALSE;  // no particular palette
}

HRESULT STDMETHODCALLTYPE OleViewObject::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleViewObject::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleViewObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    core_.SetViewSink(aspects, flags, sink);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::GetAdvise(DWORD* aspects, DWORD* flags,
                                                   IAdviseSink** sink) {
    if (aspects != nullptr) {
        *aspects = core_.ViewAspects();
    }
    if (flags != nullptr) {
        *flags = core_.ViewFlags();
    }
    if (sink != nullptr) {
        *sink = core_.ViewSink();
        if (*sink != nullptr) {
            (*sink)->AddRef();
        }
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*,
                                                   LPSIZEL size) {
    if (aspect != DVASPECT_CONTENT) {
        return E_FAIL;
    }
    if (size == nullptr) {
        return E_POINTER;
    }
    *size = core_.Extent();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::GetRect(DWORD, LPRECTL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleViewObject::GetViewStatus(DWORD* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location,
                                                       LONG, DWORD* result) {
    if (bounds == nullptr || result == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return E_FAIL;
    }
    *result = PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::QueryHitRect(DWORD aspect, LPCRECT bounds,
                                                      LPCRECT location, LONG, DWORD* result) {
    if (bounds == nullptr || location == nullptr || result == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return E_FAIL;
    }
    RECT common{};
    *result = IntersectRect(&common, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleViewObject::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC,
                                                          DVEXTENTINFO*, LPSIZEL) {
    return E_NOTIMPL;
}

}  // namespace vortrel::com
