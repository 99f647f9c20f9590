#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Raster modes of line drawing (the values of the original platform).
enum RasterMode {
    R2_BLACK = 1,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_COPYPEN = 13,
    R2_WHITE = 16
};
// Raster operations of patBlt.
enum PatBltOp : uint32_t {
    BLACKNESS = 0x42,
    WHITENESS = 0xFF0062,
    PATCOPY = 0xF00021,
    PATINVERT = 0x5A0049,
    DSTINVERT = 0x550009
};
enum BackgroundMode { TRANSPARENT_BK = 1, OPAQUE_BK = 2 };
enum StockObject {
    WHITE_BRUSH = 0,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12,
    SYSTEM_FONT = 13
};

// A brush: none (hollow) or a solid colour.
struct BrushRecord
{
    bool null = true;
    ColorRef color = 0;
    bool operator==(const BrushRecord&) const = default;
};

// A drawing surface with the program's own coordinate terms: logical units (in the page
// mapping 0.001 inch, y up), a window/viewport mapping done in integer arithmetic, selected
// pen, font, brush and text colour, and a state stack. The screen, the printer, exported files
// and tests all draw through it; subclasses supply the output.
//
// Mapping, per axis:
//     device  = vOrg + round((logical - wOrg) * vExt / wExt)
//     logical = wOrg + round((device  - vOrg) * wExt / vExt)
// with the products formed exactly in integers and round() taking halves away from zero
// (-2.5 -> -3); results are clamped to the int range, and a zero extent maps everything to the
// origin. In the text mapping both extents are 1. Every conversion, including the coordinates
// the painter backend draws at, goes through these two formulas, so pixels agree with hit tests.
class DeviceContext
{
public:
    DeviceContext();
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // --- mapping ---
    void setMapModeText(); // logical = device; extents reset to (1, 1)
    void setMapModeAnisotropic();
    bool isMapModeText() const { return state_.textMode; }
    void setWindowExt(int cx, int cy); // ignored in the text mapping, as are zero extents
    void setViewportExt(int cx, int cy);
    void setViewportOrg(int x, int y);
    void setWindowOrg(int x, int y);
    void offsetWindowOrg(int dx, int dy);
    QPoint windowOrg() const;
    QPoint viewportOrg() const { return state_.viewportOrg; }
    QSize windowExt() const;
    QSize viewportExt() const;
    // The page mapping: anisotropic, window extent (5000, -5000), viewport extent
    // (trunc(5*ppiX*scale), trunc(5*ppiY*scale)) formed in single precision, viewport origin given.
    void setPageMapping(float ppiX, float ppiY, float scale, QPoint viewportOrg);
    QPoint LPtoDP(QPoint p) const;
    QPoint DPtoLP(QPoint p) const;
    QRect LPtoDP(const QRect& r) const; // corner by corner, not normalised
    QRect DPtoLP(const QRect& r) const;
    // Lengths (no origins), signs kept: a logical length along x or y in device pixels.
    int lengthToDeviceX(int logical) const;
    int lengthToDeviceY(int logical) const;
    int lengthToLogicalX(int device) const;
    int lengthToLogicalY(int device) const;

    // Resolution of the device in pixels per inch.
    virtual int logPixelsX() const = 0;
    virtual int logPixelsY() const = 0;
    virtual bool isPrinting() const { return false; }

    // --- state ---
    // The whole state is saved: mapping, origins, pen, font, brush, text and background
    // colours, background mode, raster mode, clip and current position.
    int saveDC();                   // returns the new depth
    void restoreDC(int saved = -1); // -1: the most recent; a depth not on the stack is ignored

    PenRecord selectPen(const PenRecord& pen); // returns the previous pen
    void selectStockPen(StockObject pen);
    void selectStockBrush(StockObject brush);
    void selectSolidBrush(ColorRef color);
    BrushRecord selectBrush(const BrushRecord& brush); // returns the previous brush
    LogFont selectFont(const LogFont& font);           // returns the previous font
    // ANSI_FIXED_FONT (a fixed-pitch face), ANSI_VAR_FONT or SYSTEM_FONT, all 12 device pixels.
    void selectStockFont(StockObject font);
    ColorRef setTextColor(ColorRef color); // returns the previous colour
    ColorRef setBkColor(ColorRef color);   // returns the previous colour (white at the start)
    int setBkMode(int mode);               // returns the previous mode
    int setROP2(int mode);                 // returns the previous mode

    const PenRecord& pen() const { return state_.pen; }
    const BrushRecord& brush() const { return state_.brush; }
    const LogFont& font() const { return state_.font; }
    ColorRef textColor() const { return state_.textColor; }
    ColorRef bkColor() const { return state_.bkColor; }
    int bkMode() const { return state_.bkMode; }
    int rop2() const { return state_.rop2; }
    QPoint currentPosition() const { return state_.position; } // logical units
    // The clip rectangle in device pixels (normalised), if any was set.
    std::optional<QRect> clipBox() const { return state_.clip; }

    // --- drawing, in logical units ---
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void polyline(const QPoint* points, int count);
    // Outlined with the pen, filled with the brush; the right and bottom device edges are
    // exclusive.
    void rectangle(int left, int top, int right, int bottom);
    void patBlt(int x, int y, int width, int height, uint32_t rop);
    // Inverts the pixels of the rectangle (logical units).
    void invertRect(const QRect& r);
    // A dotted XOR outline that a second call removes (logical units).
    void drawFocusRect(const QRect& r);
    // Text with the top-left reference point; drawn upright on the device and turned by the
    // font's escapement (tenths of a degree, counter-clockwise on the device when the mapping
    // keeps y downwards, mirrored with a y-up mapping, so -900 reads bottom to top on the page).
    void textOut(int x, int y, const QString& text);
    // The same text at each point in turn, as textOut at each: a trace's symbols, drawn with the
    // font, colours and clip taken once.
    void textOutAt(std::span<const QPoint> points, const QString& text);
    QSize getTextExtent(const QString& text); // logical units, cell height = ascent + descent
    void intersectClipRect(int left, int top, int right, int bottom);

protected:
    struct State
    {
        bool textMode = true;
        QSize windowExt{1, 1};
        QSize viewportExt{1, 1};
        QPoint windowOrg{0, 0};
        QPoint viewportOrg{0, 0};
        PenRecord pen = PenRecord::stockBlack();
        BrushRecord brush{false, 0xFFFFFF};
        LogFont font;
        ColorRef textColor = 0x000000;
        ColorRef bkColor = 0xFFFFFF;
        int bkMode = OPAQUE_BK;
        int rop2 = R2_COPYPEN;
        std::optional<QRect> clip; // device pixels
        QPoint position{0, 0};     // logical units
    };
    const State& state() const { return state_; }

    // Device pixels per logical unit along x and y (absolute values).
    double scaleX() const;
    double scaleY() const;
    // True when the mapping turns one axis over (y up on a y-down device).
    bool mirrored() const;
    // The selected font's height in device pixels, sign kept (0: default size).
    double fontPixelHeight() const;
    // The font to draw the selected font with on the device, and the text it draws: symbol
    // faces are drawn with a font that has the characters their codes show.
    QFont deviceFont() const;
    QString deviceText(const QString& text) const;
    // The escapement as a device angle in degrees, counter-clockwise as seen on the device.
    double textAngle() const;

    // Output. Points come in logical units; the backend maps them with LPtoDP (the painter)
    // or writes them as they are (the recording). Rectangles come as two opposite corners,
    // not normalised; the second corner's edges are exclusive on the device.
    virtual void drawLine(QPoint from, QPoint to) = 0;
    virtual void drawPolyline(const QPoint* points, int count) = 0;
    virtual void drawRectangle(QPoint corner1, QPoint corner2) = 0;
    virtual void drawPatBlt(QPoint corner1, QPoint corner2, uint32_t rop) = 0;
    virtual void drawInvertRect(QPoint corner1, QPoint corner2) = 0;
    virtual void drawFocusRectangle(QPoint corner1, QPoint corner2) = 0;
    virtual void drawText(QPoint logical, const QString& text) = 0;
    // drawText at each point in order; backends override it to set their state up once.
    virtual void drawTextAt(std::span<const QPoint> logical, const QString& text);
    // Width and height of the text's cell in device pixels.
    virtual QSizeF measureText(const QString& text) = 0;

    // Notifications of state changes, for backends that record or cache them.
    virtual void stateSaved() {}
    virtual void stateChanged() {} // after restoreDC
    virtual void penSelected() {}
    virtual void brushSelected() {}
    virtual void fontSelected() {}
    virtual void textColorChanged() {}
    virtual void bkModeChanged() {}
    virtual void bkColorChanged() {}
    virtual void rop2Changed() {}
    virtual void clipChanged(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {}
    virtual void mappingChanged() {}

private:
    void setPosition(QPoint p) { state_.position = p; }

    State state_;
    std::vector<State> saved_;

    // The device font last built and what it was built from: text drawn again and again in one
    // font (a trace's symbols) builds the font once, and the metrics taken from that one font
    // find its loaded glyphs.
    struct FontCache
    {
        bool valid = false;
        LogFont font;
        double pixelHeight = 0.0;
        QFont device;
    };
    mutable FontCache fontCache_;
    // The text last drawn, the face it was drawn in and what the device shows for it.
    struct TextCache
    {
        bool valid = false;
        std::array<char, 32> face{};
        QString text;
        QString shown;
    };
    mutable TextCache textCache_;
};
