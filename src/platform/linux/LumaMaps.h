#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vortrel {

/// The wipe patterns the luma transition draws: where the incoming picture shows first.
enum class LumaShape {
    LeftToRight,
    RightToLeft,
    TopToBottom,
    BottomToTop,
    TopLeftToBottomRight,
    TopRightToBottomLeft,
    Box,       // a rectangle opening from the centre
    Circle,    // a circle opening from the centre
    BarnDoor,  // two doors opening from the vertical centre line
    Clock,     // a hand sweeping clockwise from twelve o'clock
};

// Greyscale maps for MLT's luma transition, which reveals the incoming picture where the map
// is darker than the transition's progress. No maps come with the system's MLT, so we make
// our own as 16-bit PGM files in the user's cache folder; the ten files are the same for every
// process and build, so they are kept there for all.
class LumaMaps {
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 360;

    /// The map of a shape, row by row, 0 = first revealed, 65535 = last.
    static std::vector<uint16_t> Make(LumaShape shape);
    /// The map of a shape as the bytes of a PGM file.
    static std::string EncodePgm(LumaShape shape);
    /// The folder holding the map files.
    static std::filesystem::path Folder();
    /// The file of a shape's map.
    static std::filesystem::path PathOf(LumaShape shape);
    /// Makes sure the shape's file is on disk and whole; false when it could not be written.
    static bool Ensure(LumaShape shape);
};

}  // namespace vortrel
