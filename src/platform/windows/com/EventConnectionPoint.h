#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <vector>

#include "control/ITimelineControl.h"

namespace vortrel::com {

// The connection point of the outgoing event interface: it keeps the hosts' sinks in the
// order they connected and fires each event the control raises to every one of them through
// IDispatch::Invoke, ignoring what a sink answers. It lives inside the control object and
// counts its references on it.
class EventConnectionPoint final : public IConnectionPoint, public ITimelineControlEvents {
  public:
    /// A point whose references are those of owner, which is also its container.
    explicit EventConnectionPoint(IConnectionPointContainer& owner) : owner_(owner) {}
    ~EventConnectionPoint();
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    // IUnknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IConnectionPoint.
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    // The control's events, fired to the sinks.
    void OnClickClip(int32_t trackIndex, int32_t clipIndex) override;
    void OnUpdate() override;
    void OnPlaying(int32_t currentPosition) override;
    void OnPlayingCompleted() override;
    void OnConvertProgress(int32_t progress) override;
    void OnConvertCompleted() override;

  private:
    // Invokes one event on every sink, arguments in their declared order.
    void Fire(DISPID id, std::vector<int32_t> arguments);

    IConnectionPointContainer& owner_;
    // A disconnected sink leaves an empty slot, so cookies (slot + 1) stay valid.
    std::vector<IDispatch*> sinks_;
};

// Lists the one connection point of the control.
class ConnectionPointEnumerator final : public IEnumConnectionPoints {
  public:
    explicit ConnectionPointEnumerator(IConnectionPoint* point, ULONG position = 0);
    ~ConnectionPointEnumerator();
    ConnectionPointEnumerator(const ConnectionPointEnumerator&) = delete;
    ConnectionPointEnumerator& operator=(const ConnectionPointEnumerator&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** clone) override;

  private:
    LONG refs_ = 1;
    IConnectionPoint* point_;
    ULONG position_;
};

// Lists the connections of the point as they were when it was made.
class ConnectionEnumerator final : public IEnumConnections {
  public:
    explicit ConnectionEnumerator(std::vector<CONNECTDATA> connections, ULONG position = 0);
    ~ConnectionEnumerator();
    ConnectionEnumerator(const ConnectionEnumerator&) = delete;
    ConnectionEnumerator& operator=(const ConnectionEnumerator&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, CONNECTDATA* connections, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnections** clone) override;

  private:
    LONG refs_ = 1;
    std::vector<CONNECTDATA> connections_;  // each holds a reference on its sink
    ULONG position_;
};

}  // namespace vortrel::com
