#include "log/OutDoc.h"

#include "platform/OutputFile.h"

#include <algorithm>
#include <limits>

void OutDoc::append(const QString& text)
{
    maxLineLength_ = std::max(maxLineLength_, text.size());
    lines_.append(text);
    Q_EMIT changed(true);
}

void OutDoc::clearLines()
{
    lines_.clear();
    Q_EMIT changed(false);
}

QString OutDoc::selectedText(QPoint anchor, QPoint end) const
{
    if (lines_.isEmpty())
        return {};
    auto before = [](QPoint a, QPoint b) {
        return a.y() < b.y() || (a.y() == b.y() && a.x() < b.x());
    };
    QPoint first = before(end, anchor) ? end : anchor;
    QPoint last = before(end, anchor) ? anchor : end;
    // The mouse may select below the text: that part ends with the last line.
    const int lastLine = int(lines_.size()) - 1;
    const QPoint textEnd(std::numeric_limits<int>::max(), lastLine);
    if (first.y() > lastLine)
        first = textEnd;
    if (last.y() > lastLine)
        last = textEnd;
    if (first.y() < 0)
        first = QPoint(0, 0);
    if (last.y() < 0)
        return {};
    first.setX(std::max(first.x(), 0));
    last.setX(std::max(last.x(), 0));

    if (first.y() == last.y())
        return lines_[first.y()].mid(first.x(), last.x() - first.x());
    QString text = lines_[first.y()].mid(first.x()) + QStringLiteral("\r\n");
    for (int line = first.y() + 1; line < last.y(); ++line)
        text += lines_[line] + QStringLiteral("\r\n");
    return text + lines_[last.y()].left(last.x());
}

void OutDoc::save(const QString& path) const
{
    OutputFile file(path);
    file.create();
    for (const QString& line : lines_) {
        file.write(line.toUtf8());
        file.write("\r\n", 2);
    }
    file.commit();
}
