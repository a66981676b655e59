#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortrel {

// A 16-byte class id, laid out as the platform's GUID: one 32-bit, two 16-bit and eight
// single-byte fields. Text form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    /// Parses the braced registry form (hex digits in either case); none when malformed.
    static std::optional<Guid> Parse(std::wstring_view text);
    /// A stable id derived from a name: the same name always yields the same id.
    static Guid FromName(std::string_view name);
    /// The braced registry form in upper case.
    std::wstring ToString() const;
    /// The sixteen bytes in memory order (data1..data3 little-endian).
    std::array<uint8_t, 16> ToBytes() const;

    auto operator<=>(const Guid&) const = default;
};

/// The audio mixer, the volume effect of every audio clip.
inline constexpr Guid kClsidAudMixer{
    0x036A9790, 0xC153, 0x11d2, {0x9E, 0xF7, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
/// The key transition that lays the text track over the video.
inline constexpr Guid kClsidDxtKey{
    0xC5B19592, 0x145E, 0x11d3, {0x9F, 0x04, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

}  // namespace vortrel
