#pragma once

#include "platform/DeviceContext.h"

class QGlyphRun;
class QPainter;

// Draws on a QPainter in device pixels. The context maps every logical coordinate itself (with
// LPtoDP, so pixels agree with hit tests); the painter's own transform is left as the caller
// set it, normally identity. A clip the painter already has stays in force. Raster modes other
// than copy work where the paint engine has raster operations (QImage); elsewhere XOR and NOT
// draw normally.
class PainterDC : public DeviceContext
{
public:
    // painter: not owned, must outlive the context. dpi: the device's pixels per inch.
    PainterDC(QPainter* painter, int dpiX, int dpiY, bool printing = false);
    ~PainterDC() override;

    QPainter* painter() const { return painter_; }
    // Sloped lines anti-aliased about the centres of the pixels they pass, as on screen; lines
    // along a pixel row or column cover exactly the pixels they do without it. Off at first.
    void setSmoothLines(bool on) { smoothLines_ = on; }
    int logPixelsX() const override { return dpiX_; }
    int logPixelsY() const override { return dpiY_; }
    bool isPrinting() const override { return printing_; }

protected:
    void drawLine(QPoint from, QPoint to) override;
    void drawPolyline(const QPoint* points, int count) override;
    void drawRectangle(QPoint corner1, QPoint corner2) override;
    void drawPatBlt(QPoint corner1, QPoint corner2, uint32_t rop) override;
    void drawInvertRect(QPoint corner1, QPoint corner2) override;
    void drawFocusRectangle(QPoint corner1, QPoint corner2) override;
    void drawText(QPoint logical, const QString& text) override;
    void drawTextAt(std::span<const QPoint> logical, const QString& text) override;
    QSizeF measureText(const QString& text) override;

private:
    class Scope;
    bool hasRasterOps() const;
    // The pen for lines in the current raster mode; false when nothing is to be drawn.
    bool linePen(QPen& pen) const;
    // True when device points joined in order are to be drawn anti-aliased.
    bool smoothes(const QPoint* device, int count) const;
    // Draws device points joined in order with the pen set up, smoothly or not.
    void strokeDevice(const QPoint* device, int count, const QPen& pen);
    // Device rectangle of two logical corners, normalised, right and bottom exclusive.
    QRect deviceRect(QPoint corner1, QPoint corner2) const;
    // The glyphs QPainter::drawText would draw for the text, placed from the top-left of its cell
    // with the baseline `ascent` below it; empty where only drawText itself draws it right.
    QList<QGlyphRun> shapedOnce(const QString& shown, const QFont& font, double ascent) const;

    QPainter* painter_;
    int dpiX_;
    int dpiY_;
    bool printing_;
    bool smoothLines_ = false;
};
