#pragma once

#include <objidl.h>
#include <ocidl.h>

#include "platform/windows/com/ComPart.h"

namespace vortrel::com {

// IPersistStreamInit and IPersistStorage of the control. Only the extent goes into the host's
// document, as two unsigned 32-bit values, _cx and then _cy (in a storage, in its stream
// "Contents"); nothing of the timeline or its settings is kept with the document.
class OlePersistence final : public ComPart<IPersistStreamInit, IPersistStorage> {
  public:
    using ComPart::ComPart;

    // IPersist, for both.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    // IPersistStreamInit and IPersistStorage.
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    // IPersistStreamInit.
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    // IPersistStorage.
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;
};

}  // namespace vortrel::com
