#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "resources/Resources.h"

namespace vortrel {
namespace {

enum class Format { Png, Bitmap };

struct Expected {
    int id;
    const char* file;
    Format format;
    int size;  // width and height
};

// The ids are fixed: hosts and the registry name the toolbox bitmap by its number.
const Expected kResources[] = {
    {106, "toolbox.bmp", Format::Bitmap, 24},       {204, "track-video.png", Format::Png, 50},
    {205, "track-transition.png", Format::Png, 48}, {206, "track-audio.png", Format::Png, 48},
    {207, "track-effect.png", Format::Png, 48},     {208, "track-image.png", Format::Png, 48},
    {209, "track-text.png", Format::Png, 48},
};

void PrintTo(const Expected& expected, std::ostream* out) {
    *out << expected.file;
}

uint32_t BigEndian(std::span<const uint8_t> bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
           uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

uint32_t LittleEndian(std::span<const uint8_t> bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

class ResourcesTest : public ::testing::TestWithParam<Expected> {};

TEST_P(ResourcesTest, IsTheFileOfTheResourceFolder) {
    const auto bytes = ResourceBytes(GetParam().id);
    ASSERT_TRUE(bytes.has_value());
    std::ifstream in(std::string(VORTREL_RESOURCE_DIR "/") + GetParam().file, std::ios::binary);
    ASSERT_TRUE(in) << GetParam().file;
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(std::ranges::equal(*bytes, file)) << "rebuild after changing " << GetParam().file;
}

// The header fields: PNG signature and IHDR (8 bits a sample, colour type 6 = RGBA); or the
// bitmap file and info headers (32 bits a pixel, uncompressed, every pixel present).
TEST_P(ResourcesTest, HeaderGivesSizeAndDepth) {
    const Expected& expected = GetParam();
    const std::span<const uint8_t> bytes = ResourceBytes(expected.id).value();
    if (expected.format == Format::Png) {
        ASSERT_GE(bytes.size(), 33u);
        const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
        EXPECT_TRUE(std::ranges::equal(bytes.first(8), signature));
        EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
        EXPECT_EQ(BigEndian(bytes, 16), uint32_t(expected.size));
        EXPECT_EQ(BigEndian(bytes, 20), uint32_t(expected.size));
        EXPECT_EQ(bytes[24], 8) << "bit depth";
        EXPECT_EQ(bytes[25], 6) << "colour type";
    } else {
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(LittleEndian(bytes, 2, 4), bytes.size());
        const uint32_t pixels = LittleEndian(bytes, 10, 4);
        EXPECT_EQ(LittleEndian(bytes, 14, 4), 40u) << "info header size";
        EXPECT_EQ(LittleEndian(bytes, 18, 4), uint32_t(expected.size));
        EXPECT_EQ(LittleEndian(bytes, 22, 4), uint32_t(expected.size));
        EXPECT_EQ(LittleEndian(bytes, 26, 2), 1u) << "planes";
        EXPECT_EQ(LittleEndian(bytes, 28, 2), 32u) << "bits per pixel";
        EXPECT_EQ(LittleEndian(bytes, 30, 4), 0u) << "compression";
        EXPECT_EQ(bytes.size() - pixels, size_t(expected.size * expected.size * 4));
    }
}

// Drawn on the title column, a picture must leave its corners to the background and still
// show something: the corners are transparent and part of the picture is opaque.
TEST_P(ResourcesTest, BackgroundIsTransparent) {
    const Expected& expected = GetParam();
    const std::span<const uint8_t> bytes = ResourceBytes(expected.id).value();
    std::vector<int> alpha;  // row by row from the top
    const int n = expected.size;
    if (expected.format == Format::Png) {
        const QImage image = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "PNG")
                                 .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(n, n));
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                alpha.push_back(qAlpha(image.pixel(x, y)));
            }
        }
    } else {
        const uint32_t pixels = LittleEndian(bytes, 10, 4);
        for (int y = n - 1; y >= 0; --y) {  // rows are kept bottom-up
            for (int x = 0; x < n; ++x) {
                alpha.push_back(bytes[pixels + (size_t(y) * n + x) * 4 + 3]);
            }
        }
    }
    for (int corner : {0, n - 1, n * (n - 1), n * n - 1}) {
        EXPECT_EQ(alpha[corner], 0) << "pixel " << corner % n << "," << corner / n;
    }
    EXPECT_GT(std::ranges::count(alpha, 255), n * n / 8);
}

INSTANTIATE_TEST_SUITE_P(EveryId, ResourcesTest, ::testing::ValuesIn(kResources),
                         [](const auto& test) { return std::to_string(test.param.id); });

TEST(ResourceBytesTest, NamedIdsAreTheFixedOnes) {
    EXPECT_EQ(kToolboxBitmapId, 106);
    EXPECT_EQ(kTrackImageIds, (std::array<int, 8>{205, 204, 204, 208, 207, 206, 206, 209}));
}

TEST(ResourceBytesTest, OtherIdsHaveNoResource) {
    for (int id : {0, -1, 1, 100, 101, 105, 107, 203, 210, 1106}) {
        EXPECT_FALSE(ResourceBytes(id).has_value()) << id;
    }
}

}  // namespace
}  // namespace vortrel
