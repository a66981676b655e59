#include "platform/windows/com/EventConnectionPoint.h"

#include <algorithm>
#include <new>

#include <VortrelLib.h>

namespace vortrel::com {

namespace {

// The event ids of the outgoing interface.
constexpr DISPID kOnClickClip = 2;
constexpr DISPID kOnUpdate = 6;
constexpr DISPID kOnPlaying = 8;
constexpr DISPID kOnPlayingCompleted = 9;
constexpr DISPID kOnConvertProgress = 10;
constexpr DISPID kOnConvertCompleted = 11;

}  // namespace

EventConnectionPoint::~EventConnectionPoint() {
    for (IDispatch* sink : sinks_) {
        if (sink != nullptr) {
            sink->Release();
        }
    }
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventConnectionPoint::AddRef() {
    return owner_.AddRef();
}

ULONG STDMETHODCALLTYPE EventConnectionPoint::Release() {
    return owner_.Release();
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = DIID__ITimelineControlEvents;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = &owner_;
    owner_.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    if (sink == nullptr) {
        return E_POINTER;
    }
    // A sink answers for the event interface; one that only knows IDispatch can still
    // take the calls.
    IDispatch* dispatch = nullptr;
    if (FAILED(sink->QueryInterface(DIID__ITimelineControlEvents,
                                    reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    try {
        sinks_.push_back(dispatch);
    } catch (const std::bad_alloc&) {
        dispatch->Release();
        return E_OUTOFMEMORY;
    }
    *cookie = static_cast<DWORD>(sinks_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie) {
    if (cookie == 0 || cookie > sinks_.size() || sinks_[cookie - 1] == nullptr) {
        return CONNECT_E_NOCONNECTION;
    }
    IDispatch* sink = sinks_[cookie - 1];
    sinks_[cookie - 1] = nullptr;
    sink->Release();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections == nullptr) {
        return E_POINTER;
    }
    *connections = nullptr;
    try {
        std::vector<CONNECTDATA> data;
        for (size_t i = 0; i < sinks_.size(); ++i) {
            if (sinks_[i] != nullptr) {
                data.push_back({sinks_[i], static_cast<DWORD>(i + 1)});
            }
        }
        for (CONNECTDATA& entry : data) {
            entry.pUnk->AddRef();
        }
        *connections = new ConnectionEnumerator(std::move(data));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void EventConnectionPoint::Fire(DISPID id, std::vector<int32_t> arguments) {
    // The sinks as they are now: a handler may connect or disconnect sinks meanwhile.
    std::vector<IDispatch*> sinks;
    for (IDispatch* sink : sinks_) {
        if (sink != nullptr) {
            sink->AddRef();
            sinks.push_back(sink);
        }
    }
    // Invoke takes the arguments last first.
    std::vector<VARIANTARG> values(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        VARIANTARG& value = values[arguments.size() - 1 - i];
        VariantInit(&value);
        V_VT(&value) = VT_I4;
        V_I4(&value) = arguments[i];
    }
    for (IDispatch* sink : sinks) {
        DISPPARAMS parameters = {values.empty() ? nullptr : values.data(), nullptr,
                                 static_cast<UINT>(values.size()), 0};
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                     nullptr, nullptr);
        sink->Release();
    }
}

void EventConnectionPoint::OnClickClip(int32_t trackIndex, int32_t clipIndex) {
    Fire(kOnClickClip, {trackIndex, clipIndex});
}

void EventConnectionPoint::OnUpdate() {
    Fire(kOnUpdate, {});
}

void EventConnectionPoint::OnPlaying(int32_t currentPosition) {
    Fire(kOnPlaying, {currentPosition});
}

void EventConnectionPoint::OnPlayingCompleted() {
    Fire(kOnPlayingCompleted, {});
}

void EventConnectionPoint::OnConvertProgress(int32_t progress) {
    Fire(kOnConvertProgress, {progress});
}

void EventConnectionPoint::OnConvertCompleted() {
    Fire(kOnConvertCompleted, {});
}

ConnectionPointEnumerator::ConnectionPointEnumerator(IConnectionPoint* point, ULONG position)
    : point_(point), position_(position) {
    point_->AddRef();
}

ConnectionPointEnumerator::~ConnectionPointEnumerator() {
    point_->Release();
}

HRESULT STDMETHODCALLTYPE ConnectionPointEnumerator::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints)) {
        *object = static_cast<IEnumConnectionPoints*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ConnectionPointEnumerator::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG STDMETHODCALLTYPE ConnectionPointEnumerator::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE ConnectionPointEnumerator::Next(ULONG count, IConnectionPoint** points,
                                                          ULONG* fetched) {
    if (points == nullptr || (count > 1 && fetched == nullptr)) {
        return E_POINTER;
    }
    ULONG given = 0;
    if (count > 0 && position_ == 0) {
        points[0] = point_;
        point_->AddRef();
        position_ = 1;
        given = 1;
    }
    if (fetched != nullptr) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ConnectionPointEnumerator::Skip(ULONG count) {
    const ULONG left = 1 - position_;
    position_ += std::min(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ConnectionPointEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPointEnumerator::Clone(IEnumConnectionPoints** clone) {
    if (clone == nullptr) {
        return E_POINTER;
    }
    *clone = new (std::nothrow) ConnectionPointEnumerator(point_, position_);
    return *clone != nullptr ? S_OK : E_OUTOFMEMORY;
}

ConnectionEnumerator::ConnectionEnumerator(std::vector<CONNECTDATA> connections, ULONG position)
    : connections_(std::move(connections)), position_(position) {}

ConnectionEnumerator::~ConnectionEnumerator() {
    for (CONNECTDATA& entry : connections_) {
        entry.pUnk->Release();
    }
}

HRESULT STDMETHODCALLTYPE ConnectionEnumerator::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnections)) {
        *object = static_cast<IEnumConnections*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ConnectionEnumerator::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG STDMETHODCALLTYPE ConnectionEnumerator::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE ConnectionEnumerator::Next(ULONG count, CONNECTDATA* connections,
                                                     ULONG* fetched) {
    if (connections == nullptr || (count > 1 && fetched == nullptr)) {
        return E_POINTER;
    }
    ULONG given = 0;
    while (given < count && position_ < connections_.size()) {
        connections[given] = connections_[position_++];
        connections[given].pUnk->AddRef();
        ++given;
    }
    if (fetched != nullptr) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ConnectionEnumerator::Skip(ULONG count) {
    const ULONG left = static_cast<ULONG>(connections_.size()) - position_;
    position_ += std::min(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ConnectionEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionEnumerator::Clone(IEnumConnections** clone) {
    if (clone == nullptr) {
        return E_POINTER;
    }
    *clone = nullptr;
    try {
        std::vector<CONNECTDATA> copy = connections_;
        for (CONNECTDATA& entry : copy) {
            entry.pUnk->AddRef();
        }
        *clone = new ConnectionEnumerator(std::move(copy), position_);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace vortrel::com
