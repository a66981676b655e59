#pragma once

#include <algorithm>
#include <string>

namespace vortrel {

// Orders wide strings by their UTF-16 code units, whatever the width of wchar_t, so that a
// list sorted by name comes out the same in every build: a character beyond U+FFFF (a
// surrogate pair in UTF-16) sorts after U+D7FF and before U+E000.
struct Utf16Less {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](wchar_t x, wchar_t y) { return Key(x) < Key(y); });
    }

  private:
    static unsigned long Key(wchar_t c) {
        const auto code = static_cast<unsigned long>(c);
        // U+E000..U+FFFF are single units above every surrogate in UTF-16.
        return code >= 0xE000 && code <= 0xFFFF ? code + 0x200000 : code;
    }
};

}  // namespace vortrel
