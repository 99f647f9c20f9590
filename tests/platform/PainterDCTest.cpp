#include "platform/PainterDC.h"
#include "platform/SymbolFont.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int imageWidth = 800;
constexpr int imageHeight = 600;

bool dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Dark pixels inside the rectangle (inclusive edges), clipped to the image.
int darkCount(const QImage& image, const QRect& r)
{
    const QRect box = r.intersected(image.rect());
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += dark(image, x, y);
    return n;
}

QImage whiteImage()
{
    QImage image(imageWidth, imageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The page mapping with the page origin at the image's bottom-left corner.
void preparePage(PainterDC& dc, float scale)
{
    dc.setPageMapping(96, 96, scale, QPoint(0, imageHeight));
}

class LineOnPage : public ::testing::TestWithParam<float>
{};

TEST_P(LineOnPage, LandsOnTheComputedPixels)
{
    const float scale = GetParam();
    QImage image = whiteImage();
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, scale);
        dc.selectStockPen(BLACK_PEN);
        dc.moveTo(1000, 1000);
        dc.lineTo(3000, 1000);
        EXPECT_EQ(dc.currentPosition(), QPoint(3000, 1000));
    }
    const int px = int(96 * scale); // one inch
    const int row = imageHeight - px;
    const int left = px;
    const int right = 3 * px;
    for (int x = left; x < right; ++x)
        ASSERT_TRUE(dark(image, x, row)) << x;
    EXPECT_FALSE(dark(image, left - 1, row));
    EXPECT_FALSE(dark(image, right + 1, row));
    EXPECT_EQ(darkCount(image, QRect(0, row - 1, imageWidth, 1)), 0);
    EXPECT_EQ(darkCount(image, QRect(0, row + 1, imageWidth, 1)), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, LineOnPage, ::testing::Values(1.0f, 2.0f));

TEST(PainterDC, WidePenScalesWithTheMapping)
{
    QImage image = whiteImage();
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, 2.0f);
        dc.selectPen(PenRecord(PS_SOLID, 50, 0)); // 0.05 inch: 9.6 pixels at scale 2
        dc.moveTo(1000, 1000);
        dc.lineTo(3000, 1000);
    }
    const int row = imageHeight - 192;
    EXPECT_EQ(darkCount(image, QRect(300, row - 12, 1, 25)), 10);
}

TEST(PainterDC, RectangleExcludesRightAndBottomEdges)
{
    QImage image = whiteImage();
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        dc.selectSolidBrush(RGB(0, 0, 0));
        dc.rectangle(10, 20, 30, 50); // text mapping: pixels
    }
    EXPECT_EQ(darkCount(image, QRect(0, 0, 100, 100)), 20 * 30);
    EXPECT_TRUE(dark(image, 29, 49));
    EXPECT_FALSE(dark(image, 30, 49));
    EXPECT_FALSE(dark(image, 29, 50));
}

TEST(PainterDC, SelectionMarksAndClip)
{
    QImage image = whiteImage();
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        dc.saveDC();
        dc.intersectClipRect(0, 0, 103, 1000);
        dc.selectStockBrush(NULL_BRUSH);
        dc.rectangle(50, 50, 150, 150);
        dc.patBlt(97, 97, 6, 6, BLACKNESS);
        dc.restoreDC();
        dc.patBlt(200, 200, 6, 6, BLACKNESS);
    }
    EXPECT_FALSE(dark(image, 80, 80)); // hollow
    EXPECT_TRUE(dark(image, 50, 100));
    EXPECT_FALSE(dark(image, 149, 100)); // outside the clip
    EXPECT_EQ(darkCount(image, QRect(97, 97, 6, 6)), 36);
    EXPECT_EQ(darkCount(image, QRect(103, 97, 10, 6)), 0);
    EXPECT_EQ(darkCount(image, QRect(200, 200, 6, 6)), 36); // clip gone with the restore
}

struct XorCase
{
    int rop;
    uint32_t style;
    bool brush;
};

class XorDrawing : public ::testing::TestWithParam<XorCase>
{};

TEST_P(XorDrawing, DrawingTwiceRestoresThePixels)
{
    const XorCase& c = GetParam();
    QImage image(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            image.setPixel(x, y, qRgb(x, y, (x * y) & 0xFF));
    const QImage before = image.copy();
    QPainter painter(&image);
    PainterDC dc(&painter, 96, 96);
    dc.setROP2(c.rop);
    dc.selectPen(PenRecord(c.style, 1, RGB(0, 200, 100)));
    if (c.brush)
        dc.selectSolidBrush(RGB(255, 255, 0));
    else
        dc.selectStockBrush(NULL_BRUSH);

    dc.rectangle(20, 30, 120, 170);
    painter.end();
    int changed = 0;
    for (int y = 0; y < 200; y += 1)
        changed += image.pixel(20, y) != before.pixel(20, y);
    EXPECT_GT(changed, 20);

    painter.begin(&image);
    dc.rectangle(20, 30, 120, 170);
    painter.end();
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(image.pixel(x, y), before.pixel(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Modes, XorDrawing,
                         ::testing::Values(XorCase{R2_XORPEN, PS_SOLID, false},
                                           XorCase{R2_XORPEN, PS_DASHDOT, false},
                                           XorCase{R2_XORPEN, PS_SOLID, true},
                                           XorCase{R2_NOT, PS_SOLID, false},
                                           XorCase{R2_NOTXORPEN, PS_DOT, false}));

TEST(PainterDC, FocusRectAndInvertUndoThemselves)
{
    QImage image = whiteImage();
    QPainter painter(&image);
    PainterDC dc(&painter, 96, 96);
    dc.drawFocusRect(QRect(10, 10, 50, 40));
    dc.invertRect(QRect(100, 100, 10, 10));
    EXPECT_GT(darkCount(image, QRect(10, 10, 50, 1)), 20);
    EXPECT_EQ(darkCount(image, QRect(100, 100, 10, 10)), 100);
    dc.drawFocusRect(QRect(10, 10, 50, 40));
    dc.patBlt(100, 100, 10, 10, DSTINVERT);
    EXPECT_EQ(darkCount(image, image.rect()), 0);
}

TEST(PainterText, HangsBelowItsReferencePoint)
{
    QImage image = whiteImage();
    QPoint at;
    QSize extent;
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, 1.0f);
        dc.selectFont(LogFont::fromFace(QStringLiteral("Arial"), -167)); // 16 pixels
        dc.setBkMode(TRANSPARENT_BK);
        dc.textOut(1000, 4000, QStringLiteral("Hg 2.5"));
        at = dc.LPtoDP(QPoint(1000, 4000));
        extent = dc.getTextExtent(QStringLiteral("Hg 2.5"));
    }
    EXPECT_EQ(at, QPoint(96, 216));
    const int width = int(extent.width() * 0.096);
    const int height = int(extent.height() * 0.096);
    EXPECT_GE(height, 16);
    EXPECT_LE(height, 22);
    EXPECT_GT(darkCount(image, QRect(at.x(), at.y(), width, height)), 30);
    EXPECT_EQ(darkCount(image, QRect(0, 0, imageWidth, at.y())), 0);
    EXPECT_EQ(darkCount(image, QRect(0, at.y() + height + 1, imageWidth, 100)), 0);
    EXPECT_EQ(darkCount(image, QRect(at.x() + width + 2, at.y(), 100, height)), 0);
}

TEST(PainterText, OpaqueBackgroundFillsTheCell)
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PainterDC dc(&painter, 96, 96);
    dc.selectFont(LogFont::fromFace(QStringLiteral("Arial"), -20));
    dc.setTextColor(RGB(255, 255, 255));
    dc.textOut(10, 10, QStringLiteral("...")); // white dots on the default white background
    const QSize extent = dc.getTextExtent(QStringLiteral("..."));
    EXPECT_EQ(darkCount(image, QRect(10, 10, extent.width() - 1, extent.height() - 1)), 0);
    EXPECT_TRUE(dark(image, 9, 9));
}

TEST(PainterText, TurnedTextReadsBottomToTopOnThePage)
{
    QImage image = whiteImage();
    QPoint at;
    QSize extent;
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, 2.0f);
        LogFont font = LogFont::fromFace(QStringLiteral("Arial"), -167);
        font.lfEscapement = -900;
        dc.selectFont(font);
        dc.setBkMode(TRANSPARENT_BK);
        dc.textOut(1000, 1000, QStringLiteral("Axis title"));
        at = dc.LPtoDP(QPoint(1000, 1000));
        extent = dc.getTextExtent(QStringLiteral("Axis title"));
    }
    // The extent runs along the baseline: long and low, whatever the turn.
    EXPECT_GT(extent.width(), 3 * extent.height());
    const int along = int(extent.width() * 0.192);
    const int across = int(extent.height() * 0.192);
    // Upwards from the point, the cell to its right.
    EXPECT_GT(darkCount(image, QRect(at.x(), at.y() - along, across, along)), 100);
    EXPECT_EQ(darkCount(image, QRect(0, at.y() + 2, imageWidth, 50)), 0);
    EXPECT_EQ(darkCount(image, QRect(0, 0, at.x() - 1, imageHeight)), 0);
    EXPECT_EQ(darkCount(image, QRect(0, 0, imageWidth, at.y() - along - 2)), 0);
}

TEST(PainterText, WingdingsDotIsAFilledCircle)
{
    QImage image = whiteImage();
    QPoint at;
    QSize cell;
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, 1.0f);
        dc.selectFont(LogFont::fromFace(QStringLiteral("Wingdings"), -250));
        dc.setBkMode(TRANSPARENT_BK);
        dc.textOut(2000, 3000, QString(QChar(108)));
        at = dc.LPtoDP(QPoint(2000, 3000));
        const QSize extent = dc.getTextExtent(QString(QChar(108)));
        cell = QSize(int(extent.width() * 0.096), int(extent.height() * 0.096));
    }
    const QPoint centre = at + QPoint(cell.width() / 2, cell.height() / 2);
    // A letter l would be a thin stroke; the dot is solid across its middle.
    EXPECT_GE(darkCount(image, QRect(centre.x() - 3, centre.y(), 7, 1)), 7);
    EXPECT_GE(darkCount(image, QRect(centre.x() - 2, centre.y() - 2, 5, 5)), 25);
}

struct BatchCase
{
    const char* name;
    QString face;
    int height; // logical units, 0.001 inch
    QString text;
    int escapement;
    int bkMode;
};

class TextAtManyPoints : public ::testing::TestWithParam<BatchCase>
{};

// Text drawn at many points in one call gives the pixels of one call a point: each copy in its own
// place and turn, over the copies before it, and cut by the clip.
TEST_P(TextAtManyPoints, GivesThePixelsOfOneCallAPoint)
{
    const BatchCase& c = GetParam();
    // Crowded, overlapping copies, some across the edges of the clip.
    std::vector<QPoint> points;
    for (int i = 0; i < 40; ++i) {
        const QPoint p(400 + int(std::fmod(i * 0.618034, 1.0) * 6200), 400 + i * 140);
        points.push_back(p);
        points.push_back(p + QPoint(150, -100));
    }
    auto render = [&](bool batch) {
        QImage image = whiteImage();
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, 1.0f);
        LogFont font = LogFont::fromFace(c.face, c.height);
        font.lfEscapement = c.escapement;
        dc.selectFont(font);
        dc.setTextColor(RGB(200, 0, 0));
        dc.setBkColor(RGB(0, 0, 160));
        dc.setBkMode(c.bkMode);
        dc.intersectClipRect(1000, 5000, 6000, 1000);
        if (batch) {
            dc.textOutAt(points, c.text);
        } else {
            for (const QPoint& p : points)
                dc.textOut(p.x(), p.y(), c.text);
        }
        return image;
    };
    const QImage single = render(false);
    ASSERT_GT(darkCount(single, single.rect()), 2000);
    EXPECT_EQ(render(true), single);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, TextAtManyPoints,
    ::testing::Values(
        BatchCase{"Opaque", "Arial", -250, "Hg 2.5", 0, OPAQUE_BK},
        BatchCase{"Symbol", "Wingdings", -250, QString(QChar(108)), 0, TRANSPARENT_BK},
        BatchCase{"Turned", "Arial", -250, "Hg 2.5", 300, OPAQUE_BK},
        BatchCase{"Fallback", "Arial", -250, QString::fromUtf8("x 中 ≈2"), 0, TRANSPARENT_BK},
        BatchCase{"Large", "Wingdings", -900, QString(QChar(108)), 0, TRANSPARENT_BK}),
    [](const auto& info) { return std::string(info.param.name); });

// A vector file keeps text as text: every copy is there with its characters.
TEST(PainterText, TextAtManyPointsStaysTextInSvg)
{
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&svg);
        generator.setSize(QSize(imageWidth, imageHeight));
        QPainter painter(&generator);
        PainterDC dc(&painter, 96, 96);
        preparePage(dc, 1.0f);
        dc.selectFont(LogFont::fromFace(QStringLiteral("Wingdings"), -250));
        dc.setBkMode(TRANSPARENT_BK);
        const std::vector<QPoint> points{{1000, 1000}, {2000, 3000}, {4000, 2000}};
        dc.textOutAt(points, QString(QChar(108)));
    }
    EXPECT_EQ(QString::fromUtf8(svg.data()).count(QChar(0x25CF)), 3);
}

struct SymbolCase
{
    QString face;
    uint32_t code;
    char32_t shown;
};

class SymbolMapping : public ::testing::TestWithParam<SymbolCase>
{};

TEST_P(SymbolMapping, CodeShowsItsCharacter)
{
    const SymbolCase& c = GetParam();
    EXPECT_EQ(SymbolFont::toUnicode(SymbolFont::kindOf(c.face), c.code), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SymbolMapping,
    ::testing::Values(SymbolCase{"Wingdings", 108, 0x25CF}, SymbolCase{"wingdings", 110, 0x25A0},
                      SymbolCase{"Wingdings", 117, 0x25C6}, SymbolCase{"Wingdings", 161, 0x25CB},
                      SymbolCase{"Wingdings", 0xF06C, 0x25CF},
                      SymbolCase{"Wingdings 2", 108, 0x25CF}, SymbolCase{"Wingdings", 252, 0x2713},
                      SymbolCase{"Wingdings", 31, 0}, SymbolCase{"Wingdings", 256, 0},
                      SymbolCase{"Symbol", 97, 0x03B1}, SymbolCase{"Symbol", 68, 0x0394},
                      SymbolCase{"Symbol", 183, 0x2022}, SymbolCase{"Symbol", 176, 0x00B0},
                      SymbolCase{"Symbol", 130, 0}, SymbolCase{"Arial", 108, 0}));

TEST(SymbolFont, MapsWholeTexts)
{
    EXPECT_EQ(SymbolFont::mapText(SymbolFont::Kind::symbol, QStringLiteral("a\x82"
                                                                           "b")),
              QString::fromUtf8("α β"));
    EXPECT_EQ(SymbolFont::mapText(SymbolFont::Kind::none, QStringLiteral("l")),
              QStringLiteral("l"));
    EXPECT_EQ(SymbolFont::mapText(SymbolFont::Kind::wingdings, QString::fromUtf8("l€")),
              QString::fromUtf8("●€"));
}

} // namespace
