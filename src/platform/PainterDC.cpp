#include "platform/PainterDC.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <vector>

// Saves the painter around one drawing call and applies the clip and the composition mode.
class PainterDC::Scope
{
public:
    Scope(PainterDC& dc, QPainter::CompositionMode mode, bool antialias = false)
        : painter_(dc.painter_)
    {
        painter_->save();
        const auto& clip = dc.state().clip;
        if (clip) {
            if (clip->isEmpty())
                visible_ = false;
            else
                painter_->setClipRect(*clip, Qt::IntersectClip);
        }
        painter_->setCompositionMode(mode);
        painter_->setRenderHint(QPainter::Antialiasing, antialias);
        painter_->setBrush(Qt::NoBrush);
    }
    ~Scope() { painter_->restore(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    bool visible() const { return visible_; }

private:
    QPainter* painter_;
    bool visible_ = true;
};

namespace {

QPainter::CompositionMode modeFor(int rop2, bool rasterOps)
{
    if (!rasterOps)
        return QPainter::CompositionMode_SourceOver;
    switch (rop2) {
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

PainterDC::PainterDC(QPainter* painter, int dpiX, int dpiY, bool printing)
    : painter_(painter), dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96),
      printing_(printing)
{
    Q_ASSERT(painter_);
}

PainterDC::~PainterDC() = default;

bool PainterDC::hasRasterOps() const
{
    const QPaintEngine* engine = painter_->paintEngine();
    return engine && engine->hasFeature(QPaintEngine::RasterOpModes);
}

bool PainterDC::linePen(QPen& pen) const
{
    const int rop = state().rop2;
    if (rop == R2_NOP || state().pen.lopnStyle == PS_NULL)
        return false;
    pen = state().pen.toQPen(scaleX());
    if (rop == R2_BLACK)
        pen.setColor(Qt::black);
    else if (rop == R2_WHITE)
        pen.setColor(Qt::white);
    return true;
}

QRect PainterDC::deviceRect(QPoint corner1, QPoint corner2) const
{
    const QPoint a = LPtoDP(corner1);
    const QPoint b = LPtoDP(corner2);
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

bool PainterDC::smoothes(const QPoint* device, int count) const
{
    // Blended edges would not undo under XOR, nor invert cleanly.
    if (!smoothLines_ || state().rop2 != R2_COPYPEN)
        return false;
    for (int i = 1; i < count; ++i) {
        if (device[i].x() != device[i - 1].x() && device[i].y() != device[i - 1].y())
            return true;
    }
    return false;
}

void PainterDC::strokeDevice(const QPoint* device, int count, const QPen& pen)
{
    const bool smooth = smoothes(device, count);
    Scope scope(*this, modeFor(state().rop2, hasRasterOps()), smooth);
    if (!scope.visible())
        return;
    painter_->setPen(pen);
    if (!smooth) {
        painter_->drawPolyline(device, count);
        return;
    }
    // Without anti-aliasing a point (x, y) paints the pixel whose top-left corner it is; the
    // smooth line passes through that pixel's centre, so both cover the same pixels.
    std::vector<QPointF> centres(static_cast<size_t>(count));
    std::transform(device, device + count, centres.begin(),
                   [](QPoint p) { return QPointF(p) + QPointF(0.5, 0.5); });
    painter_->drawPolyline(centres.data(), count);
}

void PainterDC::drawLine(QPoint from, QPoint to)
{
    QPen pen;
    if (!linePen(pen))
        return;
    const QPoint device[2] = {LPtoDP(from), LPtoDP(to)};
    strokeDevice(device, 2, pen);
}

void PainterDC::drawPolyline(const QPoint* points, int count)
{
    QPen pen;
    if (!linePen(pen))
        return;
    std::vector<QPoint> device(static_cast<size_t>(count));
    std::transform(points, points + count, device.begin(), [this](QPoint p) { return LPtoDP(p); });
    strokeDevice(device.data(), count, pen);
}

void PainterDC::drawRectangle(QPoint corner1, QPoint corner2)
{
    const QRect r = deviceRect(corner1, corner2);
    if (r.isEmpty() || state().rop2 == R2_NOP)
        return;
    Scope scope(*this, modeFor(state().rop2, hasRasterOps()));
    if (!scope.visible())
        return;
    QPen pen;
    const bool outline = linePen(pen);
    const bool cosmetic = outline && pen.widthF() == 0.0;

    // The fill stays inside a one-pixel outline, so that XOR drawing touches each pixel once.
    const BrushRecord& brush = state().brush;
    if (!brush.null) {
        QColor fill = colorFromRef(brush.color);
        if (state().rop2 == R2_BLACK)
            fill = Qt::black;
        else if (state().rop2 == R2_WHITE)
            fill = Qt::white;
        const QRect inner = cosmetic ? r.adjusted(1, 1, -1, -1) : r;
        if (!inner.isEmpty())
            painter_->fillRect(inner, fill);
    }
    if (!outline)
        return;
    if (cosmetic && pen.style() == Qt::SolidLine) {
        const QColor c = pen.color();
        painter_->fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
        if (r.height() > 1)
            painter_->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
        if (r.height() > 2) {
            painter_->fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), c);
            if (r.width() > 1)
                painter_->fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), c);
        }
        return;
    }
    painter_->setPen(pen);
    if (cosmetic)
        painter_->drawRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
    else
        painter_->drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
}

void PainterDC::drawPatBlt(QPoint corner1, QPoint corner2, uint32_t rop)
{
    const QRect r = deviceRect(corner1, corner2);
    if (r.isEmpty())
        return;
    const bool rasterOps = hasRasterOps();
    const BrushRecord& brush = state().brush;
    QColor color;
    QPainter::CompositionMode mode = QPainter::CompositionMode_Source;
    switch (rop) {
    case BLACKNESS:
        color = Qt::black;
        break;
    case WHITENESS:
        color = Qt::white;
        break;
    case PATCOPY:
        if (brush.null)
            return;
        color = colorFromRef(brush.color);
        break;
    case PATINVERT:
        if (brush.null || !rasterOps)
            return;
        color = colorFromRef(brush.color);
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case DSTINVERT:
        if (!rasterOps)
            return;
        color = Qt::black;
        mode = QPainter::RasterOp_NotDestination;
        break;
    default:
        return;
    }
    Scope scope(*this, mode);
    if (scope.visible())
        painter_->fillRect(r, color);
}

void PainterDC::drawInvertRect(QPoint corner1, QPoint corner2)
{
    drawPatBlt(corner1, corner2, DSTINVERT);
}

void PainterDC::drawFocusRectangle(QPoint corner1, QPoint corner2)
{
    const QRect r = deviceRect(corner1, corner2);
    if (r.isEmpty())
        return;
    const bool rasterOps = hasRasterOps();
    Scope scope(*this, rasterOps ? QPainter::RasterOp_SourceXorDestination
                                 : QPainter::CompositionMode_SourceOver);
    if (!scope.visible())
        return;
    // Every other pixel of the outline, inverted: a second call puts the pixels back.
    const QColor color = rasterOps ? QColor(Qt::white) : QColor(Qt::gray);
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            painter_->fillRect(QRect(x, y, 1, 1), color);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        if (r.bottom() != r.top())
            dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        if (r.right() != r.left())
            dot(r.right(), y);
    }
}

void PainterDC::drawText(QPoint logical, const QString& text)
{
    drawTextAt(std::span<const QPoint>(&logical, 1), text);
}

void PainterDC::drawTextAt(std::span<const QPoint> logical, const QString& text)
{
    const QFont font = deviceFont();
    const QString shown = deviceText(text);
    const QFontMetricsF metrics(font);

    // Text ignores the raster mode, as on the original platform.
    Scope scope(*this, QPainter::CompositionMode_SourceOver);
    if (!scope.visible())
        return;
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setFont(font);
    painter_->setPen(colorFromRef(state().textColor));
    const bool opaque = state().bkMode == OPAQUE_BK;
    const QColor background = colorFromRef(state().bkColor);
    // In the text's own frame: the cell hangs down from the reference point at the origin.
    const QRectF cell(0.0, 0.0, metrics.horizontalAdvance(shown),
                      metrics.ascent() + metrics.descent());
    const QPointF baseline(0.0, metrics.ascent());
    // drawText shapes the text at every call, which costs far more than drawing a symbol; shaped
    // once, the copies are drawn as glyphs.
    const QList<QGlyphRun> glyphs =
        logical.size() > 1 ? shapedOnce(shown, font, metrics.ascent()) : QList<QGlyphRun>();
    const double angle = -textAngle();
    const QTransform base = painter_->worldTransform();
    // Changing the painter's transform costs more than drawing a symbol too; upright text on an
    // untransformed painter lands on the same pixels moved by its point instead.
    const bool moveOnly =
        angle == 0.0 && painter_->combinedTransform().type() == QTransform::TxNone;
    for (const QPoint& p : logical) {
        QPointF origin = LPtoDP(p);
        if (!moveOnly) {
            QTransform placed = base;
            placed.translate(origin.x(), origin.y());
            placed.rotate(angle);
            painter_->setWorldTransform(placed);
            origin = QPointF();
        }
        if (opaque)
            painter_->fillRect(cell.translated(origin), background);
        if (glyphs.isEmpty())
            painter_->drawText(baseline + origin, shown);
        for (const QGlyphRun& run : glyphs)
            painter_->drawGlyphRun(origin, run);
    }
}

QList<QGlyphRun> PainterDC::shapedOnce(const QString& shown, const QFont& font, double ascent) const
{
    // Vector files take text as characters, which glyphs lack; lines under or through the text
    // and control characters are left to drawText too.
    const QPaintEngine* engine = painter_->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return {};
    if (font.underline() || font.overline() || font.strikeOut())
        return {};
    for (QChar c : shown) {
        if (!c.isPrint())
            return {};
    }
    QTextLayout layout(shown, font);
    QTextOption option;
    option.setTextDirection(painter_->layoutDirection());
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    // Positions from the top-left of the cell, on the baseline drawText uses.
    const double shift = ascent - (line.y() + line.ascent());
    QList<QGlyphRun> runs = layout.glyphRuns();
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& at : positions)
            at.ry() += shift;
        run.setPositions(positions);
    }
    return runs;
}

QSizeF PainterDC::measureText(const QString& text)
{
    const QFontMetricsF metrics(deviceFont());
    return QSizeF(metrics.horizontalAdvance(deviceText(text)),
                  metrics.ascent() + metrics.descent());
}
