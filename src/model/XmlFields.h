#pragma once

#include <cstdint>
#include <string>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

namespace vortrel {

// Reading and writing the child elements that hold a content's fields in a project file.
// Text is UTF-8; numbers are written and parsed the same way whatever the process's locale,
// and a number must be the element's whole text.
namespace xml {

/// Reads the text of the first child of a name; false when it is missing or empty.
bool ReadText(const tinyxml2::XMLElement& parent, const char* name, std::wstring& value);
/// Reads the text of the first child of a name, which must exist but may be empty.
bool ReadOptionalText(const tinyxml2::XMLElement& parent, const char* name, std::wstring& value);
/// Reads a signed decimal.
bool ReadInt(const tinyxml2::XMLElement& parent, const char* name, int32_t& value);
/// Reads an unsigned decimal.
bool ReadUnsigned(const tinyxml2::XMLElement& parent, const char* name, uint32_t& value);
/// Reads a float.
bool ReadFloat(const tinyxml2::XMLElement& parent, const char* name, float& value);
/// Parses a signed decimal attribute.
bool ReadIntAttribute(const tinyxml2::XMLElement& element, const char* name, int32_t& value);
/// Parses a flag attribute: an integer (non-zero is true) or the words true and false.
bool ReadBoolAttribute(const tinyxml2::XMLElement& element, const char* name, bool& value);

/// Appends a child with a text; an empty text gives an element without text.
tinyxml2::XMLElement* WriteText(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent,
                                const char* name, const std::wstring& value);
/// Appends a child holding a signed decimal.
void WriteInt(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
              int32_t value);
/// Appends a child holding an unsigned decimal.
void WriteUnsigned(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
                   uint32_t value);
/// Appends a child holding a float with eight significant digits (0.1 is written 0.1).
void WriteFloat(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
                float value);

}  // namespace xml
}  // namespace vortrel
