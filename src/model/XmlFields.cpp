#include "model/XmlFields.h"

#include <tinyxml2.h>

#include <charconv>
#include <string_view>
#include <system_error>

#include "base/Utf8.h"

namespace vortrel::xml {

namespace {

std::string_view Trimmed(const char* text) {
    std::string_view view = text != nullptr ? text : "";
    const auto first = view.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return view.substr(first, view.find_last_not_of(" \t\r\n") - first + 1);
}

// Parses the whole (trimmed) text as a number; a leading plus sign is allowed.
template <typename T>
bool ParseNumber(const char* text, T& value) {
    std::string_view view = Trimmed(text);
    if (!view.empty() && view.front() == '+') {
        view.remove_prefix(1);
    }
    if (view.empty()) {
        return false;
    }
    T parsed{};
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), parsed);
    if (error != std::errc() || end != view.data() + view.size()) {
        return false;
    }
    value = parsed;
    return true;
}

const char* ChildText(const tinyxml2::XMLElement& parent, const char* name, bool& present) {
    const tinyxml2::XMLElement* child = parent.FirstChildElement(name);
    present = child != nullptr;
    return present ? child->GetText() : nullptr;
}

template <typename T>
bool ReadNumber(const tinyxml2::XMLElement& parent, const char* name, T& value) {
    bool present = false;
    const char* text = ChildText(parent, name, present);
    return present && ParseNumber(text, value);
}

// Appends a child whose text is what to_chars makes of the value with the given arguments.
template <typename... Format>
void WriteNumber(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
                 Format... format) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text - 1, format...);
    *result.ptr = '\0';
    tinyxml2::XMLElement* child = document.NewElement(name);
    child->SetText(text);
    parent.InsertEndChild(child);
}

}  // namespace

bool ReadText(const tinyxml2::XMLElement& parent, const char* name, std::wstring& value) {
    bool present = false;
    const char* text = ChildText(parent, name, present);
    if (text == nullptr || *text == '\0') {
        return false;
    }
    value = FromUtf8(text);
    return true;
}

bool ReadOptionalText(const tinyxml2::XMLElement& parent, const char* name, std::wstring& value) {
    bool present = false;
    const char* text = ChildText(parent, name, present);
    if (!present) {
        return false;
    }
    value = FromUtf8(text != nullptr ? text : "");
    return true;
}

bool ReadInt(const tinyxml2::XMLElement& parent, const char* name, int32_t& value) {
    return ReadNumber(parent, name, value);
}

bool ReadUnsigned(const tinyxml2::XMLElement& parent, const char* name, uint32_t& value) {
    return ReadNumber(parent, name, value);
}

bool ReadFloat(const tinyxml2::XMLElement& parent, const char* name, float& value) {
    return ReadNumber(parent, name, value);
}

bool ReadIntAttribute(const tinyxml2::XMLElement& element, const char* name, int32_t& value) {
    return ParseNumber(element.Attribute(name), value);
}

bool ReadBoolAttribute(const tinyxml2::XMLElement& element, const char* name, bool& value) {
    const char* text = element.Attribute(name);
    if (text == nullptr) {
        return false;
    }
    int64_t number = 0;
    if (ParseNumber(text, number)) {
        value = number != 0;
        return true;
    }
    const std::string_view word = Trimmed(text);
    if (word == "true" || word == "false") {
        value = word == "true";
        return true;
    }
    return false;
}

tinyxml2::XMLElement* WriteText(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent,
                                const char* name, const std::wstring& value) {
    tinyxml2::XMLElement* child = document.NewElement(name);
    if (!value.empty()) {
        child->SetText(ToUtf8(value).c_str());
    }
    parent.InsertEndChild(child);
    return child;
}

void WriteInt(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
              int32_t value) {
    WriteNumber(document, parent, name, value);
}

void WriteUnsigned(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
                   uint32_t value) {
    WriteNumber(document, parent, name, value);
}

void WriteFloat(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const char* name,
                float value) {
    WriteNumber(document, parent, name, value, std::chars_format::general, 8);
}

}  // namespace vortrel::xml
