#include "platform/PenRecord.h"

#include "platform/Archive.h"

#include <cmath>

QColor colorFromRef(ColorRef color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

ColorRef refFromColor(const QColor& color)
{
    return RGB(color.red(), color.green(), color.blue());
}

void PenRecord::write(Archive& ar) const
{
    ar.writeWord(uint16_t(lopnStyle));
    ar.writeWord(uint16_t(lopnWidth.x()));
    ar.writeWord(uint16_t(lopnWidth.y()));
    ar.writeDword(lopnColor);
}

void PenRecord::read(Archive& ar)
{
    const uint16_t style = ar.readWord();
    const int16_t x = int16_t(ar.readWord());
    const int16_t y = int16_t(ar.readWord());
    const uint32_t color = ar.readDword();
    lopnStyle = style;
    lopnWidth = QPoint(x, y);
    lopnColor = color;
}

void PenRecord::serialize(Archive& ar)
{
    if (ar.isStoring())
        write(ar);
    else
        read(ar);
}

QPen PenRecord::toQPen(double devicePerLogical) const
{
    if (lopnStyle == PS_NULL)
        return QPen(Qt::NoPen);
    QPen pen(colorFromRef(lopnColor));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const double width = std::abs(lopnWidth.x()) * std::abs(devicePerLogical);
    if (lopnWidth.x() > 1 && std::lround(width) > 1) {
        pen.setWidth(int(std::lround(width)));
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    pen.setWidth(0);
    // The original platform's one-pixel dash patterns, in pixels.
    switch (lopnStyle) {
    case PS_DASH:
        pen.setDashPattern({18, 6});
        break;
    case PS_DOT:
        pen.setDashPattern({3, 3});
        break;
    case PS_DASHDOT:
        pen.setDashPattern({9, 6, 3, 6});
        break;
    case PS_DASHDOTDOT:
        pen.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    default:
        break;
    }
    return pen;
}
