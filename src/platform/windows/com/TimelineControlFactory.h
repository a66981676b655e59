#pragma once

#include <windows.h>

#include <unknwn.h>

namespace vortrel::com {

// The class factory of the timeline control. It makes objects, aggregated ones too (the
// outer object then asks for IUnknown), and keeps the module loaded while a host holds it
// or has locked the server through it.
class TimelineControlFactory final : public IClassFactory {
  public:
    /// The process's one factory, with no references held.
    static TimelineControlFactory& Instance();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    TimelineControlFactory() = default;
};

}  // namespace vortrel::com
