#include "TraceTestSupport.h"

#include "platform/PainterDC.h"
#include "platform/RecordingDC.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

std::vector<QPoint> polylinePoints(const QString& record)
{
    std::vector<QPoint> out;
    static const QRegularExpression re(QStringLiteral("(-?\\d+),(-?\\d+)"));
    for (auto it = re.globalMatch(record); it.hasNext();) {
        const auto m = it.next();
        out.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return out;
}

QStringList recordsStartingWith(const QStringList& lines, const QString& prefix)
{
    QStringList out;
    for (const QString& l : lines) {
        if (l.startsWith(prefix))
            out.append(l);
    }
    return out;
}

TEST_F(TraceFixture, DashedLineGoesInPiecesThatJoinWithoutAGap)
{
    std::vector<double> xs(5000), ys(5000);
    for (int i = 0; i < 5000; ++i) {
        xs[i] = i * 0.002; // 1 logical unit a point
        ys[i] = i % 7;
    }
    MemTrace* t = memTrace(xs, ys);
    t->SetPen(PenRecord(PS_DASH, 0, 0));
    RecordingDC dc;
    t->Draw(dc);

    const QStringList pieces = recordsStartingWith(dc.lines(), QStringLiteral("polyline "));
    ASSERT_EQ(pieces.size(), 2);
    const std::vector<QPoint> first = polylinePoints(pieces[0].section(' ', 2));
    const std::vector<QPoint> second = polylinePoints(pieces[1].section(' ', 2));
    ASSERT_EQ(first.size(), 4096u);
    ASSERT_EQ(second.size(), 5000u - 4095u);
    EXPECT_EQ(second.front(), first.back());
    const std::vector<QPoint>& points = t->GetPoints();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), points.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), points.begin() + 4095));
    EXPECT_TRUE(recordsStartingWith(dc.lines(), QStringLiteral("line ")).isEmpty());
}

TEST_F(TraceFixture, SolidLineRunsPointToPointAndBreaksAtNan)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A repeated point adds no segment of its own; a point alone between gaps draws nothing.
    MemTrace* t = memTrace({0, 2, 2, 4, 6, 8, 10}, {0, 25, 25, 50, nan, 75, nan});
    RecordingDC dc;
    t->Draw(dc);
    const QStringList lines = recordsStartingWith(dc.lines(), QStringLiteral("polyline "));
    EXPECT_EQ(lines, (QStringList{"polyline 3 0,0 1000,1000 2000,2000"}));
    // Drawn from the trace's position, clipped to the plot box.
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("windoworg -1000,-1000")));
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("clip 0,4000,5000,0")));
}

TEST_F(TraceFixture, NoPenNoLineAndPrintUsesTheLineWidth)
{
    MemTrace* t = memTrace({0, 2, 4}, {0, 25, 50});
    t->SetPen(std::nullopt);
    RecordingDC dc;
    t->Draw(dc);
    EXPECT_TRUE(recordsStartingWith(dc.lines(), QStringLiteral("line ")).isEmpty());

    t->SetPen(PenRecord(PS_DOT, 1, RGB(255, 0, 0)));
    t->SetLineWidth(0.05f);
    dc.clear();
    PrintInfo info;
    t->Print(dc, info);
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("pen 2 50 0x0000ff")));
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("bkmode 1")));
}

// A solid line through many points a device column keeps only where it enters and leaves each
// column and its extremes there, and must cover exactly the pixels of the line through them all.
TEST_F(TraceFixture, SolidLineThroughManyPointsCoversThePixelsOfTheWholeLine)
{
    std::vector<double> xs, ys;
    for (int i = 0; i < 20000; ++i) {
        xs.push_back(i * 0.0005);
        ys.push_back(50 + 35 * std::sin(i * 0.002) + (i * 7919 % 23) - 11);
    }
    MemTrace* t = memTrace(xs, ys);
    auto render = [&](bool wholeLine) {
        QImage image(700, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        view.PrepareDC(dc);
        if (!wholeLine) {
            t->Draw(dc);
            return image;
        }
        dc.offsetWindowOrg(-Axis::toLogical(t->x), -Axis::toLogical(t->y));
        dc.intersectClipRect(0, 4000, 5000, 0);
        dc.selectPen(PenRecord(PS_SOLID, 0, 0));
        const std::vector<QPoint>& p = t->GetPoints();
        dc.polyline(p.data(), int(p.size()));
        return image;
    };
    RecordingDC recording;
    view.PrepareDC(recording);
    t->Draw(recording);
    const QImage drawn = render(false);
    const QImage reference = render(true);
    EXPECT_EQ(drawn, reference);
    // About 480 device columns: far fewer points than 20000 reach the device.
    const QStringList pieces = recordsStartingWith(recording.lines(), QStringLiteral("polyline "));
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_LT(pieces[0].section(' ', 1, 1).toInt(), 4 * 500);
}

// A solid line drawn again after a change is drawn as a trace that never drew before would
// draw it: what the last drawing kept must not outlive its points or its mapping.
enum class Change { None, Scroll, ViewScale, AxisRange, Print };

class RedrawAfterChange : public TraceFixture, public ::testing::WithParamInterface<Change>
{};

TEST_P(RedrawAfterChange, DrawsAsAFreshTrace)
{
    std::vector<double> xs, ys;
    for (int i = 0; i < 20000; ++i) {
        xs.push_back(i * 0.0005);
        ys.push_back(50 + 35 * std::sin(i * 0.003) + (i * 7919 % 23) - 11);
    }
    MemTrace* t = memTrace(xs, ys);
    auto polylines = [&](Trace* trace, bool printed) {
        RecordingDC dc;
        view.PrepareDC(dc);
        if (printed) {
            dc.setPageMapping(600, 600, 1.0f, QPoint(0, 6000));
            PrintInfo info;
            trace->Print(dc, info);
        } else {
            trace->Draw(dc);
        }
        return recordsStartingWith(dc.lines(), QStringLiteral("polyline "));
    };
    const QStringList before = polylines(t, false);
    switch (GetParam()) {
    case Change::None:
    case Change::Print:
        break;
    case Change::Scroll:
        view.scrollPosX += 37;
        view.scrollPosY -= 11;
        break;
    case Change::ViewScale:
        view.scale = 1.7f;
        break;
    case Change::AxisRange:
        xAxis->end = 7;
        break;
    }
    const bool printed = GetParam() == Change::Print;
    const QStringList after = polylines(t, printed);
    EXPECT_EQ(after, polylines(memTrace(xs, ys), printed));
    if (GetParam() == Change::None) {
        EXPECT_EQ(after, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, RedrawAfterChange,
                         ::testing::Values(Change::None, Change::Scroll, Change::ViewScale,
                                           Change::AxisRange, Change::Print));

// Renders axes and a trace with symbols through the painter; the symbols must sit centred on
// their points and nothing may be drawn outside the plot box. With PLOTVANE_RENDER_DIR set the
// picture is kept there for a look.
TEST_F(TraceFixture, SymbolsAreCentredOnTheirPointsAndClippedToThePlotBox)
{
    // The last point lies beyond the x axis's end: clipped away.
    MemTrace* t = memTrace({1, 3, 5, 7, 9, 12}, {20, 60, 30, 80, 50, 50});
    t->SetPen(PenRecord(PS_DASH, 0, RGB(0, 0, 255)));
    LogFont font = LogFont::fromFace(QStringLiteral("Wingdings"), -200);
    t->SetSymbolFont(font);
    t->SetSymbolChar(108);
    t->SetSymbolColor(RGB(255, 0, 0));

    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        view.PrepareDC(dc);
        xAxis->Draw(dc);
        yAxis->Draw(dc);
        t->Draw(dc);
    }
    if (const QString dir = qEnvironmentVariable("PLOTVANE_RENDER_DIR"); !dir.isEmpty())
        image.save(QDir(dir).filePath(QStringLiteral("trace.png")));

    auto isRed = [&](int px, int py) {
        const QColor c = image.pixelColor(px, py);
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    };
    // Centroid of the red pixels near each point's pixel.
    for (double vx : {1.0, 3.0, 5.0, 7.0, 9.0}) {
        const double vy = vx == 1 ? 20 : vx == 3 ? 60 : vx == 5 ? 30 : vx == 7 ? 80 : 50;
        const int cx = int(std::lround((1 + vx * 0.5) * 96));
        const int cy = int(std::lround(600 - (1 + vy * 0.04) * 96));
        double sx = 0, sy = 0;
        int n = 0;
        for (int py = cy - 20; py <= cy + 20; ++py) {
            for (int px = cx - 20; px <= cx + 20; ++px) {
                if (isRed(px, py)) {
                    sx += px;
                    sy += py;
                    ++n;
                }
            }
        }
        ASSERT_GT(n, 20) << "no symbol at x = " << vx;
        EXPECT_NEAR(sx / n, cx, 2.0) << "x = " << vx;
        EXPECT_NEAR(sy / n, cy, 2.0) << "x = " << vx;
    }
    // Nothing red right of the plot box (x axis end at 6 inches = 576 pixels).
    for (int py = 0; py < 600; ++py) {
        for (int px = 580; px < 800; ++px)
            ASSERT_FALSE(isRed(px, py)) << px << "," << py;
    }
}

// Many points land on one device pixel in a large trace; each pixel gets its symbol once, and the
// picture is that of every symbol drawn once, whatever the order and number of repeats.
TEST_F(TraceFixture, RepeatedSymbolsAreDrawnOnceWithTheSamePixels)
{
    // Crowded, overlapping symbols two to three pixels apart, the last ones reaching into the
    // plot box from beyond its right edge.
    std::vector<double> xs, ys;
    for (int i = 0; i < 200; ++i) {
        xs.push_back(0.3 + i * 0.05);
        ys.push_back(50 + 30 * std::sin(i * 0.1) + (i * 37 % 11));
    }
    std::vector<double> repeatedX, repeatedY;
    for (int copy = 0; copy < 3; ++copy) {
        repeatedX.insert(repeatedX.end(), xs.begin(), xs.end());
        repeatedY.insert(repeatedY.end(), ys.begin(), ys.end());
    }
    auto withSymbols = [](MemTrace* t) {
        t->SetPen(std::nullopt);
        t->SetSymbolFont(LogFont::fromFace(QStringLiteral("Wingdings"), -200));
        t->SetSymbolChar(108);
        t->SetSymbolColor(RGB(200, 0, 0));
        return t;
    };
    MemTrace* repeated = withSymbols(memTrace(repeatedX, repeatedY));
    std::vector<MemTrace*> singles;
    for (size_t i = 0; i < xs.size(); ++i)
        singles.push_back(withSymbols(memTrace({xs[i]}, {ys[i]})));

    auto render = [&](const std::vector<MemTrace*>& traces) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        view.PrepareDC(dc);
        for (MemTrace* t : traces)
            t->Draw(dc);
        return image;
    };
    EXPECT_EQ(render({repeated}), render(singles));

    RecordingDC recording;
    view.PrepareDC(recording);
    repeated->Draw(recording);
    EXPECT_EQ(recordsStartingWith(recording.lines(), QStringLiteral("text ")).size(), 200);
}

} // namespace
