#pragma once

#include "data/ColumnFile.h"
#include "doc/PlotDocument.h"
#include "page/visibleobject.h"
#include "platform/DeviceContext.h"
#include "view/GraphView.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScrollBar>

// A filled box of known size in inches (x, y its bottom-left corner) that lays itself out
// through its view's own mapping.
class Box : public visibleobject
{
public:
    Box(float px, float py, float w, float h, ColorRef color = RGB(255, 0, 0))
        : w_(w), h_(h), color_(color)
    {
        x = px;
        y = py;
    }
    void ComputeRect() override
    {
        if (!view)
            return;
        std::unique_ptr<DeviceContext> dc = view->clientDC();
        view->PrepareDC(*dc);
        const QRect r = logical();
        const QPoint a = dc->LPtoDP(r.topLeft());
        const QPoint b = dc->LPtoDP(r.bottomRight());
        rect = Rect{a.x(), a.y(), b.x(), b.y()}.normalized();
    }
    void Draw(DeviceContext& dc) override
    {
        dc.saveDC();
        dc.selectStockPen(NULL_PEN);
        dc.selectSolidBrush(color_);
        const QRect r = logical();
        dc.rectangle(r.left(), r.top(), r.right(), r.bottom());
        dc.restoreDC();
    }
    void Print(DeviceContext& dc, PrintInfo&) override { Draw(dc); }

private:
    // Corners as (left, top) and (right, bottom), logical units, y up.
    QRect logical() const
    {
        const int l = int(x * 1000), b = int(y * 1000);
        return QRect(QPoint(l, b + int(h_ * 1000)), QPoint(l + int(w_ * 1000), b));
    }
    float w_, h_;
    ColorRef color_;
};

// A graph view with the screen resolution of the tests and no scroll bars taking room from
// the client area, so that client sizes are exact.
// A trace of the parabola y = x² over x = 0..4 from a data file written into dir, added to
// the document with its axes; null when the file could not be written or read.
inline Trace* addSquaresTrace(PlotDocument& doc, const QString& dir)
{
    const QString data = QDir(dir).filePath(QStringLiteral("squares.dat"));
    QFile f(data);
    if (!f.open(QIODevice::WriteOnly))
        return nullptr;
    f.write("0 0\n1 1\n2 4\n3 9\n4 16\n");
    f.close();
    auto* file = new ColumnFile(data);
    if (file->ReadFile() == 0) {
        delete file;
        return nullptr;
    }
    doc.GetFiles().AddUnique(file);
    return doc.NewTrace(file);
}

class TestWindow : public GraphView
{
public:
    explicit TestWindow(PlotDocument* doc, int width = 400, int height = 300) : GraphView(doc)
    {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setResolution(96.0f, 96.0f);
        resize(width, height);
        show();
        ResetView();
    }
    void setResolution(float ppiX, float ppiY)
    {
        pixelsPerInchX_ = ppiX;
        pixelsPerInchY_ = ppiY;
        ComputePageSize();
    }
    void OnSize() override { GraphView::OnSize(); }
    void resizeEvent(QResizeEvent* event) override
    {
        ++resizes;
        GraphView::resizeEvent(event);
    }
    int resizes = 0;
    QScrollBar* bar(Qt::Orientation o) const
    {
        return o == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    }
    QImage picture() { return viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};
