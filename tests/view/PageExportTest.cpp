#include "ViewTestSupport.h"

#include "axes/Axis.h"
#include "data/ColumnFile.h"
#include "platform/Exceptions.h"
#include "view/PageExport.h"
#include "view/PagePrinter.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// A document with one trace on its own axes, from a small data file; the axes cross at the
// default origin (1 in, 1 in), the x axis 6 in long, the y axis 4 in.
class PageExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (programHasPrinter())
            GTEST_SKIP() << "a printer is installed; the page is not 9 x 7 inches";
        const QString data = path("squares.dat");
        QFile f(data);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1 1\n2 4\n3 9\n4 16\n");
        f.close();
        auto* file = new ColumnFile(data);
        ASSERT_NE(file->ReadFile(), 0);
        doc.GetFiles().AddUnique(file);
        trace = doc.NewTrace(file);
        ASSERT_NE(trace, nullptr);
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QImage exportPng(int dpi)
    {
        const QString out = path("page.png");
        exportPage(doc, out, dpi);
        QImage image(out);
        return image.convertToFormat(QImage::Format_RGB32);
    }
    static bool dark(QRgb p) { return qGray(p) < 64; }
    struct Ink
    {
        int count = 0;
        QPointF centre;
        int right = -1;
    };
    static Ink inkIn(const QImage& image, const QRect& area)
    {
        Ink ink;
        const QRect r = area.intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (qGray(image.pixel(x, y)) >= 128)
                    continue;
                ++ink.count;
                ink.centre += QPointF(x, y);
                ink.right = std::max(ink.right, x);
            }
        }
        if (ink.count)
            ink.centre /= ink.count;
        return ink;
    }

    QTemporaryDir dir;
    PlotDocument doc;
    Trace* trace = nullptr;
};

// The data run from (1, 1) to (4, 16): the x axis spans 1..4 with ticks every 0.5 and labels
// every 1, the y axis 0..16 with ticks every 2.5 and labels every 5. At 100 dpi an x unit is
// 200 pixels, a y unit 25, and the origin (1 in, 1 in) is the pixel (100, 600), y down.
TEST_F(PageExportTest, PngShowsTicksLabelsAndTraceWhereTheyBelong)
{
    const QImage image = exportPng(100);
    ASSERT_EQ(image.size(), QSize(900, 700));
    const QPoint origin(100, 600);
    const auto at = [&](double vx, double vy) {
        return QPoint(origin.x() + int(std::lround((vx - 1) * 200)),
                      origin.y() - int(std::lround(vy * 25)));
    };
    for (int x : {150, 400, 690})
        EXPECT_TRUE(dark(image.pixel(x, origin.y()))) << "x axis at column " << x;
    for (int y : {250, 400, 590})
        EXPECT_TRUE(dark(image.pixel(origin.x(), y))) << "y axis at row " << y;

    // Ticks point into the plot: 0.15 inch (15 pixels) at labels, 0.1 inch between them.
    for (int i = 0; i <= 6; ++i) {
        const int tx = at(1 + 0.5 * i, 0).x();
        EXPECT_TRUE(dark(image.pixel(tx, origin.y() - 7))) << "x tick " << i;
        EXPECT_EQ(dark(image.pixel(tx, origin.y() - 13)), i % 2 == 0) << "x tick " << i;
        EXPECT_FALSE(dark(image.pixel(tx, origin.y() + 7))) << "x tick " << i;
        const int ty = at(1, 2.5 * i).y();
        EXPECT_TRUE(dark(image.pixel(origin.x() + 7, ty))) << "y tick " << i;
        EXPECT_EQ(dark(image.pixel(origin.x() + 13, ty)), i % 2 == 0) << "y tick " << i;
        EXPECT_FALSE(dark(image.pixel(origin.x() - 7, ty))) << "y tick " << i;
    }
    EXPECT_FALSE(dark(image.pixel(at(1.25, 0).x(), origin.y() - 7)));

    // Labels 0.1 inch from the line: centred below the x ticks, ending left of the y axis.
    for (double v : {1, 2, 3, 4}) {
        const Ink label = inkIn(image, QRect(at(v, 0).x() - 25, origin.y() + 10, 51, 25));
        EXPECT_GT(label.count, 5) << "x label " << v;
        EXPECT_NEAR(label.centre.x(), at(v, 0).x(), 3) << "x label " << v;
    }
    for (double v : {0, 5, 10, 15}) {
        const Ink label = inkIn(image, QRect(0, at(1, v).y() - 12, origin.x() - 10, 25));
        EXPECT_GT(label.count, 5) << "y label " << v;
        EXPECT_NEAR(label.centre.y(), at(1, v).y(), 3) << "y label " << v;
        EXPECT_GT(label.right, origin.x() - 20) << "y label " << v;
    }
    // The trace passes through its points and the straight lines between them.
    for (QPointF p : {QPointF(2, 4), QPointF(3, 9), QPointF(2.5, 6.5)})
        EXPECT_GT(inkIn(image, QRect(at(p.x(), p.y()) - QPoint(1, 1), QSize(3, 3))).count, 0)
            << "trace at " << p.x() << ", " << p.y();
    EXPECT_EQ(inkIn(image, QRect(at(2.5, 8) - QPoint(5, 5), QSize(11, 11))).count, 0);

    EXPECT_EQ(image.pixel(850, 50), qRgb(255, 255, 255));
    // No page outline on paper.
    EXPECT_EQ(image.pixel(0, 350), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(450, 699), qRgb(255, 255, 255));
}

TEST_F(PageExportTest, PrintingIgnoresTheViewScaleAndTheSelection)
{
    const QImage plain = exportPng(100);
    TestWindow view(&doc);
    view.setViewScale(2);
    auto selection = std::make_unique<visiblelist>();
    selection->append(trace);
    view.SetSelection(std::move(selection));
    EXPECT_EQ(exportPng(100), plain);
}

TEST_F(PageExportTest, ResolutionScalesThePicture)
{
    const QImage image = exportPng(0);
    ASSERT_EQ(image.size(), QSize(9 * PageExport::defaultDpi, 7 * PageExport::defaultDpi));
    EXPECT_TRUE(dark(image.pixel(400, image.height() - PageExport::defaultDpi)));
    EXPECT_EQ(image.dotsPerMeterX(), 5906); // 150 dpi
}

TEST_F(PageExportTest, PdfIsANineBySevenInchDocument)
{
    const QString out = path("page.pdf");
    exportPage(doc, out, 150);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    // 9 x 7 inches in points.
    const QRegularExpression box(QStringLiteral("/MediaBox \\[([-0-9. ]+)\\]"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(bytes));
    ASSERT_TRUE(m.hasMatch());
    QList<double> numbers;
    for (const QString& n : m.captured(1).split(' ', Qt::SkipEmptyParts))
        numbers.append(n.toDouble());
    EXPECT_EQ(numbers, (QList<double>{0, 0, 648, 504}));
}

// The picture is in thousandths of an inch, y down from the top of the 7 inch page: the
// origin (1 in, 1 in) is (1000, 6000), an x unit 2000 and a y unit 250.
TEST_F(PageExportTest, SvgPlacesLinesAndLabelsInPageUnits)
{
    const QString out = path("page.svg");
    exportPage(doc, out, 100);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QStringList lines;             // each "x,y x,y ..." as written
    QMap<QString, QPointF> labels; // text to its anchor, the group's translation added
    QPointF shift;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"svg") {
            EXPECT_EQ(a.value("viewBox"), u"0 0 9000 7000");
        } else if (xml.name() == u"g" && a.hasAttribute("transform")) {
            const QStringList m =
                a.value("transform").toString().section('(', 1).chopped(1).split(',');
            ASSERT_EQ(m.size(), 6);
            shift = QPointF(m[4].toDouble(), m[5].toDouble());
        } else if (xml.name() == u"polyline") {
            lines.append(a.value("points").toString().trimmed());
        } else if (xml.name() == u"text") {
            const QPointF anchor =
                shift + QPointF(a.value("x").toDouble(), a.value("y").toDouble());
            labels.insert(xml.readElementText(), anchor);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    EXPECT_TRUE(lines.contains("1000,6000 7000,6000")) << "x axis";
    EXPECT_TRUE(lines.contains("1000,6000 1000,2000")) << "y axis";
    EXPECT_TRUE(lines.contains("3000,6000 3000,5850")) << "major x tick, pointing up";
    EXPECT_TRUE(lines.contains("4000,6000 4000,5900")) << "minor x tick";
    EXPECT_TRUE(lines.contains("1000,4750 1150,4750")) << "major y tick, pointing right";
    EXPECT_TRUE(lines.contains("1000,5750 3000,5000 5000,3750 7000,2000")) << "the trace";

    EXPECT_EQ(labels.size(), 8);
    // Labels hang 0.1 inch below the x axis under their ticks, and end left of the y axis
    // on theirs; anchors are at the text's baseline.
    for (int v = 1; v <= 4; ++v) {
        const QPointF p = labels.value(QString::number(v), QPointF(-1, -1));
        EXPECT_NEAR(p.x(), 1000 + 2000 * (v - 1), 100) << "x label " << v;
        EXPECT_GT(p.y(), 6100) << "x label " << v;
        EXPECT_LT(p.y(), 6350) << "x label " << v;
    }
    for (int v : {5, 10, 15}) {
        const QPointF p = labels.value(QString::number(v), QPointF(-1, -1));
        EXPECT_GT(p.x(), 600) << "y label " << v;
        EXPECT_LT(p.x(), 900) << "y label " << v;
        EXPECT_NEAR(p.y(), 6000 - 250 * v, 100) << "y label " << v;
    }
}

struct BadExport
{
    const char* name;
    int dpi;
    FileException::Cause cause;
};

class BadExportTest : public PageExportTest, public ::testing::WithParamInterface<BadExport>
{};

TEST_P(BadExportTest, FailsWithThePathAndLeavesNoFile)
{
    const BadExport c = GetParam();
    const QString out = path(QString::fromUtf8(c.name));
    try {
        exportPage(doc, out, c.dpi);
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), c.cause);
        EXPECT_EQ(e.fileName(), out);
        EXPECT_FALSE(e.detail().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadExportTest,
    ::testing::Values(BadExport{"page.bmp", 150, FileException::Cause::badPath},
                      BadExport{"page", 150, FileException::Cause::badPath},
                      BadExport{"page.png", 5, FileException::Cause::generic},
                      BadExport{"page.png", -150, FileException::Cause::generic},
                      BadExport{"page.svg", 1000000, FileException::Cause::generic},
                      BadExport{"page.png", 2400,
                                FileException::Cause::generic}, // 453 million pixels
                      BadExport{"missing/dir/page.png", 150, FileException::Cause::badPath},
                      BadExport{"missing/dir/page.pdf", 150, FileException::Cause::badPath}));

TEST_F(PageExportTest, AnExistingFileIsKeptWhenTheExportFails)
{
    const QString out = path("keep.png");
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    EXPECT_THROW(exportPage(doc, out, 2400), FileException);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old");
}

TEST_F(PageExportTest, PrintPageHonoursThePaintersDevice)
{
    // A printer page of another resolution: the axis stays one inch above the bottom.
    QImage image(QSize(9 * 50, 7 * 50), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        printPage(doc, painter, 50, 50);
    }
    EXPECT_TRUE(dark(image.pixel(200, 7 * 50 - 50)));
}

} // namespace
