#include "log/OutWin.h"

#include "log/OutDoc.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

// The scroll position drives the selection steps while dragging outside; this keeps them at a
// readable pace when the mouse holds still.
constexpr int autoScrollInterval = 50; // ms

} // namespace

OutWin::OutWin(OutDoc* doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics = fontMetrics();
    charWidth_ = metrics.horizontalAdvance(QLatin1Char('0'));
    if (charWidth_ <= 0)
        charWidth_ = std::max(1, metrics.averageCharWidth());
    lineHeight_ = std::max(1, metrics.height() + std::max(0, metrics.leading()));
    ascent_ = metrics.ascent();
    viewport()->setCursor(Qt::IBeamCursor);

    autoScroll_.setInterval(autoScrollInterval);
    connect(&autoScroll_, &QTimer::timeout, this, &OutWin::dragOutside);
    connect(doc_, &OutDoc::changed, this, &OutWin::documentChanged);
    updateScrollRanges();
}

void OutWin::setSelection(QPoint anchor, QPoint end)
{
    anchor_ = anchor;
    end_ = end;
    viewport()->update();
}

QString OutWin::selectedText() const
{
    return doc_->selectedText(anchor_, end_);
}

void OutWin::copy() const
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

QPoint OutWin::cellAt(QPoint viewportPos) const
{
    const int x = viewportPos.x() + horizontalScrollBar()->value();
    const int y = viewportPos.y() + verticalScrollBar()->value();
    return {std::max(0, x / charWidth_), std::max(0, y / lineHeight_)};
}

void OutWin::documentChanged(bool scrollToEnd)
{
    updateScrollRanges();
    if (scrollToEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void OutWin::updateScrollRanges()
{
    const QSize client = viewport()->size();
    const qsizetype width = doc_->maxLineLength() * charWidth_;
    const qsizetype height = doc_->lines().size() * lineHeight_;
    auto fit = [](QScrollBar* bar, qsizetype total, int page, int step) {
        bar->setRange(0, int(std::clamp<qsizetype>(total - page, 0, INT_MAX)));
        bar->setPageStep(page);
        bar->setSingleStep(step);
    };
    fit(horizontalScrollBar(), width, client.width(), charWidth_);
    fit(verticalScrollBar(), height, client.height(), lineHeight_);
}

void OutWin::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void OutWin::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    const QRect area = event->rect().translated(scroll);

    const QStringList& lines = doc_->lines();
    const int firstLine = std::max(0, area.top() / lineHeight_);
    const int lastLine = std::min(int(lines.size()) - 1, area.bottom() / lineHeight_);
    for (int i = firstLine; i <= lastLine; ++i)
        painter.drawText(QPoint(0, i * lineHeight_ + ascent_), lines[i]);

    if (!hasSelection())
        return;
    // Inverted bands: the first line from its column to the right edge, the lines between
    // across the whole width, the last line from the left up to its column.
    const bool backwards =
        end_.y() < anchor_.y() || (end_.y() == anchor_.y() && end_.x() < anchor_.x());
    const QPoint first = backwards ? end_ : anchor_;
    const QPoint last = backwards ? anchor_ : end_;
    const int right = scroll.x() + viewport()->width();
    auto band = [&](int line, int left, int rightEdge) {
        return QRect(QPoint(left, line * lineHeight_),
                     QPoint(rightEdge - 1, (line + 1) * lineHeight_ - 1));
    };
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    if (first.y() == last.y()) {
        painter.fillRect(band(first.y(), first.x() * charWidth_, last.x() * charWidth_), Qt::white);
        return;
    }
    painter.fillRect(band(first.y(), first.x() * charWidth_, right), Qt::white);
    if (last.y() - first.y() > 1) {
        painter.fillRect(QRect(QPoint(0, (first.y() + 1) * lineHeight_),
                               QPoint(right - 1, last.y() * lineHeight_ - 1)),
                         Qt::white);
    }
    painter.fillRect(band(last.y(), 0, last.x() * charWidth_), Qt::white);
}

void OutWin::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragPos_ = event->position().toPoint();
    setSelection(cellAt(dragPos_), cellAt(dragPos_));
}

void OutWin::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    dragPos_ = event->position().toPoint();
    if (viewport()->rect().contains(dragPos_)) {
        autoScroll_.stop();
        const QPoint cell = cellAt(dragPos_);
        if (cell != end_)
            setSelection(anchor_, cell);
        return;
    }
    if (!autoScroll_.isActive()) {
        dragOutside();
        autoScroll_.start();
    }
}

void OutWin::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    autoScroll_.stop();
}

void OutWin::dragOutside()
{
    const QRect client = viewport()->rect();
    if (!dragging_ || client.contains(dragPos_)) {
        autoScroll_.stop();
        return;
    }
    QPoint step;
    if (dragPos_.y() > client.bottom())
        step.setY(1);
    else if (dragPos_.y() < client.top())
        step.setY(-1);
    if (dragPos_.x() > client.right())
        step.setX(1);
    else if (dragPos_.x() < client.left())
        step.setX(-1);
    // A pointer that left in one jump first takes the end to the cell at the edge it crossed.
    const QPoint edge(std::clamp(dragPos_.x(), 0, client.right()),
                      std::clamp(dragPos_.y(), 0, client.bottom()));
    const QPoint from = cellAt(edge);
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setValue(h->value() + step.x() * charWidth_);
    v->setValue(v->value() + step.y() * lineHeight_);
    const QPoint end(std::clamp(from.x() + step.x(), 0, int(doc_->maxLineLength())),
                     std::clamp(from.y() + step.y(), 0, int(doc_->lines().size())));
    setSelection(anchor_, end);
}
