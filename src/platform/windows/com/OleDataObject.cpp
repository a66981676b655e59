#include "platform/windows/com/OleDataObject.h"

#include <ole2.h>

namespace vortrel::com {

HRESULT STDMETHODCALLTYPE OleDataObject::GetData(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE OleDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE OleDataObject::QueryGetData(FORMATETC*) {
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE OleDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (formats != nullptr) {
        *formats = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleDataObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                                 DWORD* connection) {
    IDataAdviseHolder* holder = core_.DataAdviseHolder();
    if (holder == nullptr) {
        return E_OUTOFMEMORY;
    }
    return holder->Advise(this, format, flags, sink, connection);
}

HRESULT STDMETHODCALLTYPE OleDataObject::DUnadvise(DWORD connection) {
    IDataAdviseHolder* holder = core_.DataAdviseHolder();
    return holder != nullptr ? holder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE OleDataObject::EnumDAdvise(IEnumSTATDATA** advise) {
    IDataAdviseHolder* holder = core_.DataAdviseHolder();
    return holder != nullptr ? holder->EnumAdvise(advise) : E_OUTOFMEMORY;
}

}  // namespace vortrel::com
