#include "view/PageExport.h"

#include "doc/VaneDoc.h"
#include "platform/Exceptions.h"
#include "view/PagePrinter.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

namespace {

// Vector output is laid out finely whatever resolution a picture would have.
constexpr int pdfDpi = 1200;

[[noreturn]] void fail(const QString& path, const QString& detail,
                       FileException::Cause cause = FileException::generic)
{
    throw FileException(cause, path, detail);
}

// Written beside the target and renamed over it at the end, so a failure leaves no half file.
void openSaveFile(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly)) {
        const auto cause = file.error() == QFileDevice::PermissionsError
                               ? FileException::accessDenied
                               : FileException::generic;
        fail(file.fileName(), file.errorString(), cause);
    }
}

void commit(QSaveFile& file)
{
    if (!file.commit()) {
        const auto cause = file.error() == QFileDevice::PermissionsError
                               ? FileException::accessDenied
                               : FileException::generic;
        fail(file.fileName(), file.errorString(), cause);
    }
}

QSize pixelSize(const QSizeF& inches, int dpi)
{
    return QSize(int(std::lround(inches.width() * dpi)), int(std::lround(inches.height() * dpi)));
}

void writePdf(VaneDoc& doc, const QString& path, const QSizeF& inches)
{
    QSaveFile file(path);
    openSaveFile(file);
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Plotvane"));
        writer.setTitle(QFileInfo(doc.GetPathName()).fileName());
        writer.setResolution(pdfDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            fail(path, QStringLiteral("the PDF writer could not start"));
        printPage(doc, painter, pdfDpi, pdfDpi);
        painter.end();
    }
    commit(file);
}

void writeSvg(VaneDoc& doc, const QString& path, const QSizeF& inches, int dpi)
{
    const QSize size = pixelSize(inches, dpi);
    QSaveFile file(path);
    openSaveFile(file);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(dpi);
        generator.setTitle(QFileInfo(doc.GetPathName()).fileName());
        generator.setDescription(QStringLiteral("Plotvane page"));
        QPainter painter;
        if (!painter.begin(&generator))
            fail(path, QStringLiteral("the SVG writer could not start"));
        printPage(doc, painter, dpi, dpi);
        painter.end();
    }
    commit(file);
}

void writePng(VaneDoc& doc, const QString& path, const QSizeF& inches, int dpi)
{
    const QSize size = pixelSize(inches, dpi);
    if (size.isEmpty() || qint64(size.width()) * size.height() > PageExport::maxPixels)
        fail(path, QStringLiteral("a page of %1 x %2 pixels is too large; choose a lower "
                                  "resolution")
                       .arg(size.width())
                       .arg(size.height()));
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        fail(path, QStringLiteral("not enough memory for a page of %1 x %2 pixels")
                       .arg(size.width())
                       .arg(size.height()));
    image.fill(Qt::white);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        printPage(doc, painter, dpi, dpi);
    }
    QSaveFile file(path);
    openSaveFile(file);
    if (!image.save(&file, "PNG"))
        fail(path, QStringLiteral("the PNG picture could not be written"));
    commit(file);
}

} // namespace

void exportPage(VaneDoc& doc, const QString& outPath, int dpi)
{
    const QString suffix = QFileInfo(outPath).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("svg") &&
        suffix != QLatin1String("png"))
        fail(outPath,
             QStringLiteral("unknown picture format; the file name must end in .pdf, "
                            ".svg or .png"),
             FileException::badPath);
    if (dpi == 0)
        dpi = PageExport::defaultDpi;
    if (dpi < PageExport::minDpi || dpi > PageExport::maxDpi)
        fail(outPath, QStringLiteral("a resolution of %1 dpi is outside %2 to %3")
                          .arg(dpi)
                          .arg(PageExport::minDpi)
                          .arg(PageExport::maxDpi));
    const QSizeF inches = programPageInches();
    if (suffix == QLatin1String("pdf"))
        writePdf(doc, outPath, inches);
    else if (suffix == QLatin1String("svg"))
        writeSvg(doc, outPath, inches, dpi);
    else
        writePng(doc, outPath, inches, dpi);
}
