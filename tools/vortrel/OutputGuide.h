#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vortrel {

/// One output type: what the control writes for an OutputType value.
struct OutputTypeGuide {
    int32_t type;
    const char* name;
    std::vector<std::string> extensions;  // the first is the usual one
    const char* writes;
};

/// One output property as --set takes it: its name, kind of value, default and range.
struct OutputPropertyGuide {
    std::string name;
    std::string kind;  // integer, float or flag
    std::string defaultValue;
    std::string range;
};

/// The output types 0 to 12, in order.
const std::vector<OutputTypeGuide>& OutputTypeGuides();

/// Every output property of the control, in the control's order, with its range.
std::vector<OutputPropertyGuide> OutputPropertyGuides();

/// Prints the output types and the output properties, one indented line each, under two
/// headings.
void PrintOutputGuide(std::ostream& out);

/// A warning when a file name's extension is not one of an output type's; empty when it is
/// (or the type is unknown).
std::string ExtensionWarning(int32_t type, const std::string& fileName);

}  // namespace vortrel
