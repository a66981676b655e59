#pragma once

#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

namespace vortrel {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

inline std::ostream& operator<<(std::ostream& out, Rgb p) {
    return out << "(" << p.r << "," << p.g << "," << p.b << ")";
}

// Conversions through YUV move a channel by a few steps.
inline ::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance = 20) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual << " is not near " << expected;
}

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// The RGBA picture of a producer at a frame, top row first, as a consumer asks for it; empty
// when none of that size came back, or only the test card MLT puts in place of a failed one.
inline std::vector<Rgb> FetchPicture(Mlt::Producer& producer, int position, int width, int height) {
    producer.seek(position);
    std::unique_ptr<Mlt::Frame> frame(producer.get_frame());
    mlt_image_format format = mlt_image_rgba;
    int gotWidth = width;
    int gotHeight = height;
    const uint8_t* image = frame->get_image(format, gotWidth, gotHeight);
    std::vector<Rgb> pixels;
    if (image != nullptr && format == mlt_image_rgba && gotWidth == width && gotHeight == height &&
        !frame->get_int("test_image")) {
        for (int i = 0; i < width * height; ++i) {
            pixels.push_back({image[4 * i], image[4 * i + 1], image[4 * i + 2]});
        }
    }
    return pixels;
}

}  // namespace vortrel
