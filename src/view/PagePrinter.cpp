#include "view/PagePrinter.h"

#include "doc/PlotDocument.h"
#include "page/DocumentServices.h"
#include "platform/PainterDC.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace {

const QSizeF noPrinterPage(9.0, 7.0); // inches, width by height

QPrinter* thePrinter = nullptr;

void deletePrinter()
{
    delete thePrinter;
    thePrinter = nullptr;
}

} // namespace

void printPage(PlotDocument& doc, QPainter& painter, int dpiX, int dpiY)
{
    printObjects(doc.GetObjects().objects(), painter, dpiX, dpiY, QPointF(0, 0));
}

void printObjects(const QList<visibleobject*>& objects, QPainter& painter, int dpiX, int dpiY,
                  QPointF origin)
{
    const QPaintDevice* device = painter.device();
    if (!device || !painter.isActive())
        return;
    PainterDC dc(&painter, dpiX, dpiY, true);
    // The page origin is the bottom-left corner of the device, less the origin asked for; the
    // view scale never applies.
    const QPoint shift(int(std::lround(origin.x() * dc.logPixelsX())),
                       int(std::lround(origin.y() * dc.logPixelsY())));
    dc.setPageMapping(float(dc.logPixelsX()), float(dc.logPixelsY()), 1.0f,
                      QPoint(-shift.x(), device->height() + shift.y()));
    PrintInfo info;
    for (visibleobject* obj : objects)
        obj->Print(dc, info);
}

QPrinter& programPrinter()
{
    if (thePrinter)
        return *thePrinter;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        // No printer: print to a PDF file whose page is 9 x 7 inches. The page setup and print
        // dialogs offer only the paper sizes they list and put Letter in place of any other,
        // so the page is the listed 7 x 9 inch paper turned to landscape.
        thePrinter = new QPrinter(QPrinter::HighResolution);
        thePrinter->setOutputFormat(QPrinter::PdfFormat);
        thePrinter->setPageLayout(QPageLayout(QPageSize(QPageSize::Imperial7x9),
                                              QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
    } else {
        thePrinter = new QPrinter(info, QPrinter::HighResolution);
    }
    thePrinter->setFullPage(true);
    qAddPostRoutine(deletePrinter);
    return *thePrinter;
}

bool programHasPrinter()
{
    const QPrinter& printer = programPrinter();
    return printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty();
}

QSizeF programPageInches()
{
    // The page as Print Setup left it, whether it goes to a printer or to the PDF file.
    const QSizeF size = programPrinter().pageLayout().fullRect(QPageLayout::Inch).size();
    return size.isEmpty() ? noPrinterPage : size;
}
