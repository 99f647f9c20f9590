#include "view/PageExport.h"

#include "doc/PlotDocument.h"
#include "platform/Exceptions.h"
#include "platform/OutputFile.h"
#include "platform/PngWriter.h"
#include "view/PagePrinter.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>
#include <memory>
#include <new>
#include <sys/mman.h>

namespace {

// Vector pictures are laid out at least as finely as the page's logical units (0.001 inch),
// whatever resolution a raster picture would have. In the SVG one user unit is one logical
// unit.
constexpr int pdfDpi = 1200;
constexpr int svgUnitsPerInch = 1000;

[[noreturn]] void fail(const QString& path, const QString& detail,
                       FileException::Cause cause = FileException::Cause::generic)
{
    throw FileException(cause, path, detail);
}

QSize pixelSize(const QSizeF& inches, int dpi)
{
    return QSize(int(std::lround(inches.width() * dpi)), int(std::lround(inches.height() * dpi)));
}

// Qt's paint engines do not check every allocation they make (font subsets for a PDF, the
// stroker's buffers): one failing half way through a picture crashes instead of throwing.
// Painting starts only with this much room to spare, so that memory runs out here, where it
// is reported, rather than inside an engine.
constexpr size_t paintingHeadroom = size_t(64) << 20;

void ensureHeadroom()
{
    void* room = ::mmap(nullptr, paintingHeadroom, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (room == MAP_FAILED)
        throw MemoryException(QStringLiteral("no room to paint the page"));
    ::munmap(room, paintingHeadroom);
}

// A painter whose paint engine failed half way is not ended again: its destructor would run
// the engine's end a second time, and an allocation failing there, inside a destructor, would
// end the program. It is left to the process instead.
// What a picture shows: the objects, and the page point at its bottom-left corner (inches).
struct Part
{
    QList<visibleobject*> objects;
    QPointF origin;
};

void paint(const Part& part, QPaintDevice& device, int dpi, const QString& path, const char* kind)
{
    ensureHeadroom();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device))
        fail(path, QStringLiteral("the %1 writer could not start").arg(QLatin1String(kind)));
    try {
        printObjects(part.objects, *painter, dpi, dpi, part.origin);
        painter->end();
    } catch (...) {
        (void)painter.release();
        throw;
    }
}

void writePdf(PlotDocument& doc, const Part& part, const QString& path, const QSizeF& inches)
{
    OutputFile file(path);
    file.create();
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Plotvane"));
        writer.setTitle(QFileInfo(doc.GetPathName()).fileName());
        writer.setResolution(pdfDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        paint(part, writer, pdfDpi, path, "PDF");
    }
    file.commit();
}

void writeSvg(PlotDocument& doc, const Part& part, const QString& path, const QSizeF& inches)
{
    const QSize size = pixelSize(inches, svgUnitsPerInch);
    OutputFile file(path);
    file.create();
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(svgUnitsPerInch);
        generator.setTitle(QFileInfo(doc.GetPathName()).fileName());
        generator.setDescription(QStringLiteral("Plotvane page"));
        paint(part, generator, svgUnitsPerInch, path, "SVG");
    }
    file.commit();
}

void writePng(const Part& part, const QString& path, const QSizeF& inches, int dpi)
{
    const QSize size = pixelSize(inches, dpi);
    if (size.isEmpty() || qint64(size.width()) * size.height() > PageExport::maxPixels)
        fail(path, QStringLiteral("a page of %1 x %2 pixels is too large; choose a lower "
                                  "resolution")
                       .arg(size.width())
                       .arg(size.height()));
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        throw MemoryException(
            QStringLiteral("a page of %1 x %2 pixels").arg(size.width()).arg(size.height()));
    image.fill(Qt::white);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    paint(part, image, dpi, path, "PNG");
    OutputFile file(path);
    file.create();
    if (!::writePng(image, file)) {
        file.checkWrites();
        // Nothing failed on the way to the file: the encoder ran out of memory.
        throw MemoryException(QStringLiteral("encoding the PNG picture"));
    }
    file.commit();
}

} // namespace

std::optional<PageFormat> pageFormatNamed(const QString& name)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("pdf"))
        return PageFormat::Pdf;
    if (lower == QLatin1String("svg"))
        return PageFormat::Svg;
    if (lower == QLatin1String("png"))
        return PageFormat::Png;
    return std::nullopt;
}

namespace {

void exportPart(PlotDocument& doc, const Part& part, const QSizeF& inches, const QString& outPath,
                PageFormat format, int dpi)
{
    if (dpi == 0)
        dpi = PageExport::defaultDpi;
    if (dpi < PageExport::minDpi || dpi > PageExport::maxDpi)
        fail(outPath, QStringLiteral("a resolution of %1 dpi is outside %2 to %3")
                          .arg(dpi)
                          .arg(PageExport::minDpi)
                          .arg(PageExport::maxDpi));
    try {
        switch (format) {
        case PageFormat::Pdf:
            writePdf(doc, part, outPath, inches);
            break;
        case PageFormat::Svg:
            writeSvg(doc, part, outPath, inches);
            break;
        case PageFormat::Png:
            writePng(part, outPath, inches, dpi);
            break;
        }
    } catch (const std::bad_alloc&) {
        throw MemoryException(QStringLiteral("exporting to %1").arg(outPath));
    }
}

} // namespace

void exportPage(PlotDocument& doc, const QString& outPath, PageFormat format, int dpi)
{
    exportPart(doc, Part{doc.GetObjects().objects(), QPointF(0, 0)}, programPageInches(), outPath,
               format, dpi);
}

void exportObjects(PlotDocument& doc, const QList<visibleobject*>& objects, const QRectF& region,
                   const QString& outPath, PageFormat format, int dpi)
{
    if (!(region.width() > 0) || !(region.height() > 0))
        fail(outPath, QStringLiteral("the selection covers no area"));
    exportPart(doc, Part{objects, region.topLeft()}, region.size(), outPath, format, dpi);
}

void exportPage(PlotDocument& doc, const QString& outPath, int dpi)
{
    const std::optional<PageFormat> format = pageFormatNamed(QFileInfo(outPath).suffix());
    if (!format)
        fail(outPath,
             QStringLiteral("unknown picture format; the file name must end in .pdf, "
                            ".svg or .png"),
             FileException::Cause::badPath);
    exportPage(doc, outPath, *format, dpi);
}
