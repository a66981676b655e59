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
    for (wchar_t c : name) {
        const auto code = static_cast<char32_t>(c);
        if (code == 0) {
            break;
        }
        if (code > 0xFFFF && sizeof(wchar_t) > 2) {
            if (used + 2 > room) {
                break;
            }
            faceName[used++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            faceName[used++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            if (used + 1 > room) {
                break;
            }
            faceName[used++] = static_cast<char16_t>(code);
        }
    }
}

}  // namespace vortrel
