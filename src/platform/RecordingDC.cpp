#include "platform/RecordingDC.h"

#include <QFontMetricsF>

namespace {

QString pt(QPoint p)
{
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
}

QString corners(QPoint a, QPoint b)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y());
}

QString color(ColorRef c)
{
    return QStringLiteral("0x%1").arg(c & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out.append(QLatin1Char('\\'));
        out.append(c);
    }
    out.append(QLatin1Char('"'));
    return out;
}

} // namespace

RecordingDC::RecordingDC() = default;
RecordingDC::~RecordingDC() = default;

void RecordingDC::drawLine(QPoint from, QPoint to)
{
    add(QStringLiteral("line %1 %2").arg(pt(from), pt(to)));
}

void RecordingDC::drawPolyline(const QPoint* points, int count)
{
    QString line = QStringLiteral("polyline %1").arg(count);
    for (int i = 0; i < count; ++i)
        line += QLatin1Char(' ') + pt(points[i]);
    add(line);
}

void RecordingDC::drawRectangle(QPoint corner1, QPoint corner2)
{
    add(QStringLiteral("rect ") + corners(corner1, corner2));
}

void RecordingDC::drawPatBlt(QPoint corner1, QPoint corner2, uint32_t rop)
{
    add(QStringLiteral("patblt %1,%2,%3,%4 0x%5")
            .arg(corner1.x())
            .arg(corner1.y())
            .arg(qint64(corner2.x()) - corner1.x())
            .arg(qint64(corner2.y()) - corner1.y())
            .arg(rop, 0, 16));
}

void RecordingDC::drawInvertRect(QPoint corner1, QPoint corner2)
{
    add(QStringLiteral("invert ") + corners(corner1, corner2));
}

void RecordingDC::drawFocusRectangle(QPoint corner1, QPoint corner2)
{
    add(QStringLiteral("focus ") + corners(corner1, corner2));
}

void RecordingDC::drawText(QPoint logical, const QString& text)
{
    add(QStringLiteral("text %1 %2").arg(pt(logical), quoted(text)));
}

QSizeF RecordingDC::measureText(const QString& text)
{
    const QFontMetricsF metrics(deviceFont());
    return QSizeF(metrics.horizontalAdvance(deviceText(text)),
                  metrics.ascent() + metrics.descent());
}

void RecordingDC::stateSaved()
{
    add(QStringLiteral("save"));
}

void RecordingDC::stateChanged()
{
    recordedOrg_ = windowOrg();
    add(QStringLiteral("restore"));
}

void RecordingDC::penSelected()
{
    const PenRecord& p = pen();
    add(QStringLiteral("pen %1 %2 %3")
            .arg(p.lopnStyle)
            .arg(p.lopnWidth.x())
            .arg(color(p.lopnColor)));
}

void RecordingDC::brushSelected()
{
    add(brush().null ? QStringLiteral("brush null")
                     : QStringLiteral("brush ") + color(brush().color));
}

void RecordingDC::fontSelected()
{
    const LogFont& f = font();
    QString line =
        QStringLiteral("font %1 %2 esc %3").arg(f.faceName()).arg(f.lfHeight).arg(f.lfEscapement);
    if (f.lfWeight != 0 && f.lfWeight != LogFont::FW_NORMAL)
        line += QStringLiteral(" weight %1").arg(f.lfWeight);
    if (f.lfItalic)
        line += QStringLiteral(" italic");
    if (f.lfUnderline)
        line += QStringLiteral(" underline");
    if (f.lfStrikeOut)
        line += QStringLiteral(" strikeout");
    add(line);
}

void RecordingDC::textColorChanged()
{
    add(QStringLiteral("textcolor ") + color(textColor()));
}

void RecordingDC::bkModeChanged()
{
    add(QStringLiteral("bkmode %1").arg(bkMode()));
}

void RecordingDC::bkColorChanged()
{
    add(QStringLiteral("bkcolor ") + color(bkColor()));
}

void RecordingDC::rop2Changed()
{
    add(QStringLiteral("rop %1").arg(rop2()));
}

void RecordingDC::clipChanged(int left, int top, int right, int bottom)
{
    add(QStringLiteral("clip %1,%2,%3,%4").arg(left).arg(top).arg(right).arg(bottom));
}

void RecordingDC::mappingChanged()
{
    if (windowOrg() == recordedOrg_)
        return;
    recordedOrg_ = windowOrg();
    add(QStringLiteral("windoworg ") + pt(recordedOrg_));
}
