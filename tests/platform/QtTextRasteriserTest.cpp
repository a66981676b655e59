#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "model/TextClip.h"
#include "platform/linux/QtTextRasteriser.h"
#include "support/FakeDeviceCatalog.h"

namespace vortrel {
namespace {

LogFont SansFont(int32_t height) {
    LogFont font;
    font.height = height;
    font.weight = 700;
    font.SetFaceName(L"Liberation Sans");
    return font;
}

int CountCovered(const std::vector<uint8_t>& coverage) {
    return static_cast<int>(
        std::count_if(coverage.begin(), coverage.end(), [](uint8_t a) { return a > 0; }));
}

class QtText : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        SetTextRasteriser(StartQtTextRasteriser());
        ASSERT_NE(GetTextRasteriser(), nullptr);
    }
    static void TearDownTestSuite() { SetTextRasteriser(nullptr); }
    QtTextRasteriser rasteriser;
    std::vector<uint8_t> coverage;
};

TEST_F(QtText, CoverageFollowsTheGlyphsFromTheLayoutCornerLineFeedsAndHeight) {
    ASSERT_TRUE(rasteriser.Render(L"HI", SansFont(-20), 10, 5, 80, 40, coverage));
    ASSERT_EQ(coverage.size(), 80u * 40u);
    EXPECT_GT(CountCovered(coverage), 50);
    // Nothing left of or above the layout corner, and antialiased edges in between.
    for (int i = 0; i < 80 * 40; ++i) {
        ASSERT_TRUE(coverage[i] == 0 || (i % 80 >= 9 && i / 80 >= 4)) << i % 80 << "," << i / 80;
    }
    EXPECT_TRUE(
        std::any_of(coverage.begin(), coverage.end(), [](uint8_t a) { return a > 0 && a < 255; }));
    EXPECT_TRUE(std::any_of(coverage.begin(), coverage.end(), [](uint8_t a) { return a == 255; }));

    // Empty or off-canvas text covers nothing; an empty canvas is refused.
    ASSERT_TRUE(rasteriser.Render(L"", SansFont(-20), 0, 0, 32, 16, coverage));
    EXPECT_EQ(CountCovered(coverage), 0);
    ASSERT_TRUE(rasteriser.Render(L"Hello", SansFont(-20), 400, 0, 32, 16, coverage));
    EXPECT_EQ(CountCovered(coverage), 0);
    EXPECT_FALSE(rasteriser.Render(L"x", SansFont(-20), 0, 0, 0, 16, coverage));
    // Any escapement a project file holds turns the text; INT_MIN has no int negation.
    LogFont turned = SansFont(-20);
    turned.escapement = INT32_MIN;
    EXPECT_TRUE(rasteriser.Render(L"x", turned, 0, 0, 16, 16, coverage));

    ASSERT_TRUE(rasteriser.Render(L"I\nI", SansFont(-20), 0, 0, 40, 80, coverage));
    for (int row : {10, 33}) {  // the first line and the second
        EXPECT_GT(CountCovered({coverage.begin() + row * 40, coverage.begin() + row * 40 + 40}), 0)
            << row;
    }
    const int small =
        (rasteriser.Render(L"W", SansFont(-10), 0, 0, 60, 60, coverage), CountCovered(coverage));
    const int large =
        (rasteriser.Render(L"W", SansFont(-40), 0, 0, 60, 60, coverage), CountCovered(coverage));
    EXPECT_GT(large, 4 * small);
}

// The whole text clip rendering: a BMP of the canvas size in the text colour whose fourth
// bytes are the glyph coverage.
TEST_F(QtText, TextClipWritesABitmapWhoseAlphaIsTheGlyphs) {
    testing::FakeDeviceCatalog devices;
    DesTimeline timeline(devices);
    DesVideoGroup group(&timeline, 320, 240, 15.0f);
    DesTrack track(group);
    TextClip clip(&track);
    clip.SetSource(L"Title");
    clip.SetLogFont(SansFont(-16));
    clip.SetColor(0x00336699);  // red 0x99, green 0x66, blue 0x33
    clip.SetVideoTrackSize(64, 20);
    const std::filesystem::path path = clip.RenderToBitmapFile();

    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(file.size(), 54u + 64u * 20u * 4u);
    EXPECT_EQ(file[28], 32);  // bits per pixel
    int covered = 0;
    for (size_t i = 54; i < file.size(); i += 4) {
        ASSERT_TRUE(file[i] == 0x33 && file[i + 1] == 0x66 && file[i + 2] == 0x99) << i;
        covered += file[i + 3] > 0;
    }
    EXPECT_GT(covered, 20);
}

}  // namespace
}  // namespace vortrel
