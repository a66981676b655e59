#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/av/AvMediaDetector.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

using testing::Colour;
using testing::MediaFolder;
using testing::ToWide;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// Whether the pixel at a column and a row counted from the top of a bitmap is near a colour
// (lossy codecs and YUV round trips move each channel by a few steps).
::testing::AssertionResult PixelIs(const std::vector<uint8_t>& bitmap, int x, int yFromTop,
                                   Colour colour) {
    if (bitmap.size() < kBitmapInfoHeaderSize) {
        return ::testing::AssertionFailure() << "no bitmap";
    }
    const int width = static_cast<int>(Le32(bitmap, 4));
    const int height = static_cast<int>(Le32(bitmap, 8));
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (x < 0 || x >= width || yFromTop < 0 || yFromTop >= height ||
        bitmap.size() < kBitmapInfoHeaderSize + stride * static_cast<size_t>(height)) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << yFromTop << ") is outside the bitmap";
    }
    const size_t at = kBitmapInfoHeaderSize + stride * static_cast<size_t>(height - 1 - yFromTop) +
                      static_cast<size_t>(x) * 3;
    const Colour got{bitmap[at + 2], bitmap[at + 1], bitmap[at]};
    if (std::abs(got.red - colour.red) <= 16 && std::abs(got.green - colour.green) <= 16 &&
        std::abs(got.blue - colour.blue) <= 16) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << yFromTop << ") is R"
                                         << +got.red << " G" << +got.green << " B" << +got.blue;
}

// The detector on files generated for the whole process, each when a test first needs it:
// ctest runs every test in a process of its own.
class AvMediaDetectorTest : public ::testing::Test {
  protected:
    static MediaFolder& Files() {
        static MediaFolder files;
        return files;
    }
    static std::filesystem::path Folder() { return Files().Path(); }
    // Lossless, with sound: black for a second, then red for a second.
    static std::filesystem::path BlackThenRed() {
        return Files().MakeVideo("black-red.mkv",
                                 {{{testing::kBlack, 1.0}, {testing::kRed, 1.0}}, 64, 48, 25, 440});
    }
    // Keyframes every 10 frames and B-frames: black, green, blue, a second each.
    static std::filesystem::path WithKeyframes() {
        return Files().MakeVideo(
            "keyframes.mp4",
            {{{testing::kBlack, 1.0}, {testing::kGreen, 1.0}, {testing::kBlue, 1.0}},
             64,
             48,
             25,
             {}});
    }
    static std::filesystem::path Tone() { return Files().MakeTone("tone.mka", 1.5); }
    // A moving pattern whose length FFmpeg only guesses, far too short, from its bit rate.
    static std::filesystem::path BareStream() {
        return Files().MakeMpegVideoStream("pattern.m1v", 4.0, 25);
    }
    // Blue with a red top-left quarter.
    static std::filesystem::path Quarters() {
        return Files().MakeImage("quarters.png", 64, 48, testing::kBlue,
                                 testing::Patch{testing::kRed, 0, 0, 32, 24});
    }

    static std::unique_ptr<AvMediaDetector> Open(const std::filesystem::path& path) {
        auto detector = std::make_unique<AvMediaDetector>();
        EXPECT_TRUE(detector->SetFilename(ToWide(path))) << path;
        return detector;
    }

    static std::vector<uint8_t> Frame(AvMediaDetector& detector, double seconds, int32_t width = 16,
                                      int32_t height = 12) {
        std::vector<uint8_t> bitmap;
        EXPECT_TRUE(detector.GetBitmapBits(seconds, width, height, bitmap)) << seconds << " s";
        return bitmap;
    }
};

// The first stream is current after opening; a length of 0 is none, as a still has.
TEST_F(AvMediaDetectorTest, EachFileReportsItsStreamsLengthAndSize) {
    struct Case {
        std::filesystem::path file;
        int32_t streams;
        MediaStreamType type;
        double seconds;
        int32_t width, height;
    };
    for (const Case& c : {Case{BlackThenRed(), 2, MediaStreamType::Video, 2.0, 64, 48},
                          Case{Tone(), 1, MediaStreamType::Audio, 1.5, 0, 0},
                          Case{BareStream(), 1, MediaStreamType::Video, 4.0, 64, 48},
                          Case{Quarters(), 1, MediaStreamType::Video, 0.0, 64, 48}}) {
        SCOPED_TRACE(c.file);
        auto detector = Open(c.file);
        int32_t count = 0;
        MediaStreamType type = MediaStreamType::Other;
        double seconds = 0.0;
        int32_t width = 0;
        int32_t height = 0;
        ASSERT_TRUE(detector->GetOutputStreams(count));
        EXPECT_EQ(count, c.streams);
        ASSERT_TRUE(detector->GetStreamType(type));
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(detector->GetStreamLength(seconds), c.seconds > 0);
        EXPECT_NEAR(seconds, c.seconds, 0.05);
        EXPECT_EQ(detector->GetVideoFormat(width, height), c.width > 0);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}

TEST_F(AvMediaDetectorTest, AVideoWithSoundHasItsAudioStreamSecondUntilAnotherFileIsOpened) {
    auto detector = Open(BlackThenRed());
    MediaStreamType type = MediaStreamType::Other;
    double seconds = 0.0;
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(detector->SetCurrentStream(1));
    ASSERT_TRUE(detector->GetStreamType(type));
    EXPECT_EQ(type, MediaStreamType::Audio);
    ASSERT_TRUE(detector->GetStreamLength(seconds));
    EXPECT_NEAR(seconds, 2.0, 0.05);
    EXPECT_FALSE(detector->GetVideoFormat(width, height));

    EXPECT_FALSE(detector->SetCurrentStream(2));
    EXPECT_FALSE(detector->SetCurrentStream(-1));
    ASSERT_TRUE(detector->GetStreamType(type));  // a refused index keeps the current stream
    EXPECT_EQ(type, MediaStreamType::Audio);

    int32_t count = 0;
    EXPECT_FALSE(detector->SetFilename(ToWide(Folder() / "missing.mkv")));
    EXPECT_FALSE(detector->GetOutputStreams(count));
    ASSERT_TRUE(detector->SetFilename(ToWide(Quarters())));
    ASSERT_TRUE(detector->GetStreamType(type));  // stream 0 again, not the earlier 1
    EXPECT_EQ(type, MediaStreamType::Video);
    for (double time : {0.0, 5.0, 3600.0}) {  // a still picture shows at every time
        EXPECT_TRUE(PixelIs(Frame(*detector, time), 0, 0, testing::kRed)) << time << " s";
    }
    std::vector<uint8_t> bitmap;
    EXPECT_FALSE(Open(Tone())->GetBitmapBits(0.5, 16, 12, bitmap));
}

TEST_F(AvMediaDetectorTest, ABitmapIsAHeaderThenPaddedBgrRowsFromTheBottomUp) {
    auto detector = Open(Quarters());
    // 31 pixels make 93 bytes a row, padded to 96.
    const std::vector<uint8_t> bitmap = Frame(*detector, 0.0, 31, 22);
    ASSERT_EQ(bitmap.size(), kBitmapInfoHeaderSize + 96u * 22u);
    std::vector<uint32_t> header;
    for (size_t at = 0; at < kBitmapInfoHeaderSize; at += 4) {
        header.push_back(Le32(bitmap, at));
    }
    // Size, width, height, one plane and 24 bits, no compression, the image size, then zeros.
    EXPECT_EQ(header, (std::vector<uint32_t>{40, 31, 22, 1 | 24 << 16, 0, 96 * 22, 0, 0, 0, 0}));
    // The top-left quarter is red, the rest blue; rows are read from the end of the data
    // up, and red is the third byte of a pixel.
    EXPECT_TRUE(PixelIs(bitmap, 0, 0, testing::kRed));
    EXPECT_TRUE(PixelIs(bitmap, 30, 0, testing::kBlue));
    EXPECT_TRUE(PixelIs(bitmap, 0, 21, testing::kBlue));
    for (size_t row = 0; row < 22; ++row) {
        const size_t padding = kBitmapInfoHeaderSize + 96u * row + 93u;
        EXPECT_EQ(bitmap[padding] | bitmap[padding + 1] | bitmap[padding + 2], 0) << row;
    }
}

TEST_F(AvMediaDetectorTest, FramesShowTheColourOnScreenAtEachTime) {
    auto detector = Open(BlackThenRed());
    for (const auto& [seconds, colour] : {std::pair{0.0, testing::kBlack},
                                          {0.999, testing::kBlack},
                                          {1.0, testing::kRed},
                                          {1.99, testing::kRed}}) {
        EXPECT_TRUE(PixelIs(Frame(*detector, seconds), 8, 6, colour)) << seconds << " s";
    }
    // The picture ends at 2 s, though the file runs on a little with its sound.
    std::vector<uint8_t> bitmap;
    EXPECT_FALSE(detector->GetBitmapBits(2.0, 16, 12, bitmap));
    EXPECT_TRUE(PixelIs(Frame(*detector, 0.5), 8, 6, testing::kBlack));  // and back again
    // Any size: the picture is scaled.
    const std::vector<uint8_t> large = Frame(*detector, 1.5, 130, 97);
    EXPECT_EQ(Le32(large, 4), 130u);
    EXPECT_TRUE(PixelIs(large, 129, 96, testing::kRed));
}

TEST_F(AvMediaDetectorTest, FramesBetweenKeyframesAreDecodedForwardInAnyOrder) {
    auto detector = Open(WithKeyframes());
    // 1.96 s is the last green frame, just before a keyframe that is stored ahead of it.
    const std::vector<std::pair<double, Colour>> expected = {
        {2.5, testing::kBlue},  {0.3, testing::kBlack},  {1.96, testing::kGreen},
        {1.0, testing::kGreen}, {0.96, testing::kBlack}, {2.0, testing::kBlue}};
    for (const auto& [seconds, colour] : expected) {
        EXPECT_TRUE(PixelIs(Frame(*detector, seconds), 8, 6, colour)) << seconds << " s";
    }
}

TEST_F(AvMediaDetectorTest, NoFrameAtOrPastTheEndNorForAnImpossibleRequest) {
    for (const auto& path : {BlackThenRed(), WithKeyframes()}) {
        auto detector = Open(path);
        double length = 0.0;
        ASSERT_TRUE(detector->GetStreamLength(length));
        std::vector<uint8_t> bitmap;
        for (double seconds : {length, 1e12, kInfinity, kNaN, -0.01, -kInfinity}) {
            EXPECT_FALSE(detector->GetBitmapBits(seconds, 16, 12, bitmap)) << seconds << " s";
        }
        const std::pair<int, int> sizes[] = {{0, 12},
                                             {16, 0},
                                             {-16, 12},
                                             {16, -12},
                                             {kMaxBitmapSide + 1, 12},
                                             {16, kMaxBitmapSide + 1}};
        for (auto [width, height] : sizes) {
            EXPECT_FALSE(detector->GetBitmapBits(0.5, width, height, bitmap))
                << width << "x" << height;
        }
        EXPECT_TRUE(bitmap.empty()) << "a refused request leaves the bitmap alone";
        EXPECT_TRUE(detector->GetBitmapBits(0.5, 16, 12, bitmap)) << "and the file stays usable";
    }
}

TEST_F(AvMediaDetectorTest, ABareStreamGivesFramesToItsMeasuredEnd) {
    auto detector = Open(BareStream());
    std::vector<uint8_t> bitmap;
    EXPECT_NE(Frame(*detector, 0.0), Frame(*detector, 2.0)) << "the pattern moves";
    EXPECT_FALSE(Frame(*detector, 3.97).empty()) << "the hundredth frame";
    EXPECT_FALSE(detector->GetBitmapBits(4.0, 16, 12, bitmap));
    EXPECT_FALSE(Frame(*detector, 1.0).empty()) << "and back";
}

TEST_F(AvMediaDetectorTest, AFileOfSubtitlesAloneOpensWithNoStreams) {
    auto detector = Open(Files().MakeSubtitlesOnly("subtitles.mkv"));
    int32_t count = -1;
    double seconds = 0.0;
    std::vector<uint8_t> bitmap;
    ASSERT_TRUE(detector->GetOutputStreams(count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(detector->SetCurrentStream(0));
    EXPECT_FALSE(detector->GetStreamLength(seconds));
    EXPECT_FALSE(detector->GetBitmapBits(0.0, 16, 12, bitmap));
}

TEST_F(AvMediaDetectorTest, FilesThatAreNotMediaAreRefused) {
    for (const auto& path : Files().MakeNonMedia(WithKeyframes(), Quarters())) {
        AvMediaDetector detector;
        int32_t count = 0;
        double seconds = 0.0;
        std::vector<uint8_t> bitmap;
        EXPECT_FALSE(detector.SetFilename(ToWide(path))) << path;
        EXPECT_FALSE(detector.GetOutputStreams(count));
        EXPECT_FALSE(detector.SetCurrentStream(0));
        EXPECT_FALSE(detector.GetStreamLength(seconds));
        EXPECT_FALSE(detector.GetBitmapBits(0.0, 16, 12, bitmap));
    }
    AvMediaDetector detector;
    EXPECT_FALSE(detector.SetFilename(L""));
    EXPECT_FALSE(detector.SetFilename(ToWide(BlackThenRed()) + std::wstring(1, L'\0') + L"x"));
}

TEST_F(AvMediaDetectorTest, ATruncatedVideoGivesFramesUpToTheCutOnly) {
    auto detector = Open(Files().WriteTruncatedCopy(BlackThenRed(), "half.mkv", 0.5));
    std::vector<uint8_t> bitmap;
    EXPECT_TRUE(PixelIs(Frame(*detector, 0.2), 8, 6, testing::kBlack));
    EXPECT_FALSE(detector->GetBitmapBits(1.8, 16, 12, bitmap));
    EXPECT_TRUE(PixelIs(Frame(*detector, 0.1), 8, 6, testing::kBlack));
}

TEST_F(AvMediaDetectorTest, ANameOutsideAsciiIsHandedToTheFileSystemAsUtf8) {
    // "vidéo-日本.mkv", written by its UTF-8 bytes and opened by its wide name.
    const std::filesystem::path copy = Folder() / "vid\xC3\xA9o-\xE6\x97\xA5\xE6\x9C\xAC.mkv";
    std::filesystem::copy_file(BlackThenRed(), copy);
    AvMediaDetector detector;
    ASSERT_TRUE(detector.SetFilename(ToWide(Folder()) + L"/vid\u00E9o-\u65E5\u672C.mkv"));
    EXPECT_TRUE(PixelIs(Frame(detector, 1.5), 8, 6, testing::kRed));
}

}  // namespace
}  // namespace vortrel
