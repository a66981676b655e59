#pragma once

#include <oleidl.h>

#include "platform/windows/com/ComPart.h"

namespace vortrel::com {

// IOleInPlaceObject of the control, which is always windowed: its window, the end of UI and
// in-place activation, and the position the site gives it.
class OleInPlaceObject final : public ComPart<IOleInPlaceObject> {
  public:
    using ComPart::ComPart;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
};

}  // namespace vortrel::com
