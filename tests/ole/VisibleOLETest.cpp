#include "ole/VisibleOLE.h"
#include "common/FakeView.h"
#include "ole/OleTestSupport.h"
#include "platform/Archive.h"
#include "platform/PainterDC.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// An object of extent w x h HIMETRIC at (1, 3) inches in a 96 dpi view.
struct Placed
{
    FakeDocument doc;
    FakeView view;
    VisibleOLE obj;

    Placed(int w, int h, int angle, uint32_t hs = 100, uint32_t vs = 100)
        : obj(ClientItem::fromPicture(pngBytes(96, 96)))
    {
        view.doc = &doc;
        obj.SetView(&view);
        obj.x = 1.0f;
        obj.y = 3.0f;
        obj.setExtent({w, h});
        obj.setAngle(angle);
        obj.setScales(hs, vs);
        obj.ComputeRect();
    }
};

struct BoundsCase
{
    int w, h, angle; // HIMETRIC, tenths of a degree
    uint32_t hs, vs;
    double width, height; // expected pixels
};

class BoundsTest : public ::testing::TestWithParam<BoundsCase>
{};

TEST_P(BoundsTest, TurnedAndScaledBoxKeepsItsTopLeft)
{
    const BoundsCase c = GetParam();
    Placed p(c.w, c.h, c.angle, c.hs, c.vs);
    const Rect r = p.obj.GetRect();
    EXPECT_NEAR(r.width(), c.width, 1.0);
    EXPECT_NEAR(r.height(), c.height, 1.0);
    // Top-left at (1, 3) inches: 96 pixels right, 3 inches above the client bottom (600).
    EXPECT_EQ(r.left, 96);
    EXPECT_EQ(r.top, 600 - 288);
}

INSTANTIATE_TEST_SUITE_P(Angles, BoundsTest,
                         ::testing::Values(BoundsCase{2540, 5080, 0, 100, 100, 96, 192},
                                           // 90 degrees swaps width and height
                                           BoundsCase{2540, 5080, 900, 100, 100, 192, 96},
                                           BoundsCase{2540, 5080, -900, 100, 100, 192, 96},
                                           // 45 degrees grows a square by the square root of 2
                                           BoundsCase{2540, 2540, 450, 100, 100, 96 * M_SQRT2,
                                                      96 * M_SQRT2},
                                           // scales apply to the turned box
                                           BoundsCase{2540, 5080, 900, 50, 200, 96, 192},
                                           BoundsCase{2540, 2540, 0, 1, 1, 1, 1}));

TEST(VisibleOLETest, ZeroExtentIsStoredAsOneAndStaysSelectable)
{
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    VisibleOLE obj(ClientItem::fromLabel(TextLabel{}));
    EXPECT_EQ(obj.extent(), QSize(1, 1));
    obj.setExtent({0, 0});
    EXPECT_EQ(obj.extent(), QSize(1, 1));
    obj.SetView(&view);
    obj.ComputeRect();
    EXPECT_FALSE(obj.GetRect().isEmpty());

    Archive out;
    obj.Serialize(out);
    ASSERT_GE(out.data().size(), 20);
    // The five values close the record: extent 1 x 1, angle 0, scales 100.
    Archive tail(out.data().right(20));
    EXPECT_EQ(tail.readLong(), 1);
    EXPECT_EQ(tail.readLong(), 1);
}

TEST(VisibleOLETest, RotationTurnsThePictureCounterClockwise)
{
    QImage source(20, 10, QImage::Format_RGB32);
    source.fill(Qt::white);
    source.setPixel(19, 5, qRgb(255, 0, 0)); // right edge, middle
    const QImage turned = VisibleOLE::rotated(source, 900, QSize(10, 20));
    // A quarter turn counter-clockwise brings the right edge to the top.
    EXPECT_EQ(turned.pixel(5, 0), qRgb(255, 0, 0));
    EXPECT_EQ(turned.pixel(5, 19), qRgb(255, 255, 255));
}

TEST(VisibleOLETest, DrawLetsWhiteThroughCachesAndDropsTheCacheWhenTheSizeChanges)
{
    Placed p(2540, 2540, 0);
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(qRgb(0, 0, 255));
    {
        QPainter painter(&page);
        PainterDC dc(&painter, 96, 96);
        p.view.PrepareDC(dc);
        p.obj.Draw(dc);
    }
    const Rect r = p.obj.GetRect();
    // The white border of the picture lets the blue through; its black middle is drawn.
    EXPECT_EQ(page.pixel(r.left + 2, r.top + 2), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixel(r.left + r.width() / 2, r.top + r.height() / 2), qRgb(0, 0, 0));
    EXPECT_TRUE(p.obj.hasPictureCache());
    p.obj.ComputeRect();
    EXPECT_TRUE(p.obj.hasPictureCache());
    p.obj.setScales(200, 200);
    p.obj.ComputeRect();
    EXPECT_FALSE(p.obj.hasPictureCache());
}

TEST(VisibleOLETest, HandlesResizeWithOneScaleKeepingTheOppositeSide)
{
    Placed p(2540, 2540, 0); // 96 x 96 pixels at (96, 312)
    const Rect start = p.obj.GetRect();
    ASSERT_TRUE(p.obj.HitHandle(start.right - 1, start.top + start.height() / 2));
    Rect r = p.obj.ScaleTo(start.left + 192, 0);
    EXPECT_EQ(p.obj.horizontalScale(), 200u);
    EXPECT_EQ(p.obj.verticalScale(), 200u);
    EXPECT_EQ(r.left, start.left);
    EXPECT_NEAR(r.width(), 192, 1);

    const Rect before = r;
    ASSERT_TRUE(p.obj.HitHandle(before.left, before.top + before.height() / 2));
    r = p.obj.ScaleTo(before.right - 48, 0);
    EXPECT_EQ(p.obj.horizontalScale(), 50u);
    EXPECT_NEAR(r.right, before.right, 1);
    EXPECT_NEAR(r.width(), 48, 1);
}

} // namespace
