#pragma once

#include "view/DragDropView.h"

#include <QSize>

class QPrinter;

// The graph view of a plot window: the dotted outline of the printer page under the page
// objects, the page size from the program's printer, and printing.
class GraphView : public DragDropView
{
    Q_OBJECT

public:
    // Ready to show: registered with the document (not owned), laid out, page size computed.
    explicit GraphView(PlotDocument* doc, QWidget* parent = nullptr);
    ~GraphView() override;

    void OnInitialUpdate() override;
    void OnDraw(DeviceContext& dc) override;
    // The printer page in screen pixels at view scale 1; 9 x 7 inches without a printer.
    QSize pageSize() const override { return pageSize_; }
    // Takes the page size from the program's printer again; repaints when it changed.
    void ComputePageSize();

    // File Print: the print dialog, then exactly one page on the chosen printer.
    void print();
    // File Print Preview: one page as it will print; the view is reset afterwards.
    void printPreview();
    // File Print Setup: the page setup of the program's printer; every graph view takes the
    // new page size.
    static void printSetup(QWidget* parent);
    // Every graph view takes the page size of the program's printer again.
    static void recomputeAllPageSizes();

    // The objects and the whole page with its outline, at the view scale: the scroll bars
    // reach every part of the page whatever the objects cover.
    Rect contentRect() const override;

private:
    // Paints one page on the printer, as print and print preview do.
    void printOn(QPrinter& printer);

    QSize pageSize_; // screen pixels at view scale 1; 0 x 0 until computed
};
