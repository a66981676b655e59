#pragma once

#include <windows.h>

#include "platform/windows/com/OleControl.h"
#include "platform/windows/com/OleControlCore.h"
#include "platform/windows/com/OleDataObject.h"
#include "platform/windows/com/OleInPlaceActiveObject.h"
#include "platform/windows/com/OleInPlaceObject.h"
#include "platform/windows/com/OleObject.h"
#include "platform/windows/com/OlePersistence.h"
#include "platform/windows/com/OleQuickActivate.h"
#include "platform/windows/com/OleViewObject.h"

namespace vortrel::com {

// The OLE control interfaces of the control object, held inside it: the state they share and
// one part per interface (or pair of interfaces), each answering through the object's
// controlling unknown. The object's QueryInterface asks Find for the interfaces it does not
// answer itself.
class OleControlParts {
  public:
    OleControlParts(IUnknown& outer, CTimelineControl& control, EventConnectionPoint& events)
        : core_(outer, control, events),
          object_(core_),
          inPlaceObject_(core_),
          activeObject_(core_),
          control_(core_),
          view_(core_),
          persistence_(core_),
          quickActivate_(core_),
          data_(core_) {}

    /// The part's interface for iid, uncounted; none when it is not an OLE interface.
    IUnknown* Find(REFIID iid);
    /// Ends in-place activation, so that the window goes before the control.
    void Close() { core_.InPlaceDeactivate(); }

  private:
    OleControlCore core_;
    OleObject object_;
    OleInPlaceObject inPlaceObject_;
    OleInPlaceActiveObject activeObject_;
    OleControl control_;
    OleViewObject view_;
    OlePersistence persistence_;
    OleQuickActivate quickActivate_;
    OleDataObject data_;
};

}  // namespace vortrel::com
