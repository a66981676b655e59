#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/linux/QtDrawing.h"
#include "platform/linux/QtFonts.h"
#include "support/DrawingPortTests.h"

namespace vortrel {
namespace {

using testing::DrawingBackEnd;
using testing::DrawingPortTest;

INSTANTIATE_TEST_SUITE_P(Qt, DrawingPortTest,
                         ::testing::Values(DrawingBackEnd{"Qt", &StartQtDrawing}),
                         testing::BackEndName);

TEST(QtDrawingFacesTest, ArialIsMetByTheInstalledFaceOfItsMetrics) {
    ASSERT_NE(StartQtDrawing(), nullptr);
    // Whatever the font configuration says.
    EXPECT_EQ(QFontInfo(MakeQtFont(testing::Arial(-13))).family(),
              QStringLiteral("Liberation Sans"));
}

}  // namespace
}  // namespace vortrel
