#include "platform/LogFont.h"
#include "platform/Archive.h"
#include "platform/PenRecord.h"

#include <QFontInfo>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

LogFont sampleFont()
{
    LogFont f;
    f.lfHeight = -167;
    f.lfWidth = 0;
    f.lfEscapement = -900;
    f.lfOrientation = 0;
    f.lfWeight = 700;
    f.lfItalic = 1;
    f.lfCharSet = LogFont::SYMBOL_CHARSET;
    f.lfOutPrecision = 3;
    f.lfClipPrecision = 16;
    f.lfQuality = 1;
    f.lfPitchAndFamily = 0x22;
    f.setFaceName(QStringLiteral("Arial"));
    // Whatever follows the terminator is part of the record.
    f.lfFaceName[10] = 'x';
    f.lfFaceName[31] = 'z';
    return f;
}

TEST(LogFontRecord, WritesFiftyExactBytesAndReadsThemBack)
{
    const LogFont font = sampleFont();
    Archive out;
    font.write(out);

    QByteArray expected = bytes({0x59, 0xFF, 0, 0, 0x7C, 0xFC, 0, 0, 0xBC, 0x02, //
                                 1, 0, 0, 2, 3, 16, 1, 0x22});
    QByteArray face(32, '\0');
    face.replace(0, 5, "Arial");
    face[10] = 'x';
    face[31] = 'z';
    expected += face;
    ASSERT_EQ(out.data().size(), LogFont::recordSize);
    EXPECT_EQ(out.data(), expected);

    Archive in(out.data());
    LogFont back;
    back.read(in);
    EXPECT_EQ(back, font);
    EXPECT_EQ(back.faceName(), QStringLiteral("Arial"));
    EXPECT_EQ(in.bytesLeft(), 0u);
}

TEST(LogFontRecord, KeepsLowSixteenBitsSignExtended)
{
    LogFont font;
    font.lfHeight = 0x18000; // only the low 16 bits are stored
    font.lfWeight = 0xFFFF;
    Archive out;
    font.write(out);
    Archive in(out.data());
    LogFont back;
    back.read(in);
    EXPECT_EQ(back.lfHeight, -32768);
    EXPECT_EQ(back.lfWeight, -1);
}

TEST(LogFontRecord, ShortRecordRaisesEndOfFileAndLeavesFontAlone)
{
    Archive out;
    sampleFont().write(out);
    for (int length : {0, 9, 18, 49}) {
        Archive in(out.data().left(length));
        LogFont font;
        font.lfHeight = 12;
        try {
            font.read(in);
            FAIL() << "no error for " << length << " bytes";
        } catch (const ArchiveException& e) {
            EXPECT_EQ(e.cause(), ArchiveException::Cause::endOfFile);
        }
        EXPECT_EQ(font.lfHeight, 12);
    }
}

TEST(LogFontRecord, FaceWithoutTerminatorStaysInsideTheField)
{
    QByteArray record(18, '\0');
    record += QByteArray(32, 'A');
    Archive in(record);
    LogFont font;
    font.read(in);
    EXPECT_EQ(font.faceName(), QString(32, QLatin1Char('A')));

    font.setFaceName(QString(40, QLatin1Char('B')));
    EXPECT_EQ(font.faceName().size(), 31);
}

TEST(LogFontToQFont, HeightWeightAndFlags)
{
    LogFont f = LogFont::fromFace(QStringLiteral("Arial"), -20, LogFont::FW_BOLD);
    f.lfItalic = 1;
    f.lfUnderline = 1;
    const QFont q = f.toQFont();
    EXPECT_EQ(q.pixelSize(), 20);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());

    // A positive height is the cell: the em comes out smaller.
    LogFont cell = LogFont::fromFace(QStringLiteral("Arial"), 40);
    EXPECT_LT(cell.toQFont().pixelSize(), 40);
    EXPECT_GT(cell.toQFont().pixelSize(), 25);

    // Hostile heights are capped, zero gets a default size.
    EXPECT_LE(LogFont::fromFace(QStringLiteral("Arial"), -30000).toQFont(1e9).pixelSize(), 20000);
    EXPECT_GT(LogFont().toQFont().pixelSize(), 0);
}

TEST(LogFontToQFont, ArialIsSubstitutedByAMetricCompatibleFace)
{
    const QFontInfo info(LogFont::fromFace(QStringLiteral("Arial"), -20).toQFont());
    EXPECT_FALSE(info.family().isEmpty());
}

TEST(PenRecord, WritesTenExactBytesAndReadsThemBack)
{
    PenRecord pen(PS_DASH, 25, 0x00123456);
    pen.lopnWidth.setY(-2);
    Archive out;
    pen.write(out);
    EXPECT_EQ(out.data(), bytes({1, 0, 25, 0, 0xFE, 0xFF, 0x56, 0x34, 0x12, 0}));

    Archive in(out.data());
    PenRecord back;
    back.read(in);
    EXPECT_EQ(back, pen);
}

TEST(PenRecord, StyleIsZeroExtendedWidthSignExtended)
{
    Archive in(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0x80, 0, 0, 0, 0}));
    PenRecord pen;
    pen.read(in);
    EXPECT_EQ(pen.lopnStyle, 0xFFFFu);
    EXPECT_EQ(pen.lopnWidth, QPoint(-1, -32768));
    // An unknown style draws as solid rather than failing.
    EXPECT_EQ(pen.toQPen().style(), Qt::SolidLine);
}

TEST(PenRecord, ShortRecordRaisesEndOfFile)
{
    Archive in(bytes({0, 0, 1, 0, 0, 0, 0xFF}));
    PenRecord pen;
    EXPECT_THROW(pen.read(in), ArchiveException);
}

struct PenCase
{
    uint32_t style;
    int width;
    double devicePerLogical;
    Qt::PenStyle qtStyle;
    int deviceWidth; // 0: cosmetic
};

class PenToQPen : public ::testing::TestWithParam<PenCase>
{};

TEST_P(PenToQPen, StyleAndWidth)
{
    const PenCase& c = GetParam();
    const QPen pen = PenRecord(c.style, c.width, RGB(10, 20, 30)).toQPen(c.devicePerLogical);
    EXPECT_EQ(pen.style(), c.qtStyle);
    EXPECT_EQ(pen.width(), c.deviceWidth);
    if (c.qtStyle != Qt::NoPen) {
        EXPECT_EQ(pen.color(), QColor(10, 20, 30));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, PenToQPen,
    ::testing::Values(PenCase{PS_SOLID, 0, 0.096, Qt::SolidLine, 0},
                      PenCase{PS_SOLID, 1, 0.096, Qt::SolidLine, 0},
                      PenCase{PS_SOLID, 1, 10.0, Qt::SolidLine, 0}, // width 1 is always thin
                      PenCase{PS_SOLID, 10, 0.096, Qt::SolidLine, 0},
                      PenCase{PS_SOLID, 50, 0.096, Qt::SolidLine, 5},
                      PenCase{PS_SOLID, 50, 0.192, Qt::SolidLine, 10},
                      PenCase{PS_DASH, 0, 0.096, Qt::CustomDashLine, 0},
                      PenCase{PS_DOT, 1, 0.096, Qt::CustomDashLine, 0},
                      PenCase{PS_DASHDOT, 0, 0.096, Qt::CustomDashLine, 0},
                      PenCase{PS_DASHDOTDOT, 0, 0.096, Qt::CustomDashLine, 0},
                      PenCase{PS_DASH, 50, 0.096, Qt::SolidLine, 5}, // wide pens draw solid
                      PenCase{PS_NULL, 0, 0.096, Qt::NoPen, 1}));

TEST(ColorRef, ByteOrderIsRedGreenBlue)
{
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(colorFromRef(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(refFromColor(QColor(0, 128, 128)), RGB(0, 128, 128));
}

} // namespace
