#include "platform/windows/com/OleControlParts.h"

namespace vortrel::com {

IUnknown* OleControlParts::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_IOleObject)) {
        return static_cast<IOleObject*>(&object_);
    }
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
        return static_cast<IOleInPlaceObject*>(&inPlaceObject_);
    }
    if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
        return static_cast<IOleInPlaceActiveObject*>(&activeObject_);
    }
    if (IsEqualIID(iid, IID_IOleControl)) {
        return static_cast<IOleControl*>(&control_);
    }
    if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2) ||
        IsEqualIID(iid, IID_IViewObjectEx)) {
        return static_cast<IViewObjectEx*>(&view_);
    }
    if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
        return static_cast<IPersistStreamInit*>(&persistence_);
    }
    if (IsEqualIID(iid, IID_IPersistStorage)) {
        return static_cast<IPersistStorage*>(&persistence_);
    }
    if (IsEqualIID(iid, IID_IQuickActivate)) {
        return static_cast<IQuickActivate*>(&quickActivate_);
    }
    if (IsEqualIID(iid, IID_IDataObject)) {
        return static_cast<IDataObject*>(&data_);
    }
    return nullptr;
}

}  // namespace vortrel::com
