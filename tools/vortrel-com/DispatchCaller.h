#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

#include "control/ControlMembers.h"

namespace vortrel::com {

// Calls the control's members by name through IDispatch, as a script host does: the name
// becomes a dispatch id (GetIDsOfNames), the parameters' types and directions come from the
// type library, inputs travel as VARIANTs of the declared types, outputs as by-reference
// VARIANTs and the return value. The values cross in the script's own value types.
class DispatchCaller {
  public:
    /// A caller of a control's dispatch interface (held with one reference).
    explicit DispatchCaller(IDispatch* control);
    ~DispatchCaller();
    DispatchCaller(const DispatchCaller&) = delete;
    DispatchCaller& operator=(const DispatchCaller&) = delete;

    /// Calls a member with its inputs and fills its outputs, in the member's order; raises
    /// std::runtime_error naming the member when the call fails.
    void Call(const ControlMember& member, const std::vector<ControlValue>& ins,
              std::vector<ControlValue>& outs);

  private:
    IDispatch* control_;
    ITypeInfo* interface_ = nullptr;  // the dual interface's vtable description
};

}  // namespace vortrel::com
