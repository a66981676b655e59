#include "platform/windows/com/OleControlCore.h"

#include <olectl.h>

namespace vortrel::com {

OleControlCore::OleControlCore(IUnknown& outer, CTimelineControl& control,
                               EventConnectionPoint& events)
    : outer_(outer),
      events_(events),
      window_(control, ControlWindow::Listener{[this] {
                                                   if (!uiActive_) {
                                                       InPlaceActivate(OLEIVERB_UIACTIVATE);
                                                   }
                                               },
                                               [this](bool gained) { OnFocus(gained); }}) {}

OleControlCore::~OleControlCore() {
    InPlaceDeactivate();
}

void OleControlCore::SetClientSite(IOleClientSite* site) {
    Hold(site_, site);
}

void OleControlCore::SetViewSink(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    Hold(viewSink_, sink);
    viewAspects_ = aspects;
    viewFlags_ = flags;
}

IOleAdviseHolder* OleControlCore::AdviseHolder() {
    if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.Out()))) {
        adviseHolder_.Reset();
    }
    return adviseHolder_.Get();
}

IDataAdviseHolder* OleControlCore::DataAdviseHolder() {
    if (!dataAdviseHolder_ && FAILED(CreateDataAdviseHolder(dataAdviseHolder_.Out()))) {
        dataAdviseHolder_.Reset();
    }
    return dataAdviseHolder_.Get();
}

void OleControlCore::SetExtent(SIZEL extent) {
    if (extent.cx != extent_.cx || extent.cy != extent_.cy) {
        extent_ = extent;
        dirty_ = true;
    }
}

HRESULT OleControlCore::InPlaceActivate(LONG verb) {
    if (!site_) {
        return E_UNEXPECTED;
    }
    if (!inPlaceActive_) {
        ComRef<IOleInPlaceSite> site;
        if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, site.OutVoid())) || !site) {
            return E_FAIL;
        }
        if (site->CanInPlaceActivate() != S_OK) {
            return E_FAIL;
        }
        site->OnInPlaceActivate();
        Hold(inPlaceSite_, site.Get());
        inPlaceActive_ = true;
    }
    if (window_.Handle() == nullptr) {
        HWND parent = nullptr;
        RECT position{};
        RECT clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        frame_.Reset();
        uiWindow_.Reset();
        if (FAILED(inPlaceSite_->GetWindow(&parent)) ||
            FAILED(inPlaceSite_->GetWindowContext(frame_.Out(), uiWindow_.Out(), &position, &clip,
                                                  &frameInfo)) ||
            !window_.Create(parent, position)) {
            InPlaceDeactivate();
            return E_FAIL;
        }
        SetObjectRects(&position, &clip);
    }
    ShowWindow(window_.Handle(), SW_SHOWNA);
    if (verb == OLEIVERB_PRIMARY || verb == OLEIVERB_SHOW || verb == OLEIVERB_UIACTIVATE) {
        UIActivate();
    }
    site_->ShowObject();
    return S_OK;
}

HRESULT OleControlCore::UIActivate() {
    if (uiActive_ || !inPlaceActive_) {
        return S_OK;
    }
    uiActive_ = true;  // first: taking the focus below asks for activation again
    inPlaceSite_->OnUIActivate();
    const HWND focus = GetFocus();
    if (focus != window_.Handle() && !IsChild(window_.Handle(), focus)) {
        SetFocus(window_.Handle());
    }
    ComRef<IOleInPlaceActiveObject> active;
    outer_.QueryInterface(IID_IOleInPlaceActiveObject, active.OutVoid());
    if (frame_) {
        frame_->SetActiveObject(active.Get(), nullptr);
        frame_->SetBorderSpace(nullptr);
    }
    if (uiWindow_) {
        uiWindow_->SetActiveObject(active.Get(), nullptr);
        uiWindow_->SetBorderSpace(nullptr);
    }
    return S_OK;
}

HRESULT OleControlCore::UIDeactivate() {
    if (!uiActive_) {
        return S_OK;
    }
    uiActive_ = false;
    if (uiWindow_) {
        uiWindow_->SetActiveObject(nullptr, nullptr);
    }
    if (frame_) {
        frame_->SetActiveObject(nullptr, nullptr);
    }
    if (inPlaceSite_) {
        inPlaceSite_->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT OleControlCore::InPlaceDeactivate() {
    if (!inPlaceActive_) {
        return S_OK;
    }
    UIDeactivate();
    inPlaceActive_ = false;
    window_.Destroy();
    frame_.Reset();
    uiWindow_.Reset();
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.Reset();
    }
    return S_OK;
}

HRESULT OleControlCore::SetObjectRects(const RECT* position, const RECT* clip) {
    if (position == nullptr) {
        return E_POINTER;
    }
    const HWND window = window_.Handle();
    if (window == nullptr) {
        return S_OK;
    }
    SetWindowPos(window, nullptr, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the site shows only part of the control, the window is cut to that part.
    RECT visible = *position;
    if (clip != nullptr && !IntersectRect(&visible, position, clip)) {
        SetRectEmpty(&visible);
    }
    if (EqualRect(&visible, position)) {
        SetWindowRgn(window, nullptr, TRUE);
    } else {
        OffsetRect(&visible, -position->left, -position->top);
        SetWindowRgn(window, CreateRectRgnIndirect(&visible), TRUE);  // the window owns it
    }
    return S_OK;
}

void OleControlCore::Hide() {
    UIDeactivate();
    if (window_.Handle() != nullptr) {
        ShowWindow(window_.Handle(), SW_HIDE);
    }
}

void OleControlCore::OnFocus(bool gained) {
    if (gained && inPlaceActive_ && !uiActive_) {
        UIActivate();
    }
    ComRef<IOleControlSite> site;
    if (site_ && SUCCEEDED(site_->QueryInterface(IID_IOleControlSite, site.OutVoid())) && site) {
        site->OnFocus(gained ? TRUE : FALSE);
    }
}

}  // namespace vortrel::com
