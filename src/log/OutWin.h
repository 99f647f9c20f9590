#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QTimer>

class OutDoc;

// The output log's view: the lines in a fixed-pitch font, scrolled in character cells, with a
// selection made by the mouse in cells and shown inverted. The selection is empty when its
// anchor and end coincide.
class OutWin : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit OutWin(OutDoc* doc, QWidget* parent = nullptr);

    OutDoc* document() const { return doc_; }
    // The cell size in pixels.
    int charWidth() const { return charWidth_; }
    int lineHeight() const { return lineHeight_; }

    // Cells are (column, line).
    QPoint anchor() const { return anchor_; }
    QPoint selectionEnd() const { return end_; }
    void setSelection(QPoint anchor, QPoint end);
    bool hasSelection() const { return anchor_ != end_; }
    QString selectedText() const;
    // Puts the selection on the clipboard as plain text.
    void copy() const;

    // The cell under a point of the viewport, counted from the top-left of the text.
    QPoint cellAt(QPoint viewportPos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void documentChanged(bool scrollToEnd);
    void updateScrollRanges();
    // Dragging outside the viewport: scrolls one cell towards the pointer and moves the end
    // of the selection with it.
    void dragOutside();

    OutDoc* doc_; // not owned; outlives the view
    int charWidth_ = 1;
    int lineHeight_ = 1;
    int ascent_ = 0;
    QPoint anchor_;
    QPoint end_;
    bool dragging_ = false;
    QPoint dragPos_; // viewport coordinates of the pointer while dragging
    QTimer autoScroll_;
};
