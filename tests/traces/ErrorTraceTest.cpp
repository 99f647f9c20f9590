#include "TraceTestSupport.h"

#include "axes/AxisTestSupport.h"
#include "platform/RecordingDC.h"
#include "traces/ErrorTrace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

// Found by argument-dependent lookup from QList's comparison.
static bool operator==(const DrawnLine& a, const DrawnLine& b)
{
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

namespace {

struct Bar
{
    int x, high, low;
};

// The three lines of each bar: the upright, then the caps at its two ends.
QList<DrawnLine> barLines(const QList<Bar>& bars)
{
    QList<DrawnLine> out;
    for (const Bar& b : bars) {
        out.append({b.x, b.high, b.x, b.low});
        out.append({b.x - 75, b.high, b.x + 75, b.high});
        out.append({b.x - 75, b.low, b.x + 75, b.low});
    }
    return out;
}

class ErrorBarDrawing : public TraceFixture
{
protected:
    // A trace of columns 1 and 2 over x 0..10 on 5 inches and y 0..100 on 4 inches, at (1, 1).
    ErrorTrace makeBars(ColumnFile* f)
    {
        xAxis = doc.axis<XAxis>(1, 1, 5, 0, 10);
        yAxis = doc.axis<YAxis>(1, 1, 4, 0, 100);
        Trace source;
        source.view = &view;
        source.SetFile(f);
        source.SetColumns(1, 2);
        source.SetXAxis(xAxis);
        source.SetYAxis(yAxis);
        source.SetPen(PenRecord(PS_DASH, 20, RGB(255, 0, 0)));
        return ErrorTrace(source);
    }
    QStringList drawn(ErrorTrace& t)
    {
        RecordingDC dc;
        t.Draw(dc);
        return dc.lines();
    }
};

TEST_F(ErrorBarDrawing, ThinBlackBarsWithCapsForThePointsThatHaveErrors)
{
    ColumnFile* f = doc.file("2 50 5\n4 60 -10\n6 70 1\n");
    ErrorTrace bars = makeBars(f);
    ASSERT_EQ(bars.GetErrorFile(), f);
    ASSERT_EQ(bars.GetErrorColumn(), 3);

    const QStringList lines = drawn(bars);
    // A negative error turns the bar over.
    EXPECT_EQ(drawnLines(lines),
              barLines({{1000, 2200, 1800}, {2000, 2000, 2800}, {3000, 2840, 2760}}));
    RecordingDC black;
    black.selectStockPen(BLACK_PEN);
    const qsizetype firstBar = lines.indexOf(QRegularExpression(QStringLiteral("line .*")));
    const QStringList before = lines.mid(0, firstBar);
    const auto pen = std::find_if(before.rbegin(), before.rend(),
                                  [](const QString& l) { return l.startsWith("pen "); });
    ASSERT_NE(pen, before.rend());
    EXPECT_EQ(*pen, black.lines().last());

    // Fewer errors than points: bars for the first ones only.
    bars.SetErrorFile(doc.file("5\n1\n", QStringLiteral("/data/errors.dat")));
    bars.SetErrorColumn(1);
    EXPECT_EQ(drawnLines(drawn(bars)), barLines({{1000, 2200, 1800}, {2000, 2440, 2360}}));

    // No error file: no bars.
    bars.SetErrorFile(nullptr);
    EXPECT_TRUE(drawnLines(drawn(bars)).isEmpty());
}

TEST_F(ErrorBarDrawing, OnALogarithmicAxisALowEndAtOrBelowZeroReachesTheOrigin)
{
    ErrorTrace bars = makeBars(doc.file("2 10 20\n4 10 10\n"));
    yAxis->SetLimits(1, 100);
    yAxis->SetLog(true); // two inches a decade
    const QList<DrawnLine> lines = drawnLines(drawn(bars));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0].y1, int(std::log10(30.0) * 2000));
    EXPECT_EQ(lines[0].y2, 0);
    EXPECT_EQ(lines[3].y2, 0);
}

TEST_F(ErrorBarDrawing, AnErrorColumnTheRereadFileLostBecomesItsLast)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("run.dat"));
    auto write = [&](const char* text) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text);
    };
    write("2 50 5\n4 60 1\n");
    ColumnFile file(path);
    ASSERT_NE(file.ReadFile(), 0);
    ErrorTrace bars = makeBars(&file);
    ASSERT_EQ(bars.GetErrorColumn(), 3);

    write("2 50\n4 60\n");
    ASSERT_NE(bars.Reread(), 0);
    const QList<DrawnLine> lines = drawnLines(drawn(bars));
    EXPECT_EQ(bars.GetErrorColumn(), 2);
    EXPECT_EQ(lines, barLines({{1000, 4000, 0}, {2000, 4800, 0}}));
}

} // namespace
