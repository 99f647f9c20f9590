#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

// COLORREF: 0x00BBGGRR
using ColorRef = uint32_t;

// Raster modes of line drawing (the values of the original platform).
enum RasterMode { R2_BLACK = 1, R2_NOT = 6, R2_XORPEN = 7, R2_NOP = 11, R2_COPYPEN = 13, R2_WHITE = 16 };
// Raster operations of patBlt.
enum PatBltOp : uint32_t { BLACKNESS = 0x42, WHITENESS = 0xFF0062, PATINVERT = 0x5A0049, DSTINVERT = 0x550009 };
enum BackgroundMode { TRANSPARENT_BK = 1, OPAQUE_BK = 2 };
enum StockObject { WHITE_BRUSH = 0, BLACK_BRUSH = 4, NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8 };

// A drawing surface with the program's own coordinate terms: logical units (in the page
// mapping 0.001 inch, y up), a window/viewport mapping done in integer arithmetic, selected
// pen, font, brush and text colour, and a state stack. The screen, the printer, exported files
// and tests all draw through it; subclasses supply the output.
class DeviceContext
{
public:
    virtual ~DeviceContext();

    // --- mapping ---
    void setMapModeText(); // logical = device
    void setMapModeAnisotropic();
    void setWindowExt(int cx, int cy);
    void setViewportExt(int cx, int cy);
    void setViewportOrg(int x, int y);
    void setWindowOrg(int x, int y);
    void offsetWindowOrg(int dx, int dy);
    QPoint windowOrg() const;
    // The page mapping: anisotropic, window extent (5000, -5000), viewport extent
    // (trunc(5*ppiX*scale), trunc(5*ppiY*scale)) formed in single precision, viewport origin given.
    void setPageMapping(float ppiX, float ppiY, float scale, QPoint viewportOrg);
    QPoint LPtoDP(QPoint p) const;
    QPoint DPtoLP(QPoint p) const;
    QRect LPtoDP(const QRect& r) const; // corner by corner, not normalised
    QRect DPtoLP(const QRect& r) const;

    // Resolution of the device in pixels per inch.
    virtual int logPixelsX() const = 0;
    virtual int logPixelsY() const = 0;
    virtual bool isPrinting() const { return false; }

    // --- state ---
    int saveDC();              // returns the new depth
    void restoreDC(int saved = -1); // -1: the most recent

    PenRecord selectPen(const PenRecord& pen); // returns the previous pen
    void selectStockPen(StockObject pen);
    void selectStockBrush(StockObject brush);
    void selectSolidBrush(ColorRef color);
    LogFont selectFont(const LogFont& font); // returns the previous font
    ColorRef setTextColor(ColorRef color);    // returns the previous colour
    int setBkMode(int mode);                  // returns the previous mode
    int setROP2(int mode);                    // returns the previous mode

    // --- drawing, in logical units ---
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void polyline(const QPoint* points, int count);
    void rectangle(int left, int top, int right, int bottom);
    void patBlt(int x, int y, int width, int height, uint32_t rop);
    // Text with the top-left reference point; drawn upright on the device and turned by the
    // font's escapement (tenths of a degree, counter-clockwise).
    void textOut(int x, int y, const QString& text);
    QSize getTextExtent(const QString& text); // logical units
    void intersectClipRect(int left, int top, int right, int bottom);
};
