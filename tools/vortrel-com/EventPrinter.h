#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

namespace vortrel::com {

// The host's event sink: a dispatch object that prints each event of the control as an
// "event NAME ARG…" line, the name read from the control's event interface description,
// and counts the events by name. It lives on the runner's stack; its references only count.
class EventPrinter final : public IDispatch {
  public:
    /// A sink for the events that events describes (held with one reference), printing to out.
    EventPrinter(ITypeInfo* events, std::ostream& out);
    ~EventPrinter();
    EventPrinter(const EventPrinter&) = delete;
    EventPrinter& operator=(const EventPrinter&) = delete;

    /// How many times an event (by name) arrived.
    int64_t Count(const std::string& name) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

  private:
    ITypeInfo* events_;
    IID interfaceId_{};
    std::ostream& out_;
    LONG refs_ = 1;
    std::map<std::string, int64_t> counts_;
};

}  // namespace vortrel::com
