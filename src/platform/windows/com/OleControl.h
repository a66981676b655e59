#pragma once

#include <ocidl.h>

#include "platform/windows/com/ComPart.h"

namespace vortrel::com {

// IOleControl of the control: it has no mnemonics and reads no ambient properties, and its
// events go out whether or not the host has frozen them (a host that freezes them may drop
// what arrives meanwhile).
class OleControl final : public ComPart<IOleControl> {
  public:
    using ComPart::ComPart;

    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;
};

}  // namespace vortrel::com
