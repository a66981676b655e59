#pragma once

#include <windows.h>

#include <ocidl.h>
#include <oleidl.h>

#include "platform/windows/ComRef.h"
#include "platform/windows/com/ControlWindow.h"

namespace vortrel {
class CTimelineControl;
}

namespace vortrel::com {

class EventConnectionPoint;

// What the control's OLE interfaces share: the controlling unknown, the host's client site
// and in-place site, the advise sinks, the extent, whether it changed since it was saved, and
// the in-place states with their window. Activation lives here because several interfaces
// start or end it (DoVerb, QuickActivate, InPlaceDeactivate, a click on the window). The
// control is always windowed: in-place activation creates its window inside the site's.
class OleControlCore {
  public:
    /// The initial extent, in HIMETRIC units (0.01 mm).
    static constexpr LONG kInitialExtent = 5080;

    OleControlCore(IUnknown& outer, CTimelineControl& control, EventConnectionPoint& events);
    ~OleControlCore();
    OleControlCore(const OleControlCore&) = delete;
    OleControlCore& operator=(const OleControlCore&) = delete;

    /// The object's controlling unknown.
    IUnknown& Outer() const { return outer_; }
    /// The connection point of the events, for hosts that connect through IQuickActivate.
    EventConnectionPoint& Events() const { return events_; }

    /// Holds the host's client site (none lets go of it).
    void SetClientSite(IOleClientSite* site);
    IOleClientSite* ClientSite() const { return site_.Get(); }

    /// The view advise sink of IViewObject.
    void SetViewSink(DWORD aspects, DWORD flags, IAdviseSink* sink);
    IAdviseSink* ViewSink() const { return viewSink_.Get(); }
    DWORD ViewAspects() const { return viewAspects_; }
    DWORD ViewFlags() const { return viewFlags_; }
    /// The holder of the IOleObject advise sinks, made on first use; none without memory.
    IOleAdviseHolder* AdviseHolder();
    /// The holder of the IDataObject advise sinks, made on first use.
    IDataAdviseHolder* DataAdviseHolder();

    /// The extent in HIMETRIC units.
    SIZEL Extent() const { return extent_; }
    void SetExtent(SIZEL extent);
    /// Whether the extent changed since it was last saved or loaded.
    bool Dirty() const { return dirty_; }
    void SetDirty(bool dirty) { dirty_ = dirty; }

    /// Activates the control in place in its client site (making its window), and for verbs
    /// that ask for it also UI-activates it; then asks the site to show it.
    HRESULT InPlaceActivate(LONG verb);
    /// Ends UI activation, keeping the window.
    HRESULT UIDeactivate();
    /// Ends in-place activation: the window goes.
    HRESULT InPlaceDeactivate();
    /// Moves the window to the site's position and clip rectangles.
    HRESULT SetObjectRects(const RECT* position, const RECT* clip);
    /// Hides the window (the verb HIDE).
    void Hide();

    bool InPlaceActive() const { return inPlaceActive_; }
    bool UIActive() const { return uiActive_; }
    HWND Window() const { return window_.Handle(); }

  private:
    HRESULT UIActivate();
    void OnFocus(bool gained);

    IUnknown& outer_;
    EventConnectionPoint& events_;
    ControlWindow window_;
    ComRef<IOleClientSite> site_;
    ComRef<IOleInPlaceSite> inPlaceSite_;
    ComRef<IOleInPlaceFrame> frame_;
    ComRef<IOleInPlaceUIWindow> uiWindow_;
    ComRef<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    ComRef<IOleAdviseHolder> adviseHolder_;
    ComRef<IDataAdviseHolder> dataAdviseHolder_;
    SIZEL extent_{kInitialExtent, kInitialExtent};
    bool dirty_ = false;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
};

/// Stores a new reference to pointer (none for null) in ref, releasing the old one.
template <typename Interface>
void Hold(ComRef<Interface>& ref, Interface* pointer) {
    if (pointer != nullptr) {
        pointer->AddRef();
    }
    *ref.Out() = pointer;
}

}  // namespace vortrel::com
