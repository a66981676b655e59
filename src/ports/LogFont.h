#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vortrel {

// A logical font as the platform's font records describe it: a text clip keeps one and the
// host passes fonts as handles to such records. Height follows the platform's rule: negative
// is the character height in pixels, positive the cell height, 0 a default size.
struct LogFont {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;  // 0 default, 400 normal, 700 bold
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::array<char16_t, 32> faceName{};  // UTF-16, terminated within the 32 units

    /// The face name as a wide string, up to its terminator.
    std::wstring GetFaceName() const;
    /// Stores a face name, cut to the 31 units that fit before the terminator (a character
    /// that needs two units is never split).
    void SetFaceName(const std::wstring& name);

    bool operator==(const LogFont&) const = default;
};

}  // namespace vortrel
