#include "EventPrinter.h"

#include "base/Utf8.h"

namespace vortrel::com {

EventPrinter::EventPrinter(ITypeInfo* events, std::ostream& out) : events_(events), out_(out) {
    events_->AddRef();
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(events_->GetTypeAttr(&attributes))) {
        interfaceId_ = attributes->guid;
        events_->ReleaseTypeAttr(attributes);
    }
}

EventPrinter::~EventPrinter() {
    events_->Release();
}

int64_t EventPrinter::Count(const std::string& name) const {
    auto it = counts_.find(name);
    return it == counts_.end() ? 0 : it->second;
}

HRESULT STDMETHODCALLTYPE EventPrinter::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, interfaceId_)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventPrinter::AddRef() {
    return static_cast<ULONG>(++refs_);
}

ULONG STDMETHODCALLTYPE EventPrinter::Release() {
    return static_cast<ULONG>(--refs_);
}

HRESULT STDMETHODCALLTYPE EventPrinter::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventPrinter::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventPrinter::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventPrinter::Invoke(DISPID id, REFIID, LCID, WORD,
                                               DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                               UINT*) {
    BSTR name = nullptr;
    UINT names = 0;
    if (FAILED(events_->GetNames(id, &name, 1, &names)) || names == 0) {
        out_ << "event " << id << "?\n";
        return DISP_E_MEMBERNOTFOUND;
    }
    const std::string event = ToUtf8(std::wstring(name, SysStringLen(name)));
    SysFreeString(name);
    ++counts_[event];
    out_ << "event " << event;
    // The arguments arrive last first.
    const UINT count = parameters != nullptr ? parameters->cArgs : 0;
    for (UINT i = count; i > 0; --i) {
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(VariantChangeType(&value, &parameters->rgvarg[i - 1], 0, VT_I4))) {
            out_ << " " << V_I4(&value);
        } else {
            out_ << " ?";
        }
        VariantClear(&value);
    }
    out_ << "\n";
    return S_OK;
}

}  // namespace vortrel::com
