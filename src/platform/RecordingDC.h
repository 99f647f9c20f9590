#pragma once

#include "platform/DeviceContext.h"

#include <QStringList>

// Records each call as one line of text, coordinates in logical units as the caller gave them.
// Drawing tests compare these lines. The lines:
//
//     line x1,y1 x2,y2          lineTo from the current position (one line per segment)
//     polyline n x,y x,y ...    n points
//     rect l,t,r,b              rectangle
//     patblt x,y,w,h 0x42       patBlt with its raster operation in hex
//     invert l,t,r,b            invertRect (left, top, right, bottom)
//     focus l,t,r,b             drawFocusRect
//     text x,y "2.5"            textOut; a " or \ in the text is preceded by a \ . textOutAt
//                               gives one such line a point, as textOut at each would.
//     font Arial -167 esc 0     face, height, escapement; then " weight 700", " italic",
//                               " underline", " strikeout" where they apply
//     pen 0 1 0x000000          style, width x, colour (0x00BBGGRR, six hex digits)
//     brush null | brush 0xffffff
//     textcolor 0x0000ff | bkcolor 0xffffff | bkmode 1 | rop 7
//     clip l,t,r,b              intersectClipRect as given
//     windoworg x,y             a new window origin
//     save | restore
//
// Text is measured as on a 1000 dpi device in the text mapping: the font's height in logical
// units is its size in pixels.
class RecordingDC : public DeviceContext
{
public:
    RecordingDC();
    ~RecordingDC() override;

    const QStringList& lines() const { return lines_; }
    void clear() { lines_.clear(); }

    int logPixelsX() const override { return 1000; }
    int logPixelsY() const override { return 1000; }

protected:
    void drawLine(QPoint from, QPoint to) override;
    void drawPolyline(const QPoint* points, int count) override;
    void drawRectangle(QPoint corner1, QPoint corner2) override;
    void drawPatBlt(QPoint corner1, QPoint corner2, uint32_t rop) override;
    void drawInvertRect(QPoint corner1, QPoint corner2) override;
    void drawFocusRectangle(QPoint corner1, QPoint corner2) override;
    void drawText(QPoint logical, const QString& text) override;
    QSizeF measureText(const QString& text) override;

    void stateSaved() override;
    void stateChanged() override;
    void penSelected() override;
    void brushSelected() override;
    void fontSelected() override;
    void textColorChanged() override;
    void bkModeChanged() override;
    void bkColorChanged() override;
    void rop2Changed() override;
    void clipChanged(int left, int top, int right, int bottom) override;
    void mappingChanged() override;

private:
    void add(const QString& line) { lines_.append(line); }

    QStringList lines_;
    QPoint recordedOrg_{0, 0};
};
