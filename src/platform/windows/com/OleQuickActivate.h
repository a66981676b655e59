#pragma once

#include <ocidl.h>

#include "platform/windows/com/ComPart.h"

namespace vortrel::com {

// IQuickActivate of the control: a container hands over its client site, view sink and event
// sink in one call and learns the control's status in return; the content extent is the
// control's extent.
class OleQuickActivate final : public ComPart<IQuickActivate> {
  public:
    using ComPart::ComPart;

    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;
};

}  // namespace vortrel::com
