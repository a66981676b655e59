#include "platform/windows/com/TimelineControlFactory.h"

#include "platform/windows/com/ComTimelineControl.h"
#include "platform/windows/com/VortrelModule.h"

namespace vortrel::com {

TimelineControlFactory& TimelineControlFactory::Instance() {
    static TimelineControlFactory factory;
    return factory;
}

HRESULT STDMETHODCALLTYPE TimelineControlFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The factory lives as long as the module; each reference a host holds is a lock on it.
ULONG STDMETHODCALLTYPE TimelineControlFactory::AddRef() {
    return static_cast<ULONG>(CVortrelModule::Instance().Lock());
}

ULONG STDMETHODCALLTYPE TimelineControlFactory::Release() {
    return static_cast<ULONG>(CVortrelModule::Instance().Unlock());
}

HRESULT STDMETHODCALLTYPE TimelineControlFactory::CreateInstance(IUnknown* outer, REFIID iid,
                                                                 void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    // An outer object must hold the inner one by its own unknown, or identity breaks.
    if (outer != nullptr && !IsEqualIID(iid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    IUnknown* inner = nullptr;
    HRESULT result = ComTimelineControl::Create(outer, &inner);
    if (FAILED(result)) {
        return result;
    }
    result = inner->QueryInterface(iid, object);
    inner->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE TimelineControlFactory::LockServer(BOOL lock) {
    if (lock) {
        CVortrelModule::Instance().Lock();
    } else {
        CVortrelModule::Instance().Unlock();
    }
    return S_OK;
}

}  // namespace vortrel::com
