#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ports/ITextRasteriser.h"

namespace vortrel::testing {

// Covers the whole layout box, as the text clip takes what it is given without looking;
// keeps the font it was asked for and can be told to fail.
class FakeTextRasteriser : public ITextRasteriser {
  public:
    bool Render(const std::wstring& /*text*/, const LogFont& font, int32_t x, int32_t y,
                int32_t width, int32_t height, std::vector<uint8_t>& coverage) override {
        lastFont = font;
        lastBox = {x, y, width, height};
        coverage.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 255);
        return !fails;
    }

    bool fails = false;
    LogFont lastFont;
    std::array<int32_t, 4> lastBox{};  // x, y, width, height
};

}  // namespace vortrel::testing
