#include "model/BitmapFile.h"

#include <cstring>

namespace vortrel {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
// A BMP's sizes are 32-bit; stay well inside them.
constexpr int64_t kMaxPixelBytes = int64_t{1} << 30;

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBitmapFile32(int32_t width, int32_t height,
                                        const std::vector<uint8_t>& pixelsTopDown) {
    const int64_t rowBytes = int64_t{width} * 4;
    const int64_t pixelBytes = rowBytes * height;
    if (width <= 0 || height <= 0 || pixelBytes > kMaxPixelBytes ||
        static_cast<int64_t>(pixelsTopDown.size()) != pixelBytes) {
        return {};
    }
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<uint8_t> file(offset + static_cast<size_t>(pixelBytes), 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, 10, offset);
    Put32(file, 14, kInfoHeaderSize);
    Put32(file, 18, static_cast<uint32_t>(width));
    Put32(file, 22, static_cast<uint32_t>(height));  // positive: rows bottom-up
    Put16(file, 26, 1);                              // planes
    Put16(file, 28, 32);                             // bits per pixel
    Put32(file, 34, static_cast<uint32_t>(pixelBytes));
    Put32(file, 38, 2835);  // 72 dpi, as pixels per metre
    Put32(file, 42, 2835);
    for (int32_t y = 0; y < height; ++y) {
        const size_t from = static_cast<size_t>(rowBytes) * static_cast<size_t>(y);
        const size_t to =
            offset + static_cast<size_t>(rowBytes) * static_cast<size_t>(height - 1 - y);
        std::memcpy(&file[to], &pixelsTopDown[from], static_cast<size_t>(rowBytes));
    }
    return file;
}

}  // namespace vortrel
