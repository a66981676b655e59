#include "ports/LogFont.h"

namespace vortrel {

std::wstring LogFont::GetFaceName() const {
    std::wstring name;
    for (size_t i = 0; i < faceName.size() && faceName[i] != 0; ++i) {
        const char32_t unit = faceName[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < faceName.size() &&
            faceName[i + 1] >= 0xDC00 && faceName[i + 1] <= 0xDFFF) {
            const char32_t low = faceName[++i];
            const char32_t code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            if constexpr (sizeof(wchar_t) == 2) {
                name.push_back(static_cast<wchar_t>(unit));
                name.push_back(static_cast<wchar_t>(low));
            } else {
                name.push_back(static_cast<wchar_t>(code));
            }
        } else {
            name.push_back(static_cast<wchar_t>(unit));
        }
    }
    return name;
}

void LogFont::SetFaceName(const std::wstring& name) {
    faceName.fill(0);
    size_t used = 0;
    const size_t room = faceName.size() - 1;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto code = static_cast<char32_t>(name[i]);
        if (code == 0) {
            break;
        }
        // A character of two UTF-16 units is kept whole or not at all: a pair already in
        // UTF-16 (a 16-bit wchar_t) as well as one made here from a code point.
        const bool pairInName = code >= 0xD800 && code <= 0xDBFF && i + 1 < name.size() &&
                                static_cast<char32_t>(name[i + 1]) >= 0xDC00 &&
                                static_cast<char32_t>(name[i + 1]) <= 0xDFFF;
        if (pairInName || code > 0xFFFF) {
            if (used + 2 > room) {
                break;
            }
            if (pairInName) {
                faceName[used++] = static_cast<char16_t>(code);
                faceName[used++] = static_cast<char16_t>(name[++i]);
            } else {
                faceName[used++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
                faceName[used++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            }
        } else {
            if (used + 1 > room) {
                break;
            }
            faceName[used++] = static_cast<char16_t>(code);
        }
    }
}

}  // namespace vortrel
