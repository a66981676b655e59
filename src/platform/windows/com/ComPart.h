#pragma once

#include <unknwn.h>

#include "platform/windows/com/OleControlCore.h"

namespace vortrel::com {

// One part of the control object that answers for some of its interfaces: it has no identity
// or reference count of its own, as every IUnknown call goes to the object's controlling
// unknown, and it works on the state the object's OLE parts share.
template <typename... Interfaces>
class ComPart : public Interfaces... {
  public:
    explicit ComPart(OleControlCore& core) : core_(core) {}
    ComPart(const ComPart&) = delete;
    ComPart& operator=(const ComPart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return core_.Outer().QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return core_.Outer().AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return core_.Outer().Release(); }

  protected:
    ~ComPart() = default;

    OleControlCore& core_;
};

}  // namespace vortrel::com
