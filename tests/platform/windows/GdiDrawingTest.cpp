#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/windows/GdiDrawing.h"
#include "platform/windows/GdiFonts.h"
#include "support/DrawingPortTests.h"

namespace vortrel {
namespace {

using testing::DrawingBackEnd;
using testing::DrawingPortTest;

std::shared_ptr<IDrawing> StartGdiDrawing() {
    return GdiDrawing::Start();
}

// The tests run on Wine's GDI. Its wide pens join and cap with a plus where the rules have a
// square 3 pixels wide, and it keeps the face's own rule (the 'gasp' table of Arial and Liberation
// Sans) that text of 9 to 16 pixels has no grey levels.
INSTANTIATE_TEST_SUITE_P(Gdi, DrawingPortTest,
                         ::testing::Values(DrawingBackEnd{
                             "Gdi", &StartGdiDrawing,
                             testing::kRoundWideJoins | testing::kAliasedSmallText}),
                         testing::BackEndName);

// The face GDI's font mapper picks for a font record.
std::wstring ChosenFace(const LOGFONTW& record) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&record);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return face;
}

TEST(GdiDrawingFacesTest, ArialIsMetByAFaceOfItsMetrics) {
    const std::wstring face = ChosenFace(ToDrawingLogFont(testing::Arial(-13)));
    EXPECT_TRUE(face == L"Arial" || face == L"Liberation Sans")
        << std::string(face.begin(), face.end());
}

TEST(GdiDrawingContextTest, AContextOnAForeignDeviceContextGivesItBackAsItWas) {
    auto drawing = GdiDrawing::Start();
    ASSERT_NE(drawing, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    {
        auto context = drawing->ContextOn(dc);
        context->SetPen(MakeColorRef(255, 0, 0), 3);
        context->SetViewportOrigin({4, 4});
        context->SetClipRect({0, 0, 2, 2});
        context->SetTransparentText(true);
    }
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    RECT clip{};
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right, 8);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(GdiDrawingPicturesTest, BitmapHandlesBecomePictures) {
    auto drawing = GdiDrawing::Start();
    ASSERT_NE(drawing, nullptr);
    auto surface = drawing->CreateSurface(3, 2);
    ASSERT_NE(surface, nullptr);
    // A bitmap of one colour, read through its handle.
    const DWORD blue[6] = {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF};
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 32, blue);
    auto image = drawing->ImageFromBitmapHandle(bitmap);
    DeleteObject(bitmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 3);
    surface->Context().DrawImage(*image, {0, 0, 3, 2}, {0, 0, 3, 2});
    EXPECT_EQ(surface->PixelAt(2, 1), MakeColorRef(0, 0, 255));
    EXPECT_EQ(drawing->ImageFromBitmapHandle(nullptr), nullptr);
}

}  // namespace
}  // namespace vortrel
