#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ports/ITextRasteriser.h"

namespace vortrel::testing {

// Draws each character as a solid 4 x 8 block from the layout box's corner, so that tests
// can tell exactly which pixels the text covers; can be told to fail.
class FakeTextRasteriser : public ITextRasteriser {
  public:
    bool Render(const std::wstring& text, const LogFont& font, int32_t x, int32_t y, int32_t width,
                int32_t height, std::vector<uint8_t>& coverage) override {
        lastFont = font;
        if (fails) {
            return false;
        }
        coverage.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        const int64_t right = x + 4 * static_cast<int64_t>(text.size());
        for (int64_t row = std::max<int64_t>(y, 0); row < std::min<int64_t>(y + 8, height); ++row) {
            for (int64_t column = std::max<int64_t>(x, 0); column < std::min<int64_t>(right, width);
                 ++column) {
                coverage[static_cast<size_t>(row * width + column)] = 255;
            }
        }
        return true;
    }

    bool fails = false;
    LogFont lastFont;
};

}  // namespace vortrel::testing
