#include "model/IEffect.h"

#include "model/XmlFields.h"

namespace vortrel {

IEffect::IEffect(std::shared_ptr<DesTransition> desTransition)
    : IContent(std::move(desTransition)) {}

IEffect::IEffect(std::shared_ptr<DesEffect> desEffect) : IContent(std::move(desEffect)) {}

IEffect::~IEffect() = default;

void IEffect::SetParams(const std::wstring& params) {
    params_.clear();
    params_.reserve(params.size());
    for (wchar_t c : params) {
        if (!IsWideSpace(c)) {
            params_.push_back(c);
        }
    }
}

bool IEffect::ReadNameAndTimes(const tinyxml2::XMLElement& element) {
    std::wstring name;
    if (!xml::ReadText(element, "Name", name)) {
        return false;
    }
    SetSource(std::move(name));
    return ReadTimes(element);
}

bool IEffect::ReadParams(const tinyxml2::XMLElement& element) {
    std::wstring params;
    if (!xml::ReadOptionalText(element, "Params", params)) {
        return false;
    }
    SetParams(params);
    return true;
}

void IEffect::WriteNameAndTimes(tinyxml2::XMLDocument& document,
                                tinyxml2::XMLElement& element) const {
    xml::WriteText(document, element, "Name", name_);
    WriteTimes(document, element);
}

bool IsWideSpace(wchar_t c) {
    switch (static_cast<unsigned>(c)) {
        case 0x0009:  // tab, line feed, vertical tab, form feed, carriage return
        case 0x000A:
        case 0x000B:
        case 0x000C:
        case 0x000D:
        case 0x0020:  // space
        case 0x0085:  // next line
        case 0x00A0:  // no-break space
        case 0x1680:  // ogham space mark
        case 0x2028:  // line separator
        case 0x2029:  // paragraph separator
        case 0x202F:  // narrow no-break space
        case 0x205F:  // medium mathematical space
        case 0x3000:  // ideographic space
            return true;
        default:
            // En quad to hair space.
            return c >= 0x2000 && c <= 0x200A;
    }
}

}  // namespace vortrel
