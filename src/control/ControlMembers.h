#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <variant>
#include <vector>

#include "control/ITimelineControl.h"

namespace vortrel {

/// The types of values that cross the control's interface.
enum class ValueType {
    Int,     // int / long
    UInt,    // unsigned long (colours)
    Float,   // float
    Bool,    // 16-bit flag
    String,  // wide string, none for a null string
    Font,    // a font handle (an int)
};

/// One value crossing the interface; Int and Font travel as int32_t, Bool as int16_t.
using ControlValue = std::variant<int32_t, uint32_t, float, int16_t, OutString>;

enum class MemberKind { Method, PropertyGet, PropertyPut };

// One member of the control's interface as a call script or a dispatch interface sees it:
// its name, dispatch id, the types of its in- and out-parameters in declaration order, and a
// way to call it on a control with values. Every host-visible member is listed once.
struct ControlMember {
    const char* name;
    int32_t dispatchId;
    MemberKind kind;
    std::vector<ValueType> ins;
    std::vector<ValueType> outs;
    /// Calls the member with values of the in-types; fills one value per out-parameter.
    std::function<void(ITimelineControl&, const std::vector<ControlValue>& ins,
                       std::vector<ControlValue>& outs)>
        invoke;
};

/// Every member of the interface, methods and property accessors.
const std::vector<ControlMember>& ControlMembers();

/// The member of a name and kind, or none.
const ControlMember* FindControlMember(std::string_view name, MemberKind kind);

}  // namespace vortrel
