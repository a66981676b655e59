#pragma once

#include <cstdint>
#include <vector>

namespace vortrel {

/// The bytes of a 32-bit BMP file (file header, 40-byte info header, uncompressed rows bottom
/// row first) from width x height pixels given top row first as B, G, R and a fourth byte
/// that the file keeps as it is. Empty when the size is not positive or too large.
std::vector<uint8_t> EncodeBitmapFile32(int32_t width, int32_t height,
                                        const std::vector<uint8_t>& pixelsTopDown);

}  // namespace vortrel
