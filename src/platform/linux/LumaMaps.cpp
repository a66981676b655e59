#include "platform/linux/LumaMaps.h"

#include "platform/linux/CacheFolder.h"
#include "platform/linux/FileBytes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <mutex>
#include <numbers>
#include <optional>
#include <system_error>

namespace vortrel {

namespace {

constexpr size_t kShapeCount = static_cast<size_t>(LumaShape::Clock) + 1;  // Clock comes last

const char* FileName(LumaShape shape) {
    switch (shape) {
        case LumaShape::LeftToRight:
            return "wipe-left-to-right.pgm";
        case LumaShape::RightToLeft:
            return "wipe-right-to-left.pgm";
        case LumaShape::TopToBottom:
            return "wipe-top-to-bottom.pgm";
        case LumaShape::BottomToTop:
            return "wipe-bottom-to-top.pgm";
        case LumaShape::TopLeftToBottomRight:
            return "wipe-top-left-to-bottom-right.pgm";
        case LumaShape::TopRightToBottomLeft:
            return "wipe-top-right-to-bottom-left.pgm";
        case LumaShape::Box:
            return "wipe-box.pgm";
        case LumaShape::Circle:
            return "wipe-circle.pgm";
        case LumaShape::BarnDoor:
            return "wipe-barn-door.pgm";
        case LumaShape::Clock:
            return "wipe-clock.pgm";
    }
    return "wipe-unknown.pgm";
}

// The level of one pixel centre (u, v in 0..1, left to right and top to bottom).
double Level(LumaShape shape, double u, double v) {
    // Circle and clock measure in picture units so that they stay round on the map's aspect.
    constexpr double kAspect = static_cast<double>(LumaMaps::kWidth) / LumaMaps::kHeight;
    const double dx = (u - 0.5) * kAspect;
    const double dy = v - 0.5;
    switch (shape) {
        case LumaShape::LeftToRight:
            return u;
        case LumaShape::RightToLeft:
            return 1.0 - u;
        case LumaShape::TopToBottom:
            return v;
        case LumaShape::BottomToTop:
            return 1.0 - v;
        case LumaShape::TopLeftToBottomRight:
            return (u + v) / 2.0;
        case LumaShape::TopRightToBottomLeft:
            return (1.0 - u + v) / 2.0;
        case LumaShape::Box:
            return std::max(std::abs(2.0 * u - 1.0), std::abs(2.0 * v - 1.0));
        case LumaShape::Circle:
            return std::hypot(dx, dy) / std::hypot(0.5 * kAspect, 0.5);
        case LumaShape::BarnDoor:
            return std::abs(2.0 * u - 1.0);
        case LumaShape::Clock: {
            // Angle from twelve o'clock, clockwise, with y growing downwards.
            double angle = std::atan2(dx, -dy);
            if (angle < 0.0) {
                angle += 2.0 * std::numbers::pi;
            }
            return angle / (2.0 * std::numbers::pi);
        }
    }
    return 0.0;
}

std::string PgmHeader() {
    return "P5\n" + std::to_string(LumaMaps::kWidth) + " " + std::to_string(LumaMaps::kHeight) +
           "\n65535\n";
}

}  // namespace

std::vector<uint16_t> LumaMaps::Make(LumaShape shape) {
    std::vector<uint16_t> map(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double level = Level(shape, (x + 0.5) / kWidth, (y + 0.5) / kHeight);
            map[static_cast<size_t>(y) * kWidth + x] =
                static_cast<uint16_t>(std::lround(std::clamp(level, 0.0, 1.0) * 65535.0));
        }
    }
    return map;
}

std::string LumaMaps::EncodePgm(LumaShape shape) {
    const std::vector<uint16_t> map = Make(shape);
    std::string bytes = PgmHeader();
    const size_t header = bytes.size();
    bytes.resize(header + map.size() * 2);
    // Samples wider than a byte are stored most significant byte first.
    for (size_t i = 0; i < map.size(); ++i) {
        bytes[header + 2 * i] = static_cast<char>(map[i] >> 8);
        bytes[header + 2 * i + 1] = static_cast<char>(map[i] & 0xFF);
    }
    return bytes;
}

std::filesystem::path LumaMaps::Folder() {
    return CacheFolder::Of("wipes");
}

std::filesystem::path LumaMaps::PathOf(LumaShape shape) {
    return Folder() / FileName(shape);
}

bool LumaMaps::Ensure(LumaShape shape) {
    static std::mutex mutex;
    // The file last compared in full, per shape; the cache folder may move with the environment.
    static std::array<std::filesystem::path, kShapeCount> verified;
    const std::lock_guard lock(mutex);

    std::error_code error;
    const std::filesystem::path path = PathOf(shape);
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        return false;
    }
    const size_t index = static_cast<size_t>(shape);
    if (verified[index] != path) {
        // The first time in a process the whole file is compared, so that a file left by a
        // build that drew the map differently, or damaged, is replaced.
        const std::string expected = EncodePgm(shape);
        if (ReadFileBytes(path) != expected && !WriteFileAtomically(path, expected)) {
            return false;
        }
        verified[index] = path;
        return true;
    }
    // Afterwards only a file that has gone (temporary folders get cleaned) or lost its length
    // is written again.
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    const std::uintmax_t expectedSize =
        PgmHeader().size() + static_cast<std::uintmax_t>(kWidth) * kHeight * 2;
    if (!error && size == expectedSize) {
        return true;
    }
    return WriteFileAtomically(path, EncodePgm(shape));
}

}  // namespace vortrel
