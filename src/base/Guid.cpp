#include "base/Guid.h"

#include <cstdio>

namespace vortrel {

namespace {

// Reads `digits` hex digits at text[pos]; none when one is not a hex digit.
std::optional<uint32_t> ReadHex(std::wstring_view text, size_t pos, size_t digits) {
    uint32_t value = 0;
    for (size_t i = pos; i < pos + digits; ++i) {
        const wchar_t c = text[i];
        uint32_t nibble = 0;
        if (c >= L'0' && c <= L'9') {
            nibble = static_cast<uint32_t>(c - L'0');
        } else if (c >= L'a' && c <= L'f') {
            nibble = static_cast<uint32_t>(c - L'a' + 10);
        } else if (c >= L'A' && c <= L'F') {
            nibble = static_cast<uint32_t>(c - L'A' + 10);
        } else {
            return std::nullopt;
        }
        value = (value << 4) | nibble;
    }
    return value;
}

// 64-bit FNV-1a: small, stable across builds and platforms.
uint64_t Fnv1a(std::string_view text, uint64_t hash) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

std::optional<Guid> Guid::Parse(std::wstring_view text) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (text.size() != 38 || text[0] != L'{' || text[37] != L'}' || text[9] != L'-' ||
        text[14] != L'-' || text[19] != L'-' || text[24] != L'-') {
        return std::nullopt;
    }
    Guid guid;
    const auto d1 = ReadHex(text, 1, 8);
    const auto d2 = ReadHex(text, 10, 4);
    const auto d3 = ReadHex(text, 15, 4);
    if (!d1 || !d2 || !d3) {
        return std::nullopt;
    }
    guid.data1 = *d1;
    guid.data2 = static_cast<uint16_t>(*d2);
    guid.data3 = static_cast<uint16_t>(*d3);
    const size_t bytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < 8; ++i) {
        const auto byte = ReadHex(text, bytePositions[i], 2);
        if (!byte) {
            return std::nullopt;
        }
        guid.data4[i] = static_cast<uint8_t>(*byte);
    }
    return guid;
}

Guid Guid::FromName(std::string_view name) {
    const uint64_t high = Fnv1a(name, 0xcbf29ce484222325ULL);
    const uint64_t low = Fnv1a(name, high ^ 0x9e3779b97f4a7c15ULL);
    Guid guid;
    guid.data1 = static_cast<uint32_t>(high >> 32);
    guid.data2 = static_cast<uint16_t>(high >> 16);
    // Version 5 layout bits, so the id reads as a name-based one.
    guid.data3 = static_cast<uint16_t>((high & 0x0FFF) | 0x5000);
    for (size_t i = 0; i < 8; ++i) {
        guid.data4[i] = static_cast<uint8_t>(low >> (56 - 8 * i));
    }
    guid.data4[0] = static_cast<uint8_t>((guid.data4[0] & 0x3F) | 0x80);
    return guid;
}

std::wstring Guid::ToString() const {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1,
                  data2, data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5],
                  data4[6], data4[7]);
    return std::wstring(text, text + 38);
}

std::array<uint8_t, 16> Guid::ToBytes() const {
    std::array<uint8_t, 16> bytes{};
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(data1 >> (8 * i));
    }
    bytes[4] = static_cast<uint8_t>(data2);
    bytes[5] = static_cast<uint8_t>(data2 >> 8);
    bytes[6] = static_cast<uint8_t>(data3);
    bytes[7] = static_cast<uint8_t>(data3 >> 8);
    for (size_t i = 0; i < 8; ++i) {
        bytes[8 + i] = data4[i];
    }
    return bytes;
}

}  // namespace vortrel
