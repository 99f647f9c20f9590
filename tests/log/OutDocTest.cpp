#include "log/OutDoc.h"
#include "log/OutWin.h"
#include "platform/Exceptions.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Ten lines "line 0 ..." to "line 9 ..." of different lengths.
void fill(OutDoc& doc)
{
    for (int i = 0; i < 10; ++i)
        doc.append(QStringLiteral("line %1 ").arg(i) + QString(i, QLatin1Char('x')));
}

struct CopyCase
{
    const char* name;
    QPoint anchor; // (column, line)
    QPoint end;
    const char* text;
};

class CopyTest : public ::testing::TestWithParam<CopyCase>
{};

} // namespace

TEST_P(CopyTest, SelectionCopiesAsCrLfText)
{
    OutDoc doc;
    fill(doc);
    const CopyCase& c = GetParam();
    EXPECT_EQ(doc.selectedText(c.anchor, c.end), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CopyTest,
    ::testing::Values(
        CopyCase{"Forwards", {3, 5}, {2, 8}, "e 5 xxxxx\r\nline 6 xxxxxx\r\nline 7 xxxxxxx\r\nli"},
        CopyCase{"Backwards", {2, 8}, {3, 5}, "e 5 xxxxx\r\nline 6 xxxxxx\r\nline 7 xxxxxxx\r\nli"},
        CopyCase{"WithinALine", {6, 4}, {2, 4}, "ne 4"},
        CopyCase{"AdjacentLines", {7, 1}, {0, 2}, "x\r\n"},
        CopyCase{"PastTheEndOfALine", {5, 1}, {40, 1}, "1 x"},
        CopyCase{"BelowTheText", {7, 9}, {3, 14}, "xxxxxxxxx"},
        CopyCase{"Empty", {3, 3}, {3, 3}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutDocTest, LongestLineWidensTheViewAndNeverNarrowsIt)
{
    OutDoc doc;
    OutWin view(&doc);
    view.resize(200, 100);
    view.show();
    QScrollBar* bar = view.horizontalScrollBar();
    const int client = view.viewport()->width();
    const int fits = client / view.charWidth();
    doc.append(QString(fits, QLatin1Char('a')));
    EXPECT_EQ(bar->maximum(), 0);
    doc.append(QString(fits + 30, QLatin1Char('b')));
    EXPECT_EQ(doc.maxLineLength(), fits + 30);
    EXPECT_EQ(bar->maximum(), (fits + 30) * view.charWidth() - client);
    doc.append(QStringLiteral("short"));
    doc.clearLines();
    doc.append(QStringLiteral("short"));
    EXPECT_EQ(doc.maxLineLength(), fits + 30);
    EXPECT_EQ(bar->maximum(), (fits + 30) * view.charWidth() - client);
}

TEST(OutDocTest, SaveEndsEveryLineWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Output.txt"));
    OutDoc doc;
    doc.save(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray());
    file.close();

    doc.append(QStringLiteral("a = 1.5e+000"));
    doc.append(QString());
    doc.append(QStringLiteral("chi²"));
    doc.save(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("a = 1.5e+000\r\n\r\nchi\xC2\xB2\r\n"));

    EXPECT_THROW(doc.save(dir.filePath(QStringLiteral("missing/Output.txt"))), FileException);
}

TEST(OutWinTest, DraggingSelectsCellsAndInvertsThem)
{
    OutDoc doc;
    fill(doc);
    OutWin view(&doc);
    view.resize(400, 300);
    view.show();
    const int w = view.charWidth();
    const int h = view.lineHeight();
    auto centre = [&](int column, int line) {
        return QPoint(column * w + w / 2, line * h + h / 2);
    };
    QWidget* port = view.viewport();
    const QImage before = port->grab().toImage();
    QTest::mousePress(port, Qt::LeftButton, {}, centre(2, 1));
    QMouseEvent move(QEvent::MouseMove, centre(4, 2), port->mapToGlobal(centre(4, 2)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, {}, centre(4, 2));
    EXPECT_EQ(view.anchor(), QPoint(2, 1));
    EXPECT_EQ(view.selectionEnd(), QPoint(4, 2));
    EXPECT_EQ(view.selectedText(), QStringLiteral("ne 1 x\r\nline"));

    // Inverted: the cells selected on both lines, not those before the anchor or after the end.
    const QImage after = port->grab().toImage();
    const qreal ratio = after.devicePixelRatio();
    auto changed = [&](int column, int line) {
        const QPoint p = centre(column, line) * ratio;
        // A cell is inverted in every pixel, the glyph's included; its corner is background.
        const QPoint corner = QPoint(column * w + 1, line * h + 1) * ratio;
        return before.pixel(corner) != after.pixel(corner) && before.pixel(p) != after.pixel(p);
    };
    EXPECT_FALSE(changed(1, 1));
    EXPECT_TRUE(changed(2, 1));
    EXPECT_TRUE(changed(30, 1)) << "the first line's band runs to the right edge";
    EXPECT_TRUE(changed(0, 2));
    EXPECT_TRUE(changed(3, 2));
    EXPECT_FALSE(changed(4, 2));
    EXPECT_FALSE(changed(0, 3));
}

TEST(OutWinTest, DraggingPastTheEdgeScrollsAndExtendsTheSelection)
{
    OutDoc doc;
    doc.append(QString(300, QLatin1Char('a')));
    doc.append(QString(300, QLatin1Char('b')));
    OutWin view(&doc);
    view.resize(200, 100);
    view.show();
    QWidget* port = view.viewport();
    const int lastVisible = (port->width() - 1) / view.charWidth();
    QTest::mousePress(port, Qt::LeftButton, {}, QPoint(2, 2));
    const QPoint outside(port->width() + 40, 2);
    QMouseEvent move(QEvent::MouseMove, outside, port->mapToGlobal(outside), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(port, &move);
    // The end goes to the edge the pointer crossed and one column on, scrolled into view.
    EXPECT_EQ(view.horizontalScrollBar()->value(), view.charWidth());
    EXPECT_EQ(view.selectionEnd(), QPoint(lastVisible + 1, 0));
    // It goes on while the pointer stays outside.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return view.horizontalScrollBar()->value() > 2 * view.charWidth(); }));
    QTest::mouseRelease(port, Qt::LeftButton, {}, outside);
    const int scrolled = view.horizontalScrollBar()->value() / view.charWidth();
    EXPECT_EQ(view.selectionEnd(), QPoint(lastVisible + scrolled, 0));
}
