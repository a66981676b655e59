#include "platform/linux/KeyedBitmaps.h"

#include <QBuffer>
#include <QByteArray>

#include "platform/linux/CacheFolder.h"
#include "platform/linux/FileBytes.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace vortrel {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;  // BI_RGB
constexpr uint32_t kBitFields = 3;     // BI_BITFIELDS: channel masks follow the info header
// Far beyond any picture a text clip draws; it keeps a damaged header from allocating wildly.
constexpr int64_t kMaxPixelBytes = int64_t{1} << 30;

// The copies users in this process hold: how many users hold each, and whether this process
// wrote it (a copy found on disk was written by another, which may still use it).
struct Holding {
    int users = 0;
    bool writtenHere = false;
};

// Builds for preview and for conversion may meet here, from several threads.
std::mutex& HoldingsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::filesystem::path, Holding>& Holdings() {
    static auto* holdings = new std::map<std::filesystem::path, Holding>();  // outlives users
    return *holdings;
}

uint32_t Read16(const std::string& bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8;
}

uint32_t Read32(const std::string& bytes, size_t at) {
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

// A 64-bit FNV-1a hash: stable across runs and builds, unlike std::hash.
uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

std::optional<Bitmap32> KeyedBitmaps::Decode(const std::string& bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const uint32_t offset = Read32(bytes, 10);
    const uint32_t infoSize = Read32(bytes, 14);
    const auto width = static_cast<int32_t>(Read32(bytes, 18));
    const auto height = static_cast<int32_t>(Read32(bytes, 22));
    const uint32_t bitCount = Read16(bytes, 28);
    const uint32_t compression = Read32(bytes, 30);
    if (infoSize < kInfoHeaderSize || bitCount != 32 || width <= 0 || height == 0 ||
        height == INT32_MIN) {
        return std::nullopt;
    }
    if (compression == kBitFields) {
        // Only the masks of the plain layout (B, G, R, fourth byte) read the same way.
        const size_t masks = kFileHeaderSize + kInfoHeaderSize;
        if (bytes.size() < masks + 12 || Read32(bytes, masks) != 0x00FF0000 ||
            Read32(bytes, masks + 4) != 0x0000FF00 || Read32(bytes, masks + 8) != 0x000000FF) {
            return std::nullopt;
        }
    } else if (compression != kUncompressed) {
        return std::nullopt;
    }
    const bool topDown = height < 0;
    const int32_t rows = topDown ? -height : height;
    const int64_t rowBytes = int64_t{width} * 4;
    const int64_t pixelBytes = rowBytes * rows;
    if (pixelBytes > kMaxPixelBytes || offset + pixelBytes > static_cast<int64_t>(bytes.size())) {
        return std::nullopt;
    }
    Bitmap32 bitmap{width, rows, std::vector<uint8_t>(static_cast<size_t>(pixelBytes))};
    for (int32_t y = 0; y < rows; ++y) {
        const int32_t stored = topDown ? y : rows - 1 - y;
        std::memcpy(&bitmap.pixels[static_cast<size_t>(rowBytes * y)],
                    &bytes[offset + static_cast<size_t>(rowBytes * stored)],
                    static_cast<size_t>(rowBytes));
    }
    return bitmap;
}

KeyedBitmaps::~KeyedBitmaps() {
    const std::lock_guard lock(HoldingsMutex());
    for (const std::filesystem::path& copy : held_) {
        const auto found = Holdings().find(copy);
        if (found == Holdings().end() || --found->second.users > 0) {
            continue;
        }
        if (found->second.writtenHere) {
            std::error_code ignored;  // a copy that cannot be removed is left to the bound
            std::filesystem::remove(copy, ignored);
        }
        Holdings().erase(found);
    }
}

std::filesystem::path KeyedBitmaps::Folder() {
    return CacheFolder::Of("keys");
}

std::optional<std::filesystem::path> KeyedBitmaps::PngOf(const std::filesystem::path& bitmap) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(bitmap, error);
    if (error) {
        return std::nullopt;
    }
    const auto modified = std::filesystem::last_write_time(bitmap, error);
    if (error) {
        return std::nullopt;
    }
    // A text clip writes a new file for every change, but a file rewritten in place under the
    // same name changes its size or time, and so its key.
    const std::string key = std::filesystem::absolute(bitmap, error).string() + '\n' +
                            std::to_string(size) + '\n' +
                            std::to_string(modified.time_since_epoch().count());
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.png", static_cast<unsigned long long>(Fnv1a(key)));
    const std::filesystem::path folder = Folder();
    const std::filesystem::path copy = folder / name;

    const std::lock_guard lock(HoldingsMutex());
    const auto hold = [&](bool written) {
        Holding& holding = Holdings()[copy];
        holding.writtenHere = holding.writtenHere || written;
        if (std::find(held_.begin(), held_.end(), copy) == held_.end()) {
            held_.push_back(copy);
            ++holding.users;
        }
        return copy;
    };
    if (std::filesystem::is_regular_file(copy, error)) {
        // Used again: the bound removes the least recently used copies first.
        std::filesystem::last_write_time(copy, std::filesystem::file_time_type::clock::now(),
                                         error);
        return hold(false);
    }

    const std::optional<std::string> bytes = ReadFileBytes(bitmap);
    const std::optional<Bitmap32> pixels = bytes ? Decode(*bytes) : std::nullopt;
    if (!pixels) {
        return std::nullopt;
    }
    // ARGB32 is straight (not premultiplied) alpha, as the bitmap stores it.
    QImage image(pixels->width, pixels->height, QImage::Format_ARGB32);
    if (image.isNull()) {
        return std::nullopt;
    }
    const size_t rowBytes = static_cast<size_t>(pixels->width) * 4;
    for (int32_t y = 0; y < pixels->height; ++y) {
        uint8_t* row = image.scanLine(y);
        const uint8_t* from = &pixels->pixels[rowBytes * static_cast<size_t>(y)];
        for (size_t x = 0; x < rowBytes; x += 4) {
            reinterpret_cast<QRgb*>(row)[x / 4] =
                qRgba(from[x + 2], from[x + 1], from[x], from[x + 3]);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") ||
        !WriteFileAtomically(copy, png.toStdString())) {
        return std::nullopt;
    }
    hold(true);
    // Copies that users here hold stay, whatever their age: their graphs may read them again.
    CacheFolder::Trim(folder, kMaxBytes, kMaxFiles,
                      [](const std::filesystem::path& file) { return Holdings().contains(file); });
    return copy;
}

}  // namespace vortrel
