#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/IDrawContext.h"

namespace vortrel::testing {

// A back end of the drawing port for the shared suite: its name and the maker of its
// drawing (none when it cannot start).
struct DrawingBackEnd {
    const char* name;
    std::shared_ptr<IDrawing> (*make)();
};

// The drawing port's pixel rules, one suite for every back end: each platform's test binary
// instantiates it with its drawing, so that both builds are held to the same rows.
class DrawingPortTest : public ::testing::TestWithParam<DrawingBackEnd> {
  protected:
    void SetUp() override;
    void TearDown() override { drawing.reset(); }

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
