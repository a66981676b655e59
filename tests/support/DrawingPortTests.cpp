#include "support/DrawingPortTests.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "ports/DibBitmap.h"
#include "support/RecordingDrawContext.h"

namespace vortrel::testing {

void DrawingPortTest::SetUp() {
    drawing = GetParam().make();
    ASSERT_NE(drawing, nullptr) << GetParam().name << " does not start";
}

std::unique_ptr<IDrawSurface> DrawingPortTest::Surface(int32_t width, int32_t height,
                                                       ColorRef background) {
    auto surface = drawing->CreateSurface(width, height);
    EXPECT_NE(surface, nullptr);
    if (surface && background != 0) {
        IDrawContext& dc = surface->Context();
        dc.SetPen(background, 1);
        dc.SetBrush(background);
        dc.Rectangle({0, 0, width, height});
    }
    return surface;
}

bool DrawingPortTest::Known(Difference difference, const std::string& row) const {
    if ((GetParam().differences & difference) == 0) {
        return false;
    }
    std::cout << "[ KNOWN    ] " << GetParam().name << " differs: " << row << "\n";
    RecordProperty("known_difference", row);
    return true;
}

std::string BackEndName(const ::testing::TestParamInfo<DrawingBackEnd>& info) {
    return info.param.name;
}

LogFont Arial(int32_t height, int32_t weight) {
    LogFont font;
    font.height = height;
    font.weight = weight;
    font.SetFaceName(L"Arial");
    return font;
}

namespace {

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void Append32(std::vector<uint8_t>& bytes, uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (bigEndian ? 24 - 8 * i : 8 * i)));
    }
}

void AppendChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    Append32(png, static_cast<uint32_t>(data.size()), true);
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Append32(png, Crc32(png.data() + start, png.size() - start), true);
}

}  // namespace

std::vector<uint8_t> EncodePng(int32_t width, int32_t height, const std::vector<uint32_t>& rgba) {
    // Each row is filter byte 0 and its pixels, in zlib stored blocks of at most 65535 bytes.
    std::vector<uint8_t> raw;
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int32_t x = 0; x < width; ++x) {
            Append32(raw, rgba[static_cast<size_t>(y) * width + x], true);
        }
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t length = std::min<size_t>(65535, raw.size() - at);
        zlib.push_back(at + length >= raw.size() ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + length);
    }
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Append32(zlib, b << 16 | a, true);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Append32(header, static_cast<uint32_t>(width), true);
    Append32(header, static_cast<uint32_t>(height), true);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", zlib);
    AppendChunk(png, "IEND", {});
    return png;
}

std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, const std::vector<uint32_t>& rgba) {
    const uint32_t pixelBytes = static_cast<uint32_t>(width * height * 4);
    std::vector<uint8_t> bmp = {'B', 'M'};
    Append32(bmp, 54 + pixelBytes, false);
    Append32(bmp, 0, false);
    Append32(bmp, 54, false);
    for (uint32_t field : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) {
        Append32(bmp, field, false);
    }
    bmp.insert(bmp.end(), {1, 0, 32, 0});  // one plane, 32 bits
    for (uint32_t field : {0u, pixelBytes, 2835u, 2835u, 0u, 0u}) {
        Append32(bmp, field, false);
    }
    for (int32_t y = height - 1; y >= 0; --y) {  // bottom row first
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t pixel = rgba[static_cast<size_t>(y) * width + x];
            bmp.insert(bmp.end(),
                       {static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel >> 16),
                        static_cast<uint8_t>(pixel >> 24), 0});
        }
    }
    return bmp;
}

namespace {

constexpr ColorRef kRed = MakeColorRef(255, 0, 0);
constexpr ColorRef kGreen = MakeColorRef(0, 255, 0);
constexpr ColorRef kBlue = MakeColorRef(0, 0, 255);
constexpr ColorRef kBlack = 0;

struct Probe {
    int32_t x;
    int32_t y;
    ColorRef color;
};

// The pixels of a surface that differ from a background colour, as a box.
struct InkBox {
    int32_t left = INT32_MAX;
    int32_t top = INT32_MAX;
    int32_t right = INT32_MIN;  // inclusive
    int32_t bottom = INT32_MIN;
    bool Empty() const { return left > right; }
};

InkBox FindInk(const IDrawSurface& surface, ColorRef background) {
    InkBox box;
    for (int32_t y = 0; y < surface.Height(); ++y) {
        for (int32_t x = 0; x < surface.Width(); ++x) {
            if (surface.PixelAt(x, y) != background) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
            }
        }
    }
    return box;
}

void ExpectProbes(const IDrawSurface& surface, const std::vector<Probe>& probes,
                  const std::string& what) {
    for (const Probe& probe : probes) {
        EXPECT_EQ(surface.PixelAt(probe.x, probe.y), probe.color)
            << what << " at " << probe.x << "," << probe.y;
    }
}

// A surface as a map of letters, one a known colour and '?' for any other.
std::string Map(const IDrawSurface& surface, DrawRect area,
                const std::vector<std::pair<char, ColorRef>>& legend) {
    std::string map;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            char letter = '?';
            for (auto [name, color] : legend) {
                if (surface.PixelAt(x, y) == color) {
                    letter = name;
                    break;
                }
            }
            map += letter;
        }
        map += '\n';
    }
    return map;
}

TEST_P(DrawingPortTest, RectangleOutlinesCentredOnItsEdgesAndFillsInside) {
    struct Case {
        const char* name;
        int32_t penWidth;
        bool hollow;
        std::vector<Probe> probes;
        Difference differs = kNoDifference;
    };
    const Case cases[] = {
        {"pen 1",
         1,
         false,
         {{10, 10, kRed},
          {19, 19, kRed},
          {15, 10, kRed},
          {11, 11, kGreen},
          {18, 18, kGreen},
          {20, 15, kBlack},
          {9, 9, kBlack}}},
        {"pen 1, null brush", 1, true, {{10, 15, kRed}, {19, 15, kRed}, {15, 15, kBlack}}},
        {"pen 2: the extra pixel above and left of the outline",
         2,
         false,
         {{9, 9, kRed}, {11, 11, kGreen}, {19, 19, kRed}, {20, 20, kBlack}, {8, 9, kBlack}}},
        {"pen 3",
         3,
         false,
         {{9, 10, kRed},
          {11, 11, kRed},
          {12, 12, kGreen},
          {17, 17, kGreen},
          {18, 18, kRed},
          {20, 19, kRed},
          {8, 8, kBlack},
          {21, 21, kBlack}}},
        {"pen 3: its outer corners", 3, false, {{9, 9, kRed}, {20, 20, kRed}}, kRoundWideJoins},
        {"pen 3, null brush", 3, true, {{11, 15, kRed}, {12, 15, kBlack}, {17, 15, kBlack}}},
    };
    for (const Case& test : cases) {
        if (Known(test.differs, test.name)) {
            continue;
        }
        auto surface = Surface(30, 30);
        IDrawContext& dc = surface->Context();
        dc.SetPen(kRed, test.penWidth);
        if (test.hollow) {
            dc.SetNullBrush();
        } else {
            dc.SetBrush(kGreen);
        }
        dc.Rectangle({10, 10, 20, 20});
        ExpectProbes(*surface, test.probes, test.name);
    }

    // Corners given the other way round make the same rectangle; an empty one draws nothing.
    auto surface = Surface(30, 30);
    surface->Context().SetPen(kRed, 1);
    surface->Context().Rectangle({20, 20, 10, 10});
    ExpectProbes(*surface, {{10, 10, kRed}, {19, 19, kRed}, {20, 20, kBlack}}, "reversed");
    surface->Context().Rectangle({25, 25, 25, 29});
    EXPECT_EQ(surface->PixelAt(25, 25), kBlack);
}

TEST_P(DrawingPortTest, DrawEdgeBevelsEveryPixelInTheClassicColours) {
    // A 10x10 edge at (1,1) and the pixels round it: L 3D light, H highlight, S shadow,
    // D dark shadow, . untouched. Bottom and right lines take the corners they share with
    // top and left.
    const std::pair<EdgeStyle, const char*> cases[] = {
        {EdgeStyle::Raised,
         "............\n"
         ".LLLLLLLLLD.\n"
         ".LHHHHHHHSD.\n"
         ".LH......SD.\n"
         ".LH......SD.\n"
         ".LH......SD.\n"
         ".LH......SD.\n"
         ".LH......SD.\n"
         ".LH......SD.\n"
         ".LSSSSSSSSD.\n"
         ".DDDDDDDDDD.\n"
         "............\n"},
        {EdgeStyle::Sunken,
         "............\n"
         ".SSSSSSSSSH.\n"
         ".SDDDDDDDLH.\n"
         ".SD......LH.\n"
         ".SD......LH.\n"
         ".SD......LH.\n"
         ".SD......LH.\n"
         ".SD......LH.\n"
         ".SD......LH.\n"
         ".SLLLLLLLLH.\n"
         ".HHHHHHHHHH.\n"
         "............\n"},
        {EdgeStyle::Bump,
         "............\n"
         ".LLLLLLLLLD.\n"
         ".LDDDDDDDLD.\n"
         ".LD......LD.\n"
         ".LD......LD.\n"
         ".LD......LD.\n"
         ".LD......LD.\n"
         ".LD......LD.\n"
         ".LD......LD.\n"
         ".LLLLLLLLLD.\n"
         ".DDDDDDDDDD.\n"
         "............\n"},
    };
    const std::vector<std::pair<char, ColorRef>> legend = {{'.', kBlue},
                                                           {'L', MakeColorRef(192, 192, 192)},
                                                           {'H', MakeColorRef(255, 255, 255)},
                                                           {'S', MakeColorRef(128, 128, 128)},
                                                           {'D', MakeColorRef(0, 0, 0)}};
    for (auto [style, expected] : cases) {
        auto surface = Surface(12, 12, kBlue);
        surface->Context().DrawEdge({1, 1, 11, 11}, style);
        EXPECT_EQ(Map(*surface, {0, 0, 12, 12}, legend), expected);
    }
}

TEST_P(DrawingPortTest, LinesLeaveOutTheirLastPixel) {
    struct Case {
        DrawPoint from;
        DrawPoint to;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {{2, 2}, {10, 2}, {{2, 2, kRed}, {9, 2, kRed}, {10, 2, kBlack}, {1, 2, kBlack}}},
        {{10, 5}, {2, 5}, {{10, 5, kRed}, {3, 5, kRed}, {2, 5, kBlack}}},
        {{0, 0}, {5, 5}, {{0, 0, kRed}, {4, 4, kRed}, {5, 5, kBlack}, {1, 0, kBlack}}},
        {{5, 5}, {5, 5}, {{5, 5, kBlack}}},
    };
    for (const Case& test : cases) {
        auto surface = Surface(12, 12);
        surface->Context().SetPen(kRed, 1);
        surface->Context().Line(test.from, test.to);
        ExpectProbes(*surface, test.probes,
                     "line to " + std::to_string(test.to.x) + "," + std::to_string(test.to.y));
    }

    // A shallow line has one pixel in each column it crosses, the nearer row to the true
    // line. Half-way (x = 5, y = 1.5) it keeps to the row nearer its start when it runs right
    // and down, and takes the row nearer its end when it runs back up (the same pixels then).
    for (auto [from, to] : {std::pair<DrawPoint, DrawPoint>{{0, 0}, {10, 3}}, {{10, 3}, {0, 0}}}) {
        auto surface = Surface(12, 12);
        surface->Context().SetPen(kRed, 1);
        surface->Context().Line(from, to);
        surface->Context().Line(to, to);  // nothing: a line leaves out its last pixel
        EXPECT_EQ(Map(*surface, {0, 0, 11, 4}, {{'.', kBlack}, {'#', kRed}}),
                  from.x == 0 ? "##.........\n"
                                "..####.....\n"
                                "......###..\n"
                                ".........#.\n"
                              : ".#.........\n"
                                "..####.....\n"
                                "......###..\n"
                                ".........##\n");
    }

    // A polyline leaves out only its very last point; a wide pen covers its width across.
    auto surface = Surface(30, 30);
    IDrawContext& dc = surface->Context();
    dc.SetPen(kRed, 1);
    dc.Polyline({{0, 10}, {5, 10}, {5, 15}});
    dc.SetPen(kGreen, 3);
    dc.Line({0, 20}, {20, 20});
    ExpectProbes(*surface,
                 {{5, 10, kRed},
                  {5, 14, kRed},
                  {5, 15, kBlack},
                  {10, 19, kGreen},
                  {10, 21, kGreen},
                  {10, 18, kBlack},
                  {10, 22, kBlack}},
                 "polyline and wide line");
}

TEST_P(DrawingPortTest, PolygonsFillAlternatelyAndOutlineEveryVertex) {
    auto surface = Surface(60, 60);
    IDrawContext& dc = surface->Context();
    dc.SetPen(kRed, 1);
    dc.SetBrush(kGreen);
    // The seek bar's triangle pointing down onto (20, 20).
    dc.Polygon({{20, 20}, {26, 14}, {14, 14}});
    ExpectProbes(*surface,
                 {{20, 20, kRed},
                  {26, 14, kRed},
                  {14, 14, kRed},
                  {20, 16, kGreen},
                  {20, 21, kBlack},
                  {15, 19, kBlack},
                  {20, 13, kBlack}},
                 "triangle");

    // A five-pointed star drawn in one stroke: its centre lies inside twice and stays empty.
    std::vector<DrawPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double angle = (-90.0 + i * 144.0) * std::numbers::pi / 180.0;
        star.push_back({static_cast<int32_t>(std::lround(40 + 18 * std::cos(angle))),
                        static_cast<int32_t>(std::lround(40 + 18 * std::sin(angle)))});
    }
    dc.Polygon(star);
    ExpectProbes(*surface, {{40, 40, kBlack}, {40, 27, kGreen}, {40, 22, kRed}}, "star");

    // The null brush leaves the inside alone.
    dc.SetNullBrush();
    dc.Polygon({{2, 30}, {12, 30}, {12, 40}, {2, 40}});
    ExpectProbes(*surface, {{7, 35, kBlack}, {12, 35, kRed}, {2, 40, kRed}}, "hollow square");
}

TEST_P(DrawingPortTest, MeasuredArialMatchesItsKnownMetrics) {
    auto context = drawing->ScreenContext();
    ASSERT_NE(context, nullptr);
    context->SetFont(Arial(-13));
    DrawRect rect{5, 7, 5, 7};
    const int32_t height =
        context->DrawText(L"Hello", rect, TextFlag::kSingleLine | TextFlag::kCalcRect);
    // Arial's ascent and descent (1854 and 434 of 2048 units) at a 13-pixel em come to 14.5
    // pixels; the platform gives a 15 or 16 pixel cell.
    EXPECT_GE(height, 15);
    EXPECT_LE(height, 16);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 7);
    EXPECT_GT(rect.Width(), 25);
    EXPECT_LT(rect.Width(), 40);

    // Line feeds break lines unless the text is a single line; the widest line counts.
    DrawRect lines{0, 0, 0, 0};
    EXPECT_EQ(context->DrawText(L"Hello\nHello Hello", lines, TextFlag::kCalcRect), 2 * height);
    EXPECT_GT(lines.Width(), 2 * rect.Width());
    DrawRect single{0, 0, 0, 0};
    EXPECT_EQ(context->DrawText(L"a\nb", single, TextFlag::kCalcRect | TextFlag::kSingleLine),
              height);

    // A positive height is the cell; bold is wider; a surface measures as the screen does.
    context->SetFont(Arial(20));
    DrawRect cell{0, 0, 0, 0};
    EXPECT_NEAR(context->DrawText(L"Hello", cell, TextFlag::kCalcRect), 20, 1);
    context->SetFont(Arial(-13, 700));
    DrawRect bold{5, 7, 5, 7};
    context->DrawText(L"Hello", bold, TextFlag::kSingleLine | TextFlag::kCalcRect);
    EXPECT_GT(bold.Width(), rect.Width());
    auto surface = Surface(10, 10);
    surface->Context().SetFont(Arial(-13));
    DrawRect onSurface{5, 7, 5, 7};
    surface->Context().DrawText(L"Hello", onSurface, TextFlag::kSingleLine | TextFlag::kCalcRect);
    EXPECT_EQ(onSurface, rect);
    EXPECT_EQ(FindInk(*surface, kBlack).Empty(), true) << "measuring draws nothing";
}

TEST_P(DrawingPortTest, TextIsPlacedByTheAlignmentFlags) {
    const DrawRect box{10, 10, 190, 70};
    const std::wstring text = L"Hxg";
    auto measure = drawing->ScreenContext();
    measure->SetFont(Arial(-13));
    DrawRect size{0, 0, 0, 0};
    const int32_t height =
        measure->DrawText(text, size, TextFlag::kSingleLine | TextFlag::kCalcRect);
    const int32_t width = size.Width();

    auto draw = [&](uint32_t flags) {
        auto surface = Surface(200, 80);
        IDrawContext& dc = surface->Context();
        dc.SetFont(Arial(-13));
        dc.SetTextColor(MakeColorRef(255, 255, 255));
        dc.SetTransparentText(true);
        DrawRect rect = box;
        EXPECT_EQ(dc.DrawText(text, rect, flags | TextFlag::kSingleLine), height);
        EXPECT_EQ(rect, box);
        return FindInk(*surface, kBlack);
    };
    const InkBox topLeft = draw(TextFlag::kLeft);
    ASSERT_FALSE(topLeft.Empty());
    EXPECT_GE(topLeft.left, box.left);
    EXPECT_LE(topLeft.left, box.left + 2);
    EXPECT_GE(topLeft.top, box.top);
    EXPECT_LE(topLeft.bottom, box.top + height);

    // Every other placement is the top-left one moved by the room the cell leaves; centred
    // upright, the rectangle and the cell are halved apart (60 / 2 - 15 / 2 = 23, not 45 / 2).
    struct Case {
        uint32_t flags;
        int32_t dx;
        int32_t dy;
    };
    const int32_t roomX = box.Width() - width;
    const int32_t roomY = box.Height() - height;
    const int32_t middle = box.Height() / 2 - height / 2;
    const Case cases[] = {
        {TextFlag::kCenter, roomX / 2, 0},
        {TextFlag::kRight, roomX, 0},
        {TextFlag::kVCenter, 0, middle},
        {TextFlag::kBottom, 0, roomY},
        {TextFlag::kCenter | TextFlag::kVCenter, roomX / 2, middle},
        {TextFlag::kRight | TextFlag::kBottom, roomX, roomY},
    };
    for (const Case& test : cases) {
        const InkBox ink = draw(test.flags);
        SCOPED_TRACE(FormatTextFlags(test.flags));
        EXPECT_NEAR(ink.left, topLeft.left + test.dx, 1);
        EXPECT_NEAR(ink.right, topLeft.right + test.dx, 1);
        EXPECT_EQ(ink.top, topLeft.top + test.dy);
        EXPECT_EQ(ink.bottom, topLeft.bottom + test.dy);
    }

    // Without kSingleLine the vertical flags do nothing, as on the platform.
    const InkBox multi = draw(0);
    auto surface = Surface(200, 80);
    surface->Context().SetFont(Arial(-13));
    surface->Context().SetTextColor(MakeColorRef(255, 255, 255));
    surface->Context().SetTransparentText(true);
    DrawRect rect = box;
    surface->Context().DrawText(text, rect, TextFlag::kBottom);
    EXPECT_EQ(FindInk(*surface, kBlack).top, multi.top);
}

TEST_P(DrawingPortTest, TextStaysInItsRectangleAndTheClipAndFillsItsCellWhenOpaque) {
    const ColorRef white = MakeColorRef(255, 255, 255);
    auto surface = Surface(200, 40);
    IDrawContext& dc = surface->Context();
    dc.SetFont(Arial(-13));
    dc.SetTextColor(white);
    dc.SetTransparentText(true);
    DrawRect narrow{0, 0, 30, 20};
    dc.DrawText(L"MMMMMMMMMMMMMMMMMMMM", narrow, TextFlag::kSingleLine);
    InkBox ink = FindInk(*surface, kBlack);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(ink.right, 29);

    // Antialiased: some ink is part-covered.
    bool partial = false;
    for (int32_t x = 0; x < 30; ++x) {
        for (int32_t y = 0; y < 20; ++y) {
            const ColorRef pixel = surface->PixelAt(x, y);
            partial = partial || (pixel != kBlack && pixel != white);
        }
    }
    EXPECT_TRUE(partial || Known(kAliasedSmallText, "13-pixel text with grey levels"));

    surface = Surface(200, 40);
    surface->Context().SetFont(Arial(-13));
    surface->Context().SetTextColor(white);
    surface->Context().SetTransparentText(true);
    surface->Context().SetClipRect({0, 0, 20, 40});
    DrawRect wide{0, 0, 200, 20};
    surface->Context().DrawText(L"MMMMMMMMMM", wide, TextFlag::kSingleLine);
    ink = FindInk(*surface, kBlack);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(ink.right, 19);

    // Opaque text fills its cell, and only its cell, with the background colour.
    surface = Surface(200, 40);
    surface->Context().SetFont(Arial(-13));
    surface->Context().SetTextColor(kRed);
    surface->Context().SetTransparentText(false);
    DrawRect cell{10, 10, 190, 30};
    surface->Context().DrawText(L"ii", cell, TextFlag::kSingleLine);
    EXPECT_EQ(surface->PixelAt(10, 10), white);
    EXPECT_EQ(surface->PixelAt(9, 10), kBlack);
    EXPECT_EQ(surface->PixelAt(100, 10), kBlack);
}

TEST_P(DrawingPortTest, ClipBoxAndDrawingFollowTheClipAndTheViewportOrigin) {
    struct Case {
        const char* name;
        bool clipped;
        DrawRect clip;
        DrawPoint origin;
        DrawRect box;
    };
    const Case cases[] = {
        {"nothing set", false, {}, {0, 0}, {0, 0, 100, 50}},
        {"origin only", false, {}, {-30, -10}, {30, 10, 130, 60}},
        {"clip", true, {10, 5, 40, 25}, {0, 0}, {10, 5, 40, 25}},
        {"clip and origin", true, {10, 5, 40, 25}, {-10, -5}, {20, 10, 50, 30}},
        {"clip beyond the surface", true, {-20, 40, 120, 90}, {0, 0}, {0, 40, 100, 50}},
        {"clip outside the surface", true, {200, 200, 300, 300}, {0, 0}, {0, 0, 0, 0}},
        {"reversed clip", true, {40, 25, 10, 5}, {0, 0}, {10, 5, 40, 25}},
    };
    for (const Case& test : cases) {
        auto surface = Surface(100, 50);
        auto log = std::make_shared<DrawLog>();
        RecordingDrawContext fake(log, {}, 100, 50);
        for (IDrawContext* dc : {&surface->Context(), static_cast<IDrawContext*>(&fake)}) {
            if (test.clipped) {
                dc->SetClipRect(test.clip);
            }
            dc->SetViewportOrigin(test.origin);
        }
        EXPECT_EQ(surface->Context().ClipBox(), test.box) << test.name;
        EXPECT_EQ(fake.ClipBox(), test.box) << test.name << " (the recording fake)";
    }

    // A rectangle through a clip and an origin lands where the origin puts it (device 0..20,
    // its outline outside the clip), cut by the clip given in device pixels; lifting the clip frees
    // the whole surface again.
    auto surface = Surface(40, 40);
    IDrawContext& dc = surface->Context();
    dc.SetPen(kRed, 1);
    dc.SetBrush(kGreen);
    dc.SetClipRect({5, 5, 15, 15});
    dc.SetViewportOrigin({-10, -10});
    dc.Rectangle({10, 10, 30, 30});
    ExpectProbes(*surface, {{4, 4, kBlack}, {5, 5, kGreen}, {14, 14, kGreen}, {15, 15, kBlack}},
                 "clipped rectangle");
    dc.RemoveClip();
    EXPECT_EQ(dc.ClipBox(), (DrawRect{10, 10, 50, 50}));
    dc.Line({10, 30}, {20, 30});
    dc.DrawEdge({20, 20, 30, 30}, EdgeStyle::Raised);
    ExpectProbes(*surface, {{0, 20, kRed}, {10, 10, MakeColorRef(192, 192, 192)}}, "unclipped");
}

TEST_P(DrawingPortTest, BlitCopiesThroughTheDestinationsClipAndOrigin) {
    auto source = Surface(20, 20, kGreen);
    source->Context().SetPen(kRed, 1);
    source->Context().SetBrush(kBlue);
    source->Context().Rectangle({5, 5, 9, 9});

    auto target = Surface(40, 40);
    IDrawContext& dc = target->Context();
    dc.SetClipRect({10, 10, 30, 30});
    dc.SetViewportOrigin({5, 5});
    dc.Blit({0, 0}, 20, 20, *source, {0, 0});
    // Target (9, 9) is source (4, 4), outside the clip; (24, 24) is source (19, 19).
    ExpectProbes(
        *target,
        {{9, 9, kBlack}, {10, 10, kRed}, {11, 11, kBlue}, {24, 24, kGreen}, {25, 25, kBlack}},
        "through clip and origin");

    // A block reaching past the source copies only what the source has, to its place.
    target = Surface(40, 40);
    target->Context().Blit({0, 0}, 20, 20, *source, {-5, 10});
    ExpectProbes(*target, {{4, 0, kBlack}, {5, 0, kGreen}, {5, 9, kGreen}, {5, 10, kBlack}},
                 "past the source");

    // Within one surface the copy reads the pixels as they were (a scroll by 2, 2).
    source->Context().Blit({2, 2}, 18, 18, *source, {0, 0});
    ExpectProbes(*source,
                 {{7, 7, kRed}, {8, 8, kBlue}, {9, 9, kBlue}, {10, 10, kRed}, {11, 11, kGreen}},
                 "scrolled");
}

TEST_P(DrawingPortTest, SurfacesAreBlackAndRefuseImpossibleSizes) {
    auto surface = drawing->CreateSurface(3, 2);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(FindInk(*surface, kBlack).Empty(), true);
    EXPECT_EQ(surface->PixelAt(-1, 0), 0u);
    EXPECT_EQ(surface->PixelAt(3, 0), 0u);
    auto compatible = surface->Context().CreateCompatibleSurface(5, 4);
    ASSERT_NE(compatible, nullptr);
    EXPECT_EQ(compatible->Width(), 5);
    for (auto [width, height] : {std::pair{0, 5}, {5, -1}, {INT32_MAX, 1}, {100000, 100000}}) {
        EXPECT_EQ(drawing->CreateSurface(width, height), nullptr) << width << "x" << height;
    }
}

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

TEST_P(DrawingPortTest, DecodedPicturesKeepTheirAlphaAndScale) {
    // Left half opaque red, right half transparent, one pixel half covered.
    std::vector<uint32_t> picture(16, Rgba(0, 0, 0, 0));
    for (int y = 0; y < 4; ++y) {
        picture[y * 4] = picture[y * 4 + 1] = Rgba(255, 0, 0, 255);
    }
    picture[2] = Rgba(255, 0, 0, 128);
    const std::vector<uint8_t> png = EncodePng(4, 4, picture);
    auto image = drawing->DecodeImage(png.data(), png.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 4);
    EXPECT_EQ(image->Height(), 4);

    auto surface = Surface(20, 20, kBlue);
    IDrawContext& dc = surface->Context();
    dc.DrawImage(*image, {1, 1, 5, 5}, {0, 0, 4, 4});
    ExpectProbes(*surface,
                 {{1, 1, kRed}, {2, 4, kRed}, {4, 4, kBlue}, {0, 0, kBlue}, {5, 5, kBlue}},
                 "unscaled");
    const ColorRef half = surface->PixelAt(3, 1);
    EXPECT_NEAR(static_cast<int>(half & 0xFF), 128, 2);
    EXPECT_NEAR(static_cast<int>(half >> 16), 127, 2);

    // Doubled into 8x8 through an origin: the red half is 4 wide, smoothly edged; a part of
    // the picture draws only that part.
    dc.SetViewportOrigin({10, 10});
    dc.DrawImage(*image, {0, 0, 8, 8}, {0, 0, 4, 4});
    ExpectProbes(*surface, {{10, 10, kRed}, {12, 14, kRed}, {17, 17, kBlue}}, "doubled");
    dc.SetViewportOrigin({0, 0});
    dc.DrawImage(*image, {0, 10, 2, 12}, {2, 2, 4, 4});
    EXPECT_EQ(surface->PixelAt(0, 10), kBlue);

    // The clip, in device pixels, holds pictures as it holds everything else.
    auto clipped = Surface(20, 20, kBlue);
    clipped->Context().SetViewportOrigin({2, 2});
    clipped->Context().SetClipRect({0, 0, 4, 20});
    clipped->Context().DrawImage(*image, {0, 0, 8, 8}, {0, 0, 4, 4});
    ExpectProbes(*clipped, {{2, 2, kRed}, {3, 9, kRed}, {4, 2, kBlue}, {5, 5, kBlue}}, "clipped");

    const std::vector<uint8_t> bmp = EncodeBmp(4, 4, picture);
    auto fromBmp = drawing->DecodeImage(bmp.data(), bmp.size());
    ASSERT_NE(fromBmp, nullptr);
    dc.DrawImage(*fromBmp, {0, 0, 4, 4}, {0, 0, 4, 4});
    ExpectProbes(*surface, {{0, 0, kRed}, {3, 3, kBlack}}, "bmp");
}

TEST_P(DrawingPortTest, BrokenOrHugePicturesDecodeToNone) {
    const std::vector<uint32_t> picture(16 * 16, Rgba(255, 0, 0, 255));
    const std::vector<uint8_t> png = EncodePng(16, 16, picture);
    const std::vector<uint8_t> truncated(png.begin(), png.begin() + png.size() / 2);
    // A valid header of a 100000 x 100000 picture, its checksum right.
    std::vector<uint8_t> huge = png;
    PutBigEndian(huge, 16, 100000);
    PutBigEndian(huge, 20, 100000);
    PutBigEndian(huge, 29, Crc32(huge.data() + 12, 17));
    std::vector<uint8_t> hugeBmp = EncodeBmp(16, 16, picture);
    hugeBmp[18] = 0x00;  // width 0x01000000
    hugeBmp[21] = 0x01;
    std::vector<uint8_t> garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<uint8_t>(i * 7919 % 251);
    }
    const std::string ppm = "P6\n16 16\n255\n" + std::string(16 * 16 * 3, '\x7f');
    const std::vector<uint8_t> jpegLike(ppm.begin(), ppm.end());

    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"empty", {}},
        {"garbage", garbage},
        {"truncated", truncated},
        {"huge png", huge},
        {"huge bmp", hugeBmp},
        {"other format", jpegLike},
        {"signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8)},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(drawing->DecodeImage(bytes.data(), bytes.size()), nullptr) << name;
    }
    EXPECT_EQ(drawing->DecodeImage(nullptr, 10), nullptr);
}

// A device-independent bitmap whose pixel at (x, y), counted from the top, is
// (10x, 10y, 200), bottom row first unless top-down.
DibBitmap MakeDib(int32_t width, int32_t height, int bits, bool topDown) {
    const size_t bytes = static_cast<size_t>(bits / 8);
    const size_t stride = (width * bytes + 3) / 4 * 4;
    DibBitmap dib;
    dib.bits.assign(40 + stride * height, 0);
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            dib.bits[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    put(0, 40, 4);
    put(4, static_cast<uint32_t>(width), 4);
    put(8, static_cast<uint32_t>(topDown ? -height : height), 4);
    put(12, 1, 2);
    put(14, static_cast<uint32_t>(bits), 2);
    for (int32_t y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = &dib.bits[40 + row * stride + x * bytes];
            pixel[0] = 200;  // blue
            pixel[1] = static_cast<uint8_t>(10 * y);
            pixel[2] = static_cast<uint8_t>(10 * x);
        }
    }
    return dib;
}

TEST_P(DrawingPortTest, DibsOf24And32BitsReadEitherWayUpAndAreChecked) {
    for (auto [bits, topDown] : {std::pair{24, false}, {24, true}, {32, false}, {32, true}}) {
        SCOPED_TRACE(std::to_string(bits) + (topDown ? " top-down" : " bottom-up"));
        auto image = drawing->ImageFromDib(MakeDib(3, 2, bits, topDown));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->Width(), 3);
        EXPECT_EQ(image->Height(), 2);
        auto surface = Surface(3, 2);
        surface->Context().DrawImage(*image, {0, 0, 3, 2}, {0, 0, 3, 2});
        ExpectProbes(*surface,
                     {{0, 0, MakeColorRef(0, 0, 200)},
                      {2, 0, MakeColorRef(20, 0, 200)},
                      {1, 1, MakeColorRef(10, 10, 200)}},
                     "pixels");
    }

    auto changed = [](auto change) {
        DibBitmap dib = MakeDib(3, 2, 24, false);
        change(dib);
        return dib;
    };
    const std::pair<const char*, DibBitmap> broken[] = {
        {"no header", DibBitmap{}},
        {"short pixels", changed([](DibBitmap& d) { d.bits.resize(d.bits.size() - 1); })},
        {"header larger than the bytes", changed([](DibBitmap& d) { d.bits[1] = 0x10; })},
        {"header too small", changed([](DibBitmap& d) { d.bits[0] = 12; })},
        {"16 bits", changed([](DibBitmap& d) { d.bits[14] = 16; })},
        {"compressed", changed([](DibBitmap& d) { d.bits[16] = 1; })},
        {"no width", changed([](DibBitmap& d) { d.bits[4] = 0; })},
        {"no height", changed([](DibBitmap& d) { d.bits[8] = 0; })},
        {"height INT_MIN", changed([](DibBitmap& d) {
             d.bits[8] = d.bits[9] = d.bits[10] = 0;
             d.bits[11] = 0x80;
         })},
        {"too wide", changed([](DibBitmap& d) { d.bits[5] = 0x30; })},
    };
    for (const auto& [name, dib] : broken) {
        EXPECT_EQ(drawing->ImageFromDib(dib), nullptr) << name;
    }
}

}  // namespace
}  // namespace vortrel::testing
