#include "platform/windows/com/OleObject.h"

#include <ole2.h>
#include <olectl.h>

#include <VortrelLib.h>
#include "platform/windows/com/ComIds.h"

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleObject::SetClientSite(IOleClientSite* site) {
    core_.SetClientSite(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetClientSite(IOleClientSite** site) {
    if (site == nullptr) {
        return E_POINTER;
    }
    *site = core_.ClientSite();
    if (*site != nullptr) {
        (*site)->AddRef();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::Close(DWORD saveOption) {
    core_.InPlaceDeactivate();
    if (core_.Dirty() && core_.ClientSite() != nullptr &&
        (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
        core_.ClientSite()->SaveObject();
    }
    if (IOleAdviseHolder* holder = core_.AdviseHolder()) {
        holder->SendOnClose();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::GetClipboardData(DWORD, IDataObject** data) {
    if (data != nullptr) {
        *data = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND,
                                            LPCRECT) {
    // A site given with the verb is the one to activate in when the object has none yet.
    if (core_.ClientSite() == nullptr && site != nullptr) {
        core_.SetClientSite(site);
    }
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return core_.InPlaceActivate(verb);
        case OLEIVERB_HIDE:
            core_.Hide();
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        case OLEIVERB_OPEN:
        case OLEIVERB_PROPERTIES:
            return E_NOTIMPL;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT STDMETHODCALLTYPE OleObject::EnumVerbs(IEnumOLEVERB** verbs) {
    return OleRegEnumVerbs(CLSID_TimelineControl, verbs);
}

HRESULT STDMETHODCALLTYPE OleObject::Update() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::IsUpToDate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetUserClassID(CLSID* id) {
    if (id == nullptr) {
        return E_POINTER;
    }
    *id = CLSID_TimelineControl;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetUserType(DWORD form, LPOLESTR* name) {
    return OleRegGetUserType(CLSID_TimelineControl, form, name);
}

HRESULT STDMETHODCALLTYPE OleObject::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (size == nullptr) {
        return E_POINTER;
    }
    core_.SetExtent(*size);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) {
        return E_FAIL;
    }
    if (size == nullptr) {
        return E_POINTER;
    }
    *size = core_.Extent();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::Advise(IAdviseSink* sink, DWORD* connection) {
    IOleAdviseHolder* holder = core_.AdviseHolder();
    return holder != nullptr ? holder->Advise(sink, connection) : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE OleObject::Unadvise(DWORD connection) {
    IOleAdviseHolder* holder = core_.AdviseHolder();
    return holder != nullptr ? holder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE OleObject::EnumAdvise(IEnumSTATDATA** advise) {
    IOleAdviseHolder* holder = core_.AdviseHolder();
    return holder != nullptr ? holder->EnumAdvise(advise) : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE OleObject::GetMiscStatus(DWORD, DWORD* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = kOleMiscStatus;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

}  // namespace vortrel::com
