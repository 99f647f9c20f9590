#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

namespace {

struct MappingCase
{
    float ppi;
    float scale;
    int viewportExt;
    QPoint logical;
    QPoint device; // viewport origin (0, 600)
};

class PageMapping : public ::testing::TestWithParam<MappingCase>
{};

TEST_P(PageMapping, MapsLogicalToDeviceAndBack)
{
    const MappingCase& c = GetParam();
    RecordingDC dc;
    dc.setPageMapping(c.ppi, c.ppi, c.scale, QPoint(0, 600));
    EXPECT_EQ(dc.windowExt(), QSize(5000, -5000));
    EXPECT_EQ(dc.viewportExt(), QSize(c.viewportExt, c.viewportExt));
    EXPECT_EQ(dc.LPtoDP(c.logical), c.device);
    EXPECT_EQ(dc.LPtoDP(dc.DPtoLP(c.device)), c.device);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, PageMapping,
    ::testing::Values(MappingCase{96, 1, 480, {1000, 1000}, {96, 504}},
                      MappingCase{96, 2, 960, {1000, 1000}, {192, 408}},
                      MappingCase{96, 1, 480, {0, 0}, {0, 600}},
                      MappingCase{96, 1, 480, {-125, -125}, {-12, 612}},
                      // -12.48 and -12.576 pixels: nearest, not toward zero
                      MappingCase{96, 1, 480, {-130, 130}, {-12, 588}},
                      MappingCase{96, 1, 480, {-131, 131}, {-13, 587}},
                      // 5 * 96 * 0.35 is 168 in single precision, 167.99... in double
                      MappingCase{96, 0.35f, 168, {5000, 0}, {168, 600}},
                      MappingCase{120, 1.5f, 900, {1000, 2000}, {180, 240}}));

TEST(Mapping, HalvesRoundAwayFromZero)
{
    RecordingDC dc;
    dc.setMapModeAnisotropic();
    dc.setWindowExt(2, 2);
    dc.setViewportExt(1, -1);
    const int cases[][2] = {{1, 1}, {-1, -1}, {3, 2}, {-3, -2}, {2, 1}, {-2, -1}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(dc.LPtoDP(QPoint(c[0], c[0])), QPoint(c[1], -c[1])) << c[0];
    }
}

TEST(Mapping, DeviceToLogicalRoundTripsEveryPixel)
{
    RecordingDC dc;
    dc.setPageMapping(96, 96, 1.25f, QPoint(17, 433));
    for (int d = -700; d <= 700; ++d) {
        const QPoint p(d, -d);
        ASSERT_EQ(dc.LPtoDP(dc.DPtoLP(p)), p) << d;
    }
    EXPECT_EQ(dc.DPtoLP(QPoint(17 + 1, 433 - 1)), QPoint(8, 8)); // 8.33 logical units
}

TEST(Mapping, WindowOriginShiftsLogicalSpace)
{
    RecordingDC dc;
    dc.setPageMapping(96, 96, 1, QPoint(0, 600));
    const QPoint before = dc.LPtoDP(QPoint(2000, 1000));
    dc.offsetWindowOrg(-1000, -1000);
    EXPECT_EQ(dc.windowOrg(), QPoint(-1000, -1000));
    EXPECT_EQ(dc.LPtoDP(QPoint(1000, 0)), before);
    dc.setWindowOrg(0, 0);
    EXPECT_EQ(dc.LPtoDP(QPoint(2000, 1000)), before);
}

TEST(Mapping, TextMappingIsIdentityPlusOrigins)
{
    RecordingDC dc;
    EXPECT_TRUE(dc.isMapModeText());
    dc.setWindowExt(5000, -5000); // ignored in the text mapping
    dc.setViewportOrg(10, 20);
    EXPECT_EQ(dc.LPtoDP(QPoint(5, 6)), QPoint(15, 26));
    EXPECT_EQ(dc.DPtoLP(QPoint(15, 26)), QPoint(5, 6));
    EXPECT_EQ(dc.LPtoDP(QRect(0, 0, 10, 10)), QRect(10, 20, 10, 10));
}

TEST(Mapping, ExtremeValuesNeitherOverflowNorDivideByZero)
{
    RecordingDC dc;
    dc.setPageMapping(96, 96, 0.0f, QPoint(0, 600)); // zero viewport extent is refused
    EXPECT_EQ(dc.viewportExt(), QSize(1, 1));
    dc.setPageMapping(1e30f, 1e30f, 1e30f, QPoint(0, 0));
    dc.setPageMapping(96, 96, 1, QPoint(0, 600));
    const QPoint far = dc.LPtoDP(QPoint(INT_MAX, INT_MIN));
    EXPECT_GT(far.x(), 0);
    EXPECT_EQ(dc.DPtoLP(QPoint(INT_MAX, INT_MIN)).x(), INT_MAX); // clamped
    EXPECT_EQ(dc.LPtoDP(QRect(QPoint(0, 0), QSize(INT_MAX, INT_MAX))).topLeft(), QPoint(0, 600));
}

TEST(State, RestoreBringsBackMappingPenAndFont)
{
    RecordingDC dc;
    dc.setPageMapping(96, 96, 1, QPoint(0, 600));
    const PenRecord pen(PS_DOT, 0, RGB(1, 2, 3));
    dc.selectPen(pen);
    dc.selectFont(LogFont::fromFace(QStringLiteral("Arial"), -167));
    dc.moveTo(5, 6);
    const int depth = dc.saveDC();
    EXPECT_EQ(depth, 1);

    dc.setPageMapping(96, 96, 2, QPoint(5, 5));
    dc.offsetWindowOrg(100, 100);
    EXPECT_EQ(dc.selectPen(PenRecord::stockWhite()), pen);
    dc.selectFont(LogFont());
    dc.setROP2(R2_XORPEN);
    dc.setTextColor(0xFF);
    dc.setBkMode(TRANSPARENT_BK);
    dc.intersectClipRect(0, 1000, 1000, 0);
    dc.moveTo(7, 8);
    dc.saveDC();
    dc.selectStockPen(NULL_PEN);

    dc.restoreDC(depth); // pops both levels
    EXPECT_EQ(dc.LPtoDP(QPoint(1000, 1000)), QPoint(96, 504));
    EXPECT_EQ(dc.windowOrg(), QPoint(0, 0));
    EXPECT_EQ(dc.pen(), pen);
    EXPECT_EQ(dc.font().lfHeight, -167);
    EXPECT_EQ(dc.rop2(), R2_COPYPEN);
    EXPECT_EQ(dc.textColor(), 0u);
    EXPECT_EQ(dc.bkMode(), OPAQUE_BK);
    EXPECT_FALSE(dc.clipBox().has_value());
    EXPECT_EQ(dc.currentPosition(), QPoint(5, 6));

    dc.restoreDC(); // nothing saved: no change
    dc.restoreDC(7);
    EXPECT_EQ(dc.pen(), pen);
}

TEST(State, InvalidModesAreRefused)
{
    RecordingDC dc;
    EXPECT_EQ(dc.setROP2(99), R2_COPYPEN);
    EXPECT_EQ(dc.rop2(), R2_COPYPEN);
    EXPECT_EQ(dc.setBkMode(0), OPAQUE_BK);
    EXPECT_EQ(dc.bkMode(), OPAQUE_BK);
    EXPECT_EQ(dc.bkColor(), 0xFFFFFFu);
}

TEST(Clip, IsIntersectedInDevicePixels)
{
    RecordingDC dc;
    dc.setPageMapping(96, 96, 1, QPoint(0, 600));
    dc.intersectClipRect(0, 2000, 2000, 0);
    EXPECT_EQ(dc.clipBox(), QRect(QPoint(0, 408), QPoint(191, 599)));
    dc.intersectClipRect(1000, 5000, 5000, 1000);
    EXPECT_EQ(dc.clipBox(), QRect(QPoint(96, 408), QPoint(191, 503)));
    dc.intersectClipRect(3000, 4000, 4000, 3000);
    ASSERT_TRUE(dc.clipBox().has_value());
    EXPECT_TRUE(dc.clipBox()->isEmpty());
}

TEST(Recording, WritesOneLinePerCall)
{
    RecordingDC dc;
    dc.setPageMapping(96, 96, 1, QPoint(0, 600));
    dc.saveDC();
    dc.setROP2(R2_COPYPEN);
    dc.selectStockPen(BLACK_PEN);
    dc.selectStockBrush(NULL_BRUSH);
    dc.moveTo(1000, 2000);
    dc.lineTo(3000, 2000);
    dc.lineTo(3000, 4000);
    const QPoint points[] = {{0, 0}, {10, 20}, {-5, 7}};
    dc.polyline(points, 3);
    dc.polyline(points, 1); // nothing to draw
    dc.rectangle(1000, 4000, 3000, 2000);
    dc.patBlt(-3, -3, 6, 6, BLACKNESS);
    dc.selectFont(LogFont::fromFace(QStringLiteral("Arial"), -167));
    dc.setTextColor(RGB(255, 0, 0));
    dc.setBkMode(TRANSPARENT_BK);
    dc.textOut(3500, 500, QStringLiteral("2.5"));
    dc.textOut(0, 0, QStringLiteral("say \"a\\b\""));
    dc.offsetWindowOrg(-1000, 0);
    dc.intersectClipRect(0, 5000, 5000, 0);
    dc.restoreDC();

    const QStringList expected = {
        "save",
        "rop 13",
        "pen 0 0 0x000000",
        "brush null",
        "line 1000,2000 3000,2000",
        "line 3000,2000 3000,4000",
        "polyline 3 0,0 10,20 -5,7",
        "rect 1000,4000,3000,2000",
        "patblt -3,-3,6,6 0x42",
        "font Arial -167 esc 0",
        "textcolor 0x0000ff",
        "bkmode 1",
        "text 3500,500 \"2.5\"",
        "text 0,0 \"say \\\"a\\\\b\\\"\"",
        "windoworg -1000,0",
        "clip 0,5000,5000,0",
        "restore",
    };
    EXPECT_EQ(dc.lines(), expected);
    dc.clear();
    EXPECT_TRUE(dc.lines().isEmpty());
}

TEST(Recording, TextExtentIsMeasuredWithLogicalUnitsAsPixels)
{
    RecordingDC dc;
    dc.selectFont(LogFont::fromFace(QStringLiteral("Arial"), -167));
    const QSize one = dc.getTextExtent(QStringLiteral("2.5"));
    const QSize two = dc.getTextExtent(QStringLiteral("2.52.5"));
    EXPECT_GT(one.height(), 167);
    EXPECT_LT(one.height(), 220);
    EXPECT_GT(one.width(), 167);
    EXPECT_NEAR(two.width(), 2 * one.width(), 2);
    EXPECT_EQ(dc.getTextExtent(QString()).width(), 0);

    // Turning the text does not change its extent along the baseline.
    LogFont turned = dc.font();
    turned.lfEscapement = -900;
    dc.selectFont(turned);
    EXPECT_EQ(dc.getTextExtent(QStringLiteral("2.5")), one);
}

} // namespace
