#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>

// The output log's text: one line per report line, never wrapped. One log lives for the whole
// run of the program; hiding its window keeps the lines.
class OutDoc : public QObject
{
    Q_OBJECT

public:
    const QStringList& lines() const { return lines_; }
    // Characters of the longest line appended so far; it never shrinks, not even when the lines
    // are cleared, so the view's width does not jump back.
    qsizetype maxLineLength() const { return maxLineLength_; }

    void append(const QString& text);
    // Removes every line and keeps the maximum line length.
    void clearLines();

    // The text between two character cells (x column, y line) in either order, as Copy puts it
    // on the clipboard: the lines joined by CR LF, without a final line break. Cells past the
    // last line stand for the end of the text.
    QString selectedText(QPoint anchor, QPoint end) const;

    // Writes every line followed by CR LF. Raises FileException; the file is then as it was.
    void save(const QString& path) const;

Q_SIGNALS:
    // The lines changed; scrollToEnd asks the views to show the last line.
    void changed(bool scrollToEnd);

private:
    QStringList lines_;
    qsizetype maxLineLength_ = 0;
};
