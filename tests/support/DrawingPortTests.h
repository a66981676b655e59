#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ports/IDrawContext.h"

namespace vortrel::testing {

// Rows of the suite where a back end is known to give other pixels than the rules; the suite
// reports them (as "[ KNOWN    ]" lines and test properties) instead of failing them.
enum Difference : unsigned {
    kNoDifference = 0,
    kRoundWideJoins = 1,    // pens 3 wide leave the outer corner pixel of a join or cap out
    kAliasedSmallText = 2,  // text at 9 to 16 pixels has no grey levels (the face's own rule)
};

// A back end of the drawing port for the shared suite: its name, the maker of its drawing
// (none when it cannot start) and the differences it is known to have.
struct DrawingBackEnd {
    const char* name;
    std::shared_ptr<IDrawing> (*make)();
    unsigned differences = kNoDifference;
};

/// A back end's name, for test output.
inline void PrintTo(const DrawingBackEnd& backEnd, std::ostream* out) {
    *out << backEnd.name;
}

// The drawing port's pixel rules, one suite for every back end: each platform's test binary
// instantiates it with its drawing, so that both builds are held to the same rows.
class DrawingPortTest : public ::testing::TestWithParam<DrawingBackEnd> {
  protected:
    void SetUp() override;
    void TearDown() override { drawing.reset(); }
    /// Whether the back end is known to differ in a row, which is then reported.
    bool Known(Difference difference, const std::string& row) const;

    /// A surface filled with one colour.
    std::unique_ptr<IDrawSurface> Surface(int32_t width, int32_t height, ColorRef background = 0);

    std::shared_ptr<IDrawing> drawing;
};

/// The name of a back end, for the instantiations' test names.
std::string BackEndName(const ::testing::TestParamInfo<DrawingBackEnd>& info);

/// Logical font of Arial of a height and weight.
LogFont Arial(int32_t height, int32_t weight = 400);

/// The bytes of a PNG file of width x height RGBA pixels (stored, not compressed).
std::vector<uint8_t> EncodePng(int32_t width, int32_t height, const std::vector<uint32_t>& rgba);
/// The bytes of a BMP file of width x height pixels, 32 bits a pixel, the fourth byte unused.
std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, const std::vector<uint32_t>& rgba);
/// A pixel for the encoders: red, green, blue and alpha.
constexpr uint32_t Rgba(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    return static_cast<uint32_t>(red) << 24 | static_cast<uint32_t>(green) << 16 |
           static_cast<uint32_t>(blue) << 8 | alpha;
}

}  // namespace vortrel::testing
