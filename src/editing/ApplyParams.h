#pragma once

#include <string>

namespace vortrel {

class EditNode;
class EditTimeline;

/// Turns a parameter text of name=value items separated by commas into the properties of a
/// transition or effect node. Empty items are kept in the count; an item that is not exactly
/// one name and one value is skipped. An empty text leaves the node's earlier properties in
/// force. Raises DesError "Could not create property setter" or "Could not set property".
void ApplyParams(const std::wstring& params, EditNode& object, EditTimeline& timeline);

}  // namespace vortrel
