#pragma once

#include <oleidl.h>

#include "platform/windows/com/ComPart.h"

namespace vortrel::com {

// IOleInPlaceActiveObject of the control: what the frame asks the UI-active control. The
// control has no accelerators, menus or tool bars, so it only names its window.
class OleInPlaceActiveObject final : public ComPart<IOleInPlaceActiveObject> {
  public:
    using ComPart::ComPart;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
};

}  // namespace vortrel::com
