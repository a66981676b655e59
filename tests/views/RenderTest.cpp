#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include "platform/windows/GdiDrawing.h"
#else
#include "platform/linux/QtDrawing.h"
#endif
#include "ports/DibBitmap.h"
#include "support/ContentViewFixture.h"
#include "support/PixelDrawing.h"
#include "support/RecordingDrawContext.h"
#include "support/TestView.h"
#include "views/BorderView.h"
#include "views/Canvas.h"
#include "views/ImageView.h"
#include "views/LabelView.h"
#include "views/StackPanel.h"
#include "views/ThemeColors.h"

namespace vortrel {
namespace {

using testing::DrawLog;
using testing::PixelDrawing;
using testing::Place;
using testing::RecordingDrawContext;
using testing::RecordingDrawing;
using testing::ScopedDrawing;
using testing::TestView;

TEST(Render, CollapsedViewsDrawNothingAndOnlySelectedOrPressedOnesGetTheOverlay) {
    const struct {
        int32_t state;
        int draws;
        int overlays;
    } cases[] = {{0, 1, 0}, {1, 1, 1}, {2, 1, 1}, {3, 0, 0}};
    for (bool cached : {false, true}) {
        for (auto [state, draws, overlays] : cases) {
            auto log = std::make_shared<DrawLog>();
            RecordingDrawContext context(log);
            TestView view("v");
            view.At(0, 0, 10, 10);
            view.SetCached(cached);
            view.SetVisualState(state);
            view.Render(context);
            EXPECT_EQ(view.draws, draws) << state << " cached " << cached;
            EXPECT_EQ(view.overlays, overlays) << state << " cached " << cached;
        }
    }
}

TEST(RenderCache, AViewIsDrawnIntoItsCacheOnceAndThenOnlyBlitsUntilItIsDirty) {
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    TestView view("v");
    view.At(10, 20, 30, 40);
    view.SetCached(true);

    view.Render(context);
    EXPECT_EQ(log->lines.front(), "CreateCompatibleSurface 30x40 -> surface1");
    EXPECT_EQ(log->lines.back(), "Blit 10,20 30x40 from surface1 at 0,0");
    EXPECT_EQ(view.draws, 1);
    EXPECT_FALSE(view.IsDirty());

    log->Clear();
    view.Render(context);
    view.SetVisualState(IView::kNormal);  // no change: still clean
    view.Render(context);
    EXPECT_EQ(log->Text(),
              "Blit 10,20 30x40 from surface1 at 0,0\n"
              "Blit 10,20 30x40 from surface1 at 0,0\n");

    log->Clear();
    view.SetX(11);
    EXPECT_EQ(view.GetCacheWidth(), 0) << "a dirty view lets its cache go at once";
    view.Render(context);
    EXPECT_EQ(log->Matching("CreateCompatibleSurface"),
              std::vector<std::string>{"CreateCompatibleSurface 30x40 -> surface2"});
    EXPECT_EQ(view.draws, 2);
}

TEST(RenderCache, ACacheHoldsOnlyTheVisiblePartAndIsDrawnAgainWhenMoreOfTheViewShows) {
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log);
    TestView view("v");
    view.At(10, 20, 30, 40);
    view.SetCached(true);

    context.SetClipRect({0, 0, 25, 600});
    view.Render(context);
    EXPECT_EQ(view.GetCacheWidth(), 15);
    EXPECT_EQ(log->lines.back(), "Blit 10,20 15x40 from surface1 at 0,0");

    // A smaller visible part comes from the cache; a larger one is drawn again.
    context.SetClipRect({20, 30, 25, 600});
    log->Clear();
    view.Render(context);
    EXPECT_EQ(log->Text(), "Blit 20,30 5x30 from surface1 at 10,10\n");

    context.RemoveClip();
    view.Render(context);
    EXPECT_EQ(view.draws, 2);
    EXPECT_EQ(view.GetCacheWidth(), 30);
    EXPECT_EQ(log->lines.back(), "Blit 10,20 30x40 from surface2 at 0,0");
}

TEST(RenderCache, CachesOfLongViewsStayWithinTheScreenAsTheyScroll) {
    PixelDrawing drawing;
    std::unique_ptr<IDrawSurface> screen = drawing.CreateSurface(1920, 400);
    const int64_t screenPixels = 1920 * 400;
    // A thousand clips 60 s long at zoom 1, side by side on one row.
    Canvas row;
    std::vector<TestView*> clips;
    for (int32_t i = 0; i < 1000; ++i) {
        auto clip = std::make_unique<TestView>("clip");
        clip->At(i * 15000 - 7000, 0, 15000, 52);
        clip->SetCached(true);
        clips.push_back(static_cast<TestView*>(row.AddView(std::move(clip))));
    }
    for (int32_t scroll : {0, 5000, 12000}) {
        for (int32_t i = 0; i < 1000; ++i) {
            clips[i]->SetX(i * 15000 - 7000 - scroll);
        }
        row.Render(screen->Context());
        EXPECT_LE(drawing.Stats().livePixels - screenPixels, 1920 * 52) << scroll;
    }
    EXPECT_EQ(drawing.Stats().widestSurface, 1920);
    // Only the clips on screen were drawn: the first at 0 and 5000, the second at 12000.
    EXPECT_EQ(clips[0]->draws + clips[1]->draws + clips[2]->draws, 3);
}

TEST(PanelDraw, PlainChildrenWhollyOutsideTheClipBoxAreNotRenderedButPanelsAreEntered) {
    auto log = std::make_shared<DrawLog>();
    RecordingDrawContext context(log, "", 100, 100);
    Canvas root;
    for (auto [name, x] : {std::pair{"left", -36}, {"inside", 50}, {"right", 116}, {"near", -35}}) {
        auto view = std::make_unique<TestView>(name);
        view->At(x, 0, 20, 20);
        view->color = static_cast<ColorRef>(x + 100);
        root.AddView(std::move(view));
    }
    auto outsidePanel = std::make_unique<Canvas>();
    Place(*outsidePanel, 500, 500, 10, 10);
    outsidePanel->AddView(std::make_unique<TestView>("stray"))->SetX(5);
    root.AddPanel(std::move(outsidePanel));

    root.Render(context);
    EXPECT_EQ(log->Matching("Rectangle"),
              (std::vector<std::string>{"Rectangle 50,0,70,20", "Rectangle -35,0,-15,20",
                                        "Rectangle 5,0,5,0"}));
}

// A stack that paints its background first, as every cached panel of the timeline does.
class FilledStack : public StackPanel {
  public:
    void Draw(IDrawContext& context) override {
        BorderView background(GetBounds(), 0x102030, 0x405060);
        background.Render(context);
        StackPanel::Draw(context);
    }
};

// A 24-bit bitmap of a size, each pixel of its own colour.
DibBitmap MakeDib(int32_t width, int32_t height) {
    DibBitmap dib;
    dib.bits.assign(40, 0);
    dib.bits[0] = 40;
    dib.bits[4] = static_cast<uint8_t>(width);
    dib.bits[8] = static_cast<uint8_t>(height);
    dib.bits[12] = 1;
    dib.bits[14] = 24;
    const int32_t stride = (width * 3 + 3) / 4 * 4;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < stride; ++x) {
            dib.bits.push_back(static_cast<uint8_t>(x < width * 3 ? 40 * y + 20 * x : 0));
        }
    }
    return dib;
}

// A tree with borders, labels, pictures, a scrolled canvas and a nested cached panel, every
// cached view filling its rectangle; cached or not, it must give the same pixels.
std::unique_ptr<Canvas> BuildTree(bool cached) {
    auto root = std::make_unique<Canvas>();
    root->SetExplicitWidth(240);
    root->SetExplicitHeight(140);
    auto background = std::make_unique<BorderView>();
    background->SetStretchHorizontal(true);
    background->SetStretchVertical(true);
    background->SetEdgeStyle(BorderView::kSunkenEdge);
    root->AddView(std::move(background));

    auto stack = std::make_unique<FilledStack>();
    stack->SetCached(cached);
    stack->SetInsets(2, 2, 2, 2);
    stack->SetMarginLeft(30);
    stack->SetMarginTop(10);
    for (int32_t i = 0; i < 4; ++i) {
        auto border = std::make_unique<BorderView>();
        border->SetExplicitWidth(150 + 40 * i);
        border->SetExplicitHeight(20);
        border->SetMarginTop(3);
        border->SetPenColor(MakeColorRef(200, 10 * i, 0));
        border->SetFillColor(MakeColorRef(0, 40 * i, 90));
        border->SetEdgeStyle(i);
        border->SetCached(cached);
        stack->AddView(std::move(border));
    }
    auto label = std::make_unique<LabelView>();
    label->SetText(L"A label\nof two lines");
    label->SetSingleLine(false);
    label->SetExplicitWidth(120);
    label->SetExplicitHeight(40);
    label->SetTextColor(0x00FFFF);
    stack->AddView(std::move(label));
    root->AddPanel(std::move(stack));

    auto image = std::make_unique<ImageView>(MakeDib(3, 2));
    image->SetCached(cached);
    image->SetExplicitWidth(70);
    image->SetExplicitHeight(50);
    image->SetCropRight(0.25f);
    image->SetHorizontalAlignment(IView::kAlignFar);
    image->SetVerticalAlignment(IView::kAlignFar);
    root->AddView(std::move(image));

    auto scrolled = std::make_unique<Canvas>();
    scrolled->SetScrollable(true);
    scrolled->SetScrollX(25);
    scrolled->SetExplicitWidth(60);
    scrolled->SetExplicitHeight(40);
    scrolled->SetMarginLeft(200);
    scrolled->SetMarginTop(20);
    auto inside = std::make_unique<BorderView>();
    inside->SetCached(cached);
    inside->SetExplicitWidth(70);
    inside->SetExplicitHeight(30);
    inside->SetFillColor(0x00FF00);
    scrolled->AddView(std::move(inside));
    root->AddPanel(std::move(scrolled));

    root->UpdateLayout();
    return root;
}

// Renders the tree cached and directly through a drawing, paint after paint under several
// clip boxes, and requires the same pixels every time.
void ExpectSamePixels(const std::shared_ptr<IDrawing>& drawing) {
    ScopedDrawing installed(drawing);
    const DrawRect clips[] = {{0, 0, 400, 400}, {40, 12, 190, 130}, {100, 0, 250, 60}};
    for (const DrawRect& clip : clips) {
        std::unique_ptr<Canvas> direct = BuildTree(false);
        std::unique_ptr<Canvas> cached = BuildTree(true);
        std::unique_ptr<IDrawSurface> expected = drawing->CreateSurface(250, 150);
        std::unique_ptr<IDrawSurface> actual = drawing->CreateSurface(250, 150);
        for (int paint = 0; paint < 3; ++paint) {
            if (paint == 2) {
                // Something moves: only its cache and its cached parent's are redrawn.
                for (Canvas* tree : {direct.get(), cached.get()}) {
                    auto& stack = static_cast<IPanel&>(*tree->GetChildren()[1].view);
                    stack.GetChildren()[2].view->SetMarginTop(8);
                    tree->UpdateLayout();
                }
            }
            // Each paint starts from a fresh colour, so no stale pixel passes.
            const ColorRef ground = 0xABCDEF + paint;
            for (IDrawSurface* surface : {expected.get(), actual.get()}) {
                IDrawContext& context = surface->Context();
                context.RemoveClip();
                context.SetPen(ground, 1);
                context.SetBrush(ground);
                context.Rectangle({0, 0, 250, 150});
                context.SetClipRect(clip);
            }
            direct->Render(expected->Context());
            cached->Render(actual->Context());
            int32_t differing = 0;
            for (int32_t y = 0; y < 150; ++y) {
                for (int32_t x = 0; x < 250; ++x) {
                    differing += actual->PixelAt(x, y) != expected->PixelAt(x, y) ? 1 : 0;
                }
            }
            EXPECT_EQ(differing, 0)
                << "paint " << paint << " clip " << clip.left << "," << clip.top;
            EXPECT_NE(expected->PixelAt(120, 40), ground) << "the tree drew something";
        }
    }
}

TEST(RenderCache, CachedAndDirectRenderingsGiveTheSamePixels) {
    ExpectSamePixels(std::make_shared<PixelDrawing>());
}

#ifdef _WIN32
TEST(RenderCache, CachedAndDirectRenderingsGiveTheSamePixelsOnGdi) {
    std::shared_ptr<IDrawing> drawing = GdiDrawing::Start();
    ASSERT_NE(drawing, nullptr);
    ExpectSamePixels(drawing);
}
#else
TEST(RenderCache, CachedAndDirectRenderingsGiveTheSamePixelsOnQt) {
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    ASSERT_NE(drawing, nullptr);
    ExpectSamePixels(drawing);
}
#endif

TEST(BorderDraw, PenThenBrushOrNullBrushThenTheRectangleThenTheEdge) {
    const struct {
        bool hollow;
        int32_t edge;
        const char* text;
    } cases[] = {
        {false, 0, "SetPen 0x0000ff 2\nSetBrush 0x00ff00\nRectangle 5,6,35,46\n"},
        {true, 1,
         "SetPen 0x0000ff 2\nSetNullBrush\nRectangle 5,6,35,46\nDrawEdge 5,6,35,46 Bump\n"},
        {false, 2,
         "SetPen 0x0000ff 2\nSetBrush 0x00ff00\nRectangle 5,6,35,46\nDrawEdge 5,6,35,46 Raised\n"},
        {false, 3,
         "SetPen 0x0000ff 2\nSetBrush 0x00ff00\nRectangle 5,6,35,46\nDrawEdge 5,6,35,46 Sunken\n"},
        {false, 4, "SetPen 0x0000ff 2\nSetBrush 0x00ff00\nRectangle 5,6,35,46\n"},
    };
    for (const auto& c : cases) {
        auto log = std::make_shared<DrawLog>();
        RecordingDrawContext context(log);
        BorderView border({5, 6, 25, 26}, 0x0000FF, 0x00FF00);
        border.SetExplicitWidth(30);  // the effective size counts
        border.SetExplicitHeight(40);
        border.SetPenWidth(2);
        border.SetHollow(c.hollow);
        border.SetEdgeStyle(c.edge);
        border.Render(context);
        EXPECT_EQ(log->Text(), c.text) << c.edge;
    }
}

TEST(LabelDraw, ColourModeFontThenTheTextWithFlagsFromTheAlignments) {
    const struct {
        int32_t horizontal;
        int32_t vertical;
        bool singleLine;
        int32_t fontSize;
        const char* font;
        const char* flags;
    } cases[] = {
        {1, 0, true, 10, "Arial -13 400", "Center|SingleLine"},
        {0, 1, true, 8, "Arial -11 400", "VCenter|SingleLine"},
        {2, 2, false, 9, "Arial -12 400", "Right|Bottom"},
        {5, 7, false, 0, "Arial 0 400", "Left"},
    };
    for (const auto& c : cases) {
        auto log = std::make_shared<DrawLog>();
        RecordingDrawContext context(log);
        LabelView label;
        Place(label, 10, 20, 100, 20);
        label.SetText(L"Hello");
        label.SetTextColor(0x123456);
        label.SetHorizontalTextAlignment(c.horizontal);
        label.SetVerticalTextAlignment(c.vertical);
        label.SetSingleLine(c.singleLine);
        label.SetFontSize(c.fontSize);
        label.Render(context);
        EXPECT_EQ(log->Text(),
                  std::string("SetTextColor 0x123456\nSetTransparentText 1\nSetFont ") + c.font +
                      "\nDrawText \"Hello\" 10,20,110,40 " + c.flags + "\n");
    }
}

TEST(LabelDraw, MeasureAsksTheScreenWithTheSameFontAndFlags) {
    auto drawing = std::make_shared<RecordingDrawing>();
    LabelView label;
    label.SetText(L"ab\ncde");
    EXPECT_EQ(label.Measure(), DrawRect{}) << "without a drawing";
    ScopedDrawing installed(drawing);
    EXPECT_EQ(label.Measure(), (DrawRect{0, 0, 42, 16}));
    label.SetSingleLine(false);
    EXPECT_EQ(label.Measure(), (DrawRect{0, 0, 21, 32}));
    EXPECT_EQ(drawing->Log().lines[1], "screen: SetFont Arial -13 400");
    EXPECT_EQ(drawing->Log().lines[2],
              "screen: DrawText \"ab\\ncde\" 0,0,0,0 Center|SingleLine|CalcRect -> 0,0,42,16");
}

TEST(ImageDraw, StretchedOrCentredAtNaturalSizeWithTheCropCutOffTheSource) {
    const struct {
        bool stretch;
        float cropRight;
        float cropBottom;
        const char* line;
    } cases[] = {
        {true, 0.0f, 0.0f, "DrawImage image1 10,20,90,72 from 0,0,16,16"},
        {false, 0.0f, 0.0f, "DrawImage image1 42,38,58,54 from 0,0,16,16"},
        {true, 0.25f, 0.5f, "DrawImage image1 10,20,90,72 from 0,0,12,8"},
        {true, 0.3f, 1.0f, "DrawImage image1 10,20,90,72 from 0,0,11,0"},
    };
    for (const auto& c : cases) {
        auto drawing = std::make_shared<RecordingDrawing>();
        ScopedDrawing installed(drawing);
        const uint8_t bytes[] = {1, 2, 3};
        ImageView image(bytes, sizeof bytes);
        Place(image, 10, 20, 80, 52);
        image.SetStretch(c.stretch);
        image.SetCropRight(c.cropRight);
        image.SetCropBottom(c.cropBottom);
        drawing->Log().Clear();
        RecordingDrawContext context(drawing->SharedLog());
        image.Render(context);
        EXPECT_EQ(drawing->Log().Text(), std::string(c.line) + "\n");
    }
}

TEST(ImageDraw, APictureThatCannotBeDecodedDrawsNothingAndBitmapsAreConvertedByTheDrawing) {
    auto drawing = std::make_shared<RecordingDrawing>();
    ScopedDrawing installed(drawing);
    drawing->Log().decodeFails = true;
    const uint8_t bytes[] = {1, 2, 3};
    ImageView broken(bytes, sizeof bytes);
    ImageView bitmap(MakeDib(3, 2));
    RecordingDrawContext context(drawing->SharedLog());
    for (ImageView* image : {&broken, &bitmap}) {
        Place(*image, 0, 0, 10, 10);
        image->Render(context);
    }
    EXPECT_EQ(drawing->Log().Text(),
              "DecodeImage 3 bytes -> none\n"
              "ImageFromDib 3x2x24 -> image1\n"
              "DrawImage image1 0,0,10,10 from 0,0,3,2\n");
}

TEST(Theme, MissingEntriesAreBlack) {
    ThemeColors& theme = ThemeColors::Instance();
    EXPECT_EQ(theme.Foreground(ThemeKey::kTrackRow), 0u);
    EXPECT_EQ(theme.Shadow(42), 0u);
}

}  // namespace
}  // namespace vortrel
