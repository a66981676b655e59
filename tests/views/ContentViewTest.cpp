#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/AudioClip.h"
#include "model/ImageClip.h"
#include "model/MediaCache.h"
#include "model/TimeScale.h"
#include "model/VideoClip.h"
#include "support/ContentViewFixture.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "support/TestView.h"
#include "views/ImageStripView.h"
#include "views/MouseDispatcher.h"
#include "views/VideoView.h"
#include "views/WaveformView.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::DrawLog;
using testing::MakeDib;
using testing::Place;
using testing::PlainContentView;
using testing::RecordingDrawContext;
using testing::RecordingDrawing;
using testing::ScopedDrawing;
using testing::SetTimes;
using testing::TemporaryFile;
using testing::TestClip;

// The dispatcher the views subscribe to; these tests never press them.
MouseDispatcher presses;

// A zoom, a drawing that records, and a context on it: what every drawing test needs.
class ContentDraw : public ::testing::Test {
  protected:
    ContentDraw() : drawing_(std::make_shared<RecordingDrawing>()), scoped_(drawing_) {}

    DrawLog& Log() { return drawing_->Log(); }
    std::unique_ptr<RecordingDrawContext> Context() {
        return std::make_unique<RecordingDrawContext>(drawing_->SharedLog(), "", 5000, 600);
    }

    TimeScale scale_;
    std::shared_ptr<RecordingDrawing> drawing_;
    ScopedDrawing scoped_;
};

TEST(ContentGeometry, WidthComesFromTheDurationAndMarginFromTheStartAtEveryZoom) {
    const struct {
        float zoom;
        int32_t start, stop;
        int32_t width, marginLeft;
    } cases[] = {
        {1.0f, 2000, 6000, 1000, 500},
        // Two rounded ends would give 25 and 4: the width is the rounded duration.
        {0.3f, 1001, 1334, 24, 75},
        {0.1f, 333, 999, 16, 8},
        {400.0f, 0, 10000, 1000000, 0},
        // A stop before the start takes no width.
        {1.0f, 4000, 2000, 0, 1000},
    };
    for (const auto& c : cases) {
        TimeScale scale;
        scale.SetScale(c.zoom);
        TestClip clip;
        SetTimes(clip, scale, c.start, c.stop);
        PlainContentView view(&clip, &scale, presses);
        EXPECT_EQ(view.GetExplicitWidth(), c.width) << c.zoom << " " << c.start;
        EXPECT_EQ(view.GetMarginLeft(), c.marginLeft) << c.zoom << " " << c.start;
    }
}

TEST(ContentGeometry, ZoomAndContentChangesReplaceTheViewAndAnnounceTheLayout) {
    TimeScale scale;
    TestClip clip;
    SetTimes(clip, scale, 2000, 6000);
    PlainContentView view(&clip, &scale, presses);
    CallbackObserver layout;
    view.GetLayoutEvent()->Attach(&layout);

    scale.SetScale(2.0f);
    EXPECT_EQ(view.GetExplicitWidth(), 2000);
    EXPECT_EQ(view.GetMarginLeft(), 1000);
    EXPECT_EQ(layout.calls, 1);

    // The view follows only its own content's changes.
    TestClip other;
    SetTimes(other, scale, 0, 100);
    other.GetChanged()->Notify(&other);
    EXPECT_EQ(layout.calls, 1);

    clip.GetSegment()->SetStartMs(0);
    view.SetDirty(false);
    clip.GetChanged()->Notify(&clip);
    EXPECT_EQ(view.GetExplicitWidth(), 3000);
    EXPECT_EQ(view.GetMarginLeft(), 0);
    EXPECT_EQ(layout.calls, 2);
    EXPECT_TRUE(view.IsDirty());
}

TEST_F(ContentDraw, TheFrameIsThinWithoutGripsBelowSixteenPixelsAndWideWithGripsFrom) {
    const struct {
        int32_t stop;  // at zoom 1, 4 ms a pixel
        const char* text;
    } cases[] = {
        {48, "SetPen 0x0984ff 1\nSetNullBrush\nRectangle 10,0,22,52\n"},
        {64,
         "SetPen 0x0984ff 3\nSetNullBrush\nRectangle 10,0,26,52\n"
         "SetPen 0x0984ff 1\nSetBrush 0x0984ff\nRectangle 10,22,18,30\n"
         "SetPen 0x0984ff 1\nSetBrush 0x0984ff\nRectangle 18,22,26,30\n"},
    };
    for (const auto& c : cases) {
        TestClip clip;
        SetTimes(clip, scale_, 0, c.stop);
        PlainContentView view(&clip, &scale_, presses);
        Place(view, 10, 0, view.GetExplicitWidth(), 52);
        auto context = Context();
        Log().Clear();
        view.DrawOverlay(*context);
        EXPECT_EQ(Log().Text(), c.text);
    }
}

// A video clip whose poster frame (4:3) waits in the media cache for a file that exists.
class VideoDraw : public ContentDraw {
  protected:
    VideoDraw() : file_("poster.avi", {1, 2, 3}), clip_(nullptr) {
        MediaCache::Instance().StorePoster(file_.Path(), 0, true,
                                           MakeDib(8, 6, [](int32_t, int32_t) {
                                               return std::tuple{200, 100, 50};
                                           }).bits);
        clip_.SetSource(file_.Path());
    }
    ~VideoDraw() override { MediaCache::Instance().Clear(); }

    TemporaryFile file_;
    VideoClip clip_;
};

TEST_F(VideoDraw, AFourToThreeThumbnailOnTheStandardRowIs69WideAndShowsOnlyWhatTheClipHolds) {
    const struct {
        int32_t stop;
        int32_t shown;
    } cases[] = {{400, 69}, {160, 40}};
    for (const auto& c : cases) {
        SetTimes(clip_, scale_, 0, c.stop);
        VideoView view(&clip_, &scale_, presses);
        Place(view, 0, 0, view.GetExplicitWidth(), 52);
        auto context = Context();
        Log().Clear();
        view.Draw(*context);
        EXPECT_EQ(view.GetThumbnailWidth(), 69);
        EXPECT_EQ(Log().Matching("CreateCompatibleSurface").size(), 1u);
        EXPECT_EQ(Log().Matching("CreateCompatibleSurface 69x52").size(), 1u);
        const std::vector<std::string> blits = Log().Matching("Blit");
        ASSERT_EQ(blits.size(), 1u);
        EXPECT_EQ(blits[0], "Blit 0,0 " + std::to_string(c.shown) + "x52 from surface" +
                                std::to_string(Log().surfacesMade) + " at 0,0");
    }
}

TEST_F(VideoDraw, TheThumbnailIsScaledOncePerContentChangeNotPerZoomOrRepaint) {
    SetTimes(clip_, scale_, 0, 400);
    VideoView view(&clip_, &scale_, presses);
    Place(view, 0, 0, 100, 52);
    auto context = Context();
    view.Draw(*context);
    view.Draw(*context);
    scale_.SetScale(3.0f);
    view.Draw(*context);
    EXPECT_EQ(Log().Matching("ImageFromDib").size(), 1u);

    clip_.GetChanged()->Notify(&clip_);
    EXPECT_FALSE(view.HasThumbnail());
    view.Draw(*context);
    EXPECT_EQ(Log().Matching("ImageFromDib").size(), 2u);
}

TEST_F(ContentDraw, FilmHolesAreDrawnOnlyWhereTheyReachIntoTheClipBox) {
    VideoClip clip(nullptr);
    // Four million pixels long at zoom 400: only the holes in the clip box may be visited.
    scale_.SetScale(400.0f);
    SetTimes(clip, scale_, 0, 40000);
    VideoView view(&clip, &scale_, presses);
    Place(view, 0, 0, view.GetExplicitWidth(), 52);
    auto context = Context();
    context->SetClipRect({100, 0, 140, 52});
    view.Draw(*context);
    // Holes every 13 pixels from 5: the first reaching x = 100 starts at 96, the last
    // starting at or before 140 at 135; the same in both bands.
    EXPECT_EQ(Log().Matching("Rectangle ").size(), 1u + 2u * 5u);
    const char* holes[] = {"96,1,104,9",   "109,1,117,9",   "122,1,130,9",   "135,1,143,9",
                           "96,43,104,51", "109,43,117,51", "122,43,130,51", "135,43,143,51"};
    for (const char* hole : holes) {
        EXPECT_EQ(Log().Matching("Rectangle " + std::string(hole)).size(), 1u) << hole;
    }
    EXPECT_EQ(Log().Matching("Rectangle 0,0,4000000,10").size(), 1u);
    EXPECT_EQ(Log().Matching("Rectangle 0,42,4000000,52").size(), 1u);
    // Black bands, white holes.
    EXPECT_EQ(Log().Matching("SetBrush 0x000000").size(), 2u);
    EXPECT_EQ(Log().Matching("SetBrush 0xffffff").size(), 2u);
}

// Draws a waveform of a 52-pixel row at a zoom and returns the column lines.
std::vector<std::string> WaveformColumns(TimeScale& scale, float zoom,
                                         const std::vector<double>& levels, DrawRect clip,
                                         DrawLog& log, RecordingDrawContext& context) {
    scale.SetScale(zoom);
    AudioClip audio(nullptr);
    audio.GetWaveformLevels() = levels;
    SetTimes(audio, scale, 0, 100000);
    WaveformView view(&audio, &scale, presses);
    Place(view, 0, 0, view.GetExplicitWidth(), 52);
    context.SetClipRect(clip);
    log.Clear();
    view.Draw(context);
    std::vector<std::string> columns = log.Matching("Line ");
    EXPECT_EQ(columns.at(0), "Line 0,26 " + std::to_string(view.GetExplicitWidth()) + ",26");
    columns.erase(columns.begin());
    return columns;
}

TEST_F(ContentDraw, TheWaveformFoldsFourPairsAColumnAt250PixelsASecondAndSpreadsThemAt4000) {
    // Pairs (high, low); half the row is 26 pixels.
    const std::vector<double> levels = {0.5, -0.5, 1.0, 0.0,  0.0, -1.0, 0.25, -0.25,  //
                                        0.1, -0.1, 0.1, -0.1, 0.1, -0.1, 0.1,  -0.1,   //
                                        0.9, -0.9};
    auto context = Context();
    const std::vector<std::string> folded =
        WaveformColumns(scale_, 1.0f, levels, {0, 0, 5000, 600}, Log(), *context);
    // Two whole columns; the pair left over makes none.
    EXPECT_EQ(folded, (std::vector<std::string>{"Line 0,26 0,52", "Line 0,26 0,0", "Line 1,26 1,28",
                                                "Line 1,26 1,24"}));
    EXPECT_EQ(Log().Matching("SetPen 0xc86402 1").size(), 1u) << "in the content colour";

    const std::vector<std::string> spread =
        WaveformColumns(scale_, 16.0f, levels, {0, 0, 5000, 600}, Log(), *context);
    ASSERT_EQ(spread.size(), 2u * 9u);
    EXPECT_EQ(spread[0], "Line 0,26 0,39");
    EXPECT_EQ(spread[1], "Line 0,26 0,13");
    EXPECT_EQ(spread[2], "Line 4,26 4,26");
    EXPECT_EQ(spread[3], "Line 4,26 4,0");
    EXPECT_EQ(spread[16], "Line 32,26 32,49");
}

TEST_F(ContentDraw, OnlyWaveformColumnsInsideTheClipBoxAreDrawn) {
    std::vector<double> levels;
    for (int i = 0; i < 100000; ++i) {
        levels.push_back(0.5);
        levels.push_back(-0.5);
    }
    auto context = Context();
    const std::vector<std::string> columns =
        WaveformColumns(scale_, 1.0f, levels, {100, 0, 110, 52}, Log(), *context);
    ASSERT_EQ(columns.size(), 2u * 11u);
    EXPECT_EQ(columns.front(), "Line 100,26 100,39");
    EXPECT_EQ(columns.back(), "Line 110,26 110,13");
}

TEST_F(ContentDraw, AWaveformDrawsOnlyItsZeroLineWhenEmptyOrWhenNoSecondIsAPixelWide) {
    auto context = Context();
    EXPECT_TRUE(WaveformColumns(scale_, 1.0f, {}, {0, 0, 5000, 600}, Log(), *context).empty());
    // 0.002 x 0.25 x 1000 truncates to 0 pixels a second.
    EXPECT_TRUE(
        WaveformColumns(scale_, 0.002f, {0.5, -0.5, 0.5, -0.5}, {0, 0, 5000, 600}, Log(), *context)
            .empty());
}

TEST_F(ContentDraw, ImageTilesAreScaledOnceAndOnlyThoseReachingIntoTheClipBoxAreCopied) {
    TemporaryFile file("tile.png", {'P', 'N', 'G'});
    Log().imageWidth = 16;
    Log().imageHeight = 12;
    ImageClip clip(nullptr);
    clip.SetSource(file.Path());
    SetTimes(clip, scale_, 0, 800);  // 200 pixels: tiles at 0, 69 and 138 (62 wide)
    ImageStripView view(&clip, &scale_, presses);
    Place(view, 0, 0, 200, 52);

    auto context = Context();
    view.Draw(*context);
    EXPECT_EQ(view.GetTileWidth(), 69);
    EXPECT_EQ(Log().Matching("Blit"),
              (std::vector<std::string>{"Blit 0,0 69x52 from surface1 at 0,0",
                                        "Blit 69,0 69x52 from surface1 at 0,0",
                                        "Blit 138,0 62x52 from surface1 at 0,0"}));
    Log().Clear();
    context->SetClipRect({100, 0, 150, 52});
    view.Draw(*context);
    EXPECT_EQ(Log().Matching("Blit"),
              (std::vector<std::string>{"Blit 69,0 69x52 from surface1 at 0,0",
                                        "Blit 138,0 62x52 from surface1 at 0,0"}));
    EXPECT_TRUE(Log().Matching("DecodeImage").empty());
}

TEST_F(ContentDraw, AnImageWithoutHeightTooTallForATileOrUnreadableLeavesTheBodyAlone) {
    TemporaryFile file("flat.png", {'P', 'N', 'G'});
    const struct {
        std::wstring path;
        int32_t imageWidth, imageHeight;
    } cases[] = {{file.Path(), 16, 0},
                 {file.Path(), 1, 100},  // 1/100 x 52 truncates to no pixel
                 {L"/no/such/picture.png", 16, 12}};
    for (const auto& c : cases) {
        Log().Clear();
        Log().imageWidth = c.imageWidth;
        Log().imageHeight = c.imageHeight;
        ImageClip clip(nullptr);
        clip.SetSource(c.path);
        SetTimes(clip, scale_, 0, 800);
        ImageStripView view(&clip, &scale_, presses);
        Place(view, 0, 0, 200, 52);
        auto context = Context();
        view.Draw(*context);
        view.Draw(*context);
        EXPECT_FALSE(view.HasTile());
        EXPECT_TRUE(Log().Matching("Blit").empty());
        EXPECT_LE(Log().Matching("DecodeImage").size(), 1u);
    }
}

}  // namespace
}  // namespace vortrel
