#include "ViewTestSupport.h"

#include "axes/Axis.h"
#include "data/ColumnFile.h"
#include "platform/Exceptions.h"
#include "view/PageExport.h"
#include "view/PagePrinter.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

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

    QTemporaryDir dir;
    VaneDoc doc;
    Trace* trace = nullptr;
};

TEST_F(PageExportTest, PngAxesLieAtTheComputedPixels)
{
    const QImage image = exportPng(100);
    ASSERT_EQ(image.size(), QSize(900, 700));
    // The page origin is the bottom-left corner: the axes cross one inch in from both edges.
    const int axisRow = 700 - 100;
    for (int x : {150, 400, 690})
        EXPECT_TRUE(dark(image.pixel(x, axisRow))) << "x axis at column " << x;
    for (int y : {250, 400, 590})
        EXPECT_TRUE(dark(image.pixel(100, y))) << "y axis at row " << y;
    EXPECT_FALSE(dark(image.pixel(400, axisRow + 40)));
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

TEST_F(PageExportTest, SvgIsWellFormedAndDrawsTheAxes)
{
    const QString out = path("page.svg");
    exportPage(doc, out, 100);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    int elements = 0;
    QString root;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (elements++ == 0)
                root = xml.name().toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(root, "svg");
    EXPECT_GT(elements, 10);
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
    ::testing::Values(BadExport{"page.bmp", 150, FileException::badPath},
                      BadExport{"page", 150, FileException::badPath},
                      BadExport{"page.png", 5, FileException::generic},
                      BadExport{"page.png", -150, FileException::generic},
                      BadExport{"page.svg", 1000000, FileException::generic},
                      BadExport{"page.png", 2400, FileException::generic}, // 453 million pixels
                      BadExport{"missing/dir/page.png", 150, FileException::badPath},
                      BadExport{"missing/dir/page.pdf", 150, FileException::badPath}));

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
