#pragma once

#include <cstdint>
#include <vector>

namespace vortrel {

// A device-independent bitmap as media detectors hand out frames: a 40-byte
// BITMAPINFOHEADER followed by the pixel rows, bottom row first, each padded to 4 bytes.
struct DibBitmap {
    std::vector<uint8_t> bits;  // header and pixels

    /// Width from the header.
    int32_t GetWidth() const { return ReadInt32(4); }
    /// Height from the header (positive: bottom-up rows).
    int32_t GetHeight() const { return ReadInt32(8); }
    /// Bits per pixel from the header.
    int32_t GetBitCount() const { return bits.size() >= 16 ? bits[14] | (bits[15] << 8) : 0; }

  private:
    int32_t ReadInt32(size_t at) const {
        if (bits.size() < at + 4) {
            return 0;
        }
        return static_cast<int32_t>(
            static_cast<uint32_t>(bits[at]) | static_cast<uint32_t>(bits[at + 1]) << 8 |
            static_cast<uint32_t>(bits[at + 2]) << 16 | static_cast<uint32_t>(bits[at + 3]) << 24);
    }
};

}  // namespace vortrel
