#include "view/GraphView.h"

#include "platform/DeviceContext.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"
#include "view/GraphInteraction.h"
#include "view/PagePrinter.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace {

int scaled(int pixels, float scale)
{
    const float v = float(pixels) * scale;
    return std::isfinite(v) ? int(std::clamp(std::trunc(v), -1.0e9f, 1.0e9f)) : 0;
}

} // namespace

GraphView::GraphView(PlotDocument* doc, QWidget* parent) : DragDropView(doc, parent)
{
    setInteraction(std::make_unique<GraphInteraction>());
    ComputePageSize();
}

GraphView::~GraphView() = default;

void GraphView::OnInitialUpdate()
{
    DragDropView::OnInitialUpdate();
    ComputePageSize();
}

void GraphView::ComputePageSize()
{
    const QSizeF inches = programPageInches();
    // Formed in single precision and truncated, as the screen mapping is.
    const QSize size(int(std::trunc(pixelsPerInchX_ * float(inches.width()))),
                     int(std::trunc(pixelsPerInchY_ * float(inches.height()))));
    if (size != pageSize_) {
        pageSize_ = size;
        // The scroll bars must reach the new page.
        OnSize();
        viewport()->update();
    }
}

void GraphView::OnDraw(DeviceContext& dc)
{
    // The printer page, dotted, in raw pixels under the page objects.
    const Rect client = clientRect();
    dc.saveDC();
    dc.setMapModeText();
    dc.setWindowOrg(0, 0);
    dc.setViewportOrg(client.left - scrollX(), client.bottom - scrollY());
    dc.selectStockBrush(NULL_BRUSH);
    dc.selectPen(PenRecord(PS_DOT, 1, RGB(120, 120, 120)));
    dc.setROP2(R2_COPYPEN);
    dc.rectangle(0, -scaled(pageSize_.height(), viewScale_), scaled(pageSize_.width(), viewScale_),
                 0);
    dc.restoreDC();
    DragDropView::OnDraw(dc);
}

Rect GraphView::contentRect() const
{
    const Rect client = clientRect();
    const int left = client.left - scrollX();
    const int bottom = client.bottom - scrollY();
    // The outline covers the pixels from the page origin up to, not including, its far edges.
    const Rect page{left, bottom - scaled(pageSize_.height(), viewScale_),
                    left + scaled(pageSize_.width(), viewScale_), bottom};
    return DragDropView::contentRect().united(page);
}

void GraphView::printOn(QPrinter& printer)
{
    if (!document())
        return;
    WaitCursor wait;
    QPainter painter;
    if (!painter.begin(&printer)) {
        Prompter::instance().message(loadString(Str::FailedToStartPrint), {},
                                     Prompter::Icon::Exclamation);
        return;
    }
    printPage(*document(), painter, printer.logicalDpiX(), printer.logicalDpiY());
    painter.end();
}

void GraphView::print()
{
    QPrinter& printer = programPrinter();
    printer.setFullPage(true);
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, 1);
    if (dialog.exec() == QDialog::Accepted)
        printOn(printer);
    ComputePageSize();
}

void GraphView::printPreview()
{
    QPrinter& printer = programPrinter();
    printer.setFullPage(true);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { printOn(*target); });
    dialog.exec();
    ResetView();
    ComputePageSize();
}

void GraphView::printSetup(QWidget* parent)
{
    QPrinter& printer = programPrinter();
    QPageSetupDialog dialog(&printer, parent);
    if (dialog.exec() == QDialog::Accepted)
        printer.setFullPage(true);
    recomputeAllPageSizes();
}

void GraphView::recomputeAllPageSizes()
{
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* view = qobject_cast<GraphView*>(w))
            view->ComputePageSize();
    }
}
