#pragma once

#include <QPen>
#include <QPoint>
#include <cstdint>

class Archive;

// COLORREF: 0x00BBGGRR
using ColorRef = uint32_t;

// RGB(r, g, b) as the original platform composes it.
inline constexpr ColorRef RGB(int r, int g, int b)
{
    return ColorRef(uint8_t(r)) | (ColorRef(uint8_t(g)) << 8) | (ColorRef(uint8_t(b)) << 16);
}
QColor colorFromRef(ColorRef color);
ColorRef refFromColor(const QColor& color);

enum PenStyle : uint32_t {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
};

// A pen description: style, width and colour. The width is a point whose x is the width in
// logical units; y is stored but unused. A width of 0 or 1 draws one device pixel wide.
struct PenRecord
{
    uint32_t lopnStyle = PS_SOLID;
    QPoint lopnWidth{0, 0};
    ColorRef lopnColor = 0;

    PenRecord() = default;
    PenRecord(uint32_t style, int width, ColorRef color)
        : lopnStyle(style), lopnWidth(width, 0), lopnColor(color)
    {}

    bool operator==(const PenRecord&) const = default;

    // The stored record, 10 bytes: style (16 bits, zero-extended on load), width x and width y
    // (16 bits each, sign-extended on load), colour (32 bits), all little-endian.
    static constexpr int recordSize = 10;
    void write(Archive& ar) const;
    void read(Archive& ar);
    void serialize(Archive& ar); // write or read, as the archive is storing or loading

    // A QPen for a device where one logical unit of width is `devicePerLogical` pixels. Pens
    // that come out at most one pixel wide are cosmetic (width 0, one pixel on any device);
    // wider pens draw solid whatever their style, as on the original platform.
    QPen toQPen(double devicePerLogical = 1.0) const;

    static PenRecord stockBlack() { return PenRecord(PS_SOLID, 0, 0x000000); }
    static PenRecord stockWhite() { return PenRecord(PS_SOLID, 0, 0xFFFFFF); }
    static PenRecord stockNull() { return PenRecord(PS_NULL, 0, 0x000000); }
};
