#include "AxisTestSupport.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "platform/PainterDC.h"
#include "platform/RecordingDC.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

template <class A> std::unique_ptr<A> placed(float length, double s, double e, bool log = false)
{
    auto axis = std::make_unique<A>(nullptr);
    axis->x = 1;
    axis->y = 1;
    axis->length = length;
    axis->autoRange = false;
    axis->SetLimits(s, e);
    axis->SetLog(log);
    return axis;
}

QStringList recordedDrawing(Axis& axis)
{
    RecordingDC dc;
    axis.Draw(dc);
    return dc.lines();
}

QSize labelExtent(const Axis& axis, const QString& text)
{
    RecordingDC dc;
    dc.selectFont(axis.ticks.labelFont);
    return dc.getTextExtent(text);
}

TEST(AxisDrawing, XAxisTicksAndCentredLabels)
{
    auto axis = placed<XAxis>(5, 0, 10);
    const QStringList records = recordedDrawing(*axis);
    EXPECT_EQ(records.first(), QStringLiteral("save"));
    EXPECT_EQ(records.last(), QStringLiteral("restore"));
    EXPECT_TRUE(records.contains(QStringLiteral("font Arial -166 esc 0")));

    const QList<DrawnLine> lines = drawnLines(records);
    ASSERT_EQ(lines.size(), 1 + 9);
    EXPECT_EQ(lines[0].x1, 1000);
    EXPECT_EQ(lines[0].x2, 6000);
    for (int i = 0; i <= 8; ++i) {
        const DrawnLine& t = lines[1 + i];
        const int x = 1000 + 625 * i;
        const int up = i % 2 == 0 ? 150 : 100; // major ticks at the labels, minor between
        EXPECT_EQ(t.x1, x);
        EXPECT_EQ(t.x2, x);
        EXPECT_EQ(t.y1, 1000);
        EXPECT_EQ(t.y2, 1000 + up) << "tick " << i;
    }

    const QList<DrawnText> texts = drawnTexts(records);
    const QStringList expected{"0", "2.5", "5", "7.5", "10"};
    ASSERT_EQ(texts.size(), expected.size());
    for (int k = 0; k < texts.size(); ++k) {
        EXPECT_EQ(texts[k].text, expected[k]);
        const int w = labelExtent(*axis, expected[k]).width();
        EXPECT_EQ(texts[k].x, 1000 + 1250 * k - w / 2);
        EXPECT_EQ(texts[k].y, 900); // hanging from LabelSpacing below the line
    }
}

TEST(AxisDrawing, YAxisLabelsEndLeftOfTheLine)
{
    auto axis = placed<YAxis>(4, 0, 10);
    const QStringList records = recordedDrawing(*axis);
    const QList<DrawnLine> lines = drawnLines(records);
    ASSERT_EQ(lines.size(), 1 + 9);
    EXPECT_EQ(lines[0].y2, 5000);
    for (int i = 0; i <= 8; ++i) {
        const DrawnLine& t = lines[1 + i];
        const int y = 1000 + 500 * i;
        EXPECT_EQ(t.y1, y);
        EXPECT_EQ(t.y2, y);
        EXPECT_EQ(t.x1, 1000);
        EXPECT_EQ(t.x2, i % 2 == 0 ? 1150 : 1100) << "tick " << i;
    }
    const QList<DrawnText> texts = drawnTexts(records);
    const QStringList expected{"0", "2.5", "5", "7.5", "10"};
    ASSERT_EQ(texts.size(), expected.size());
    for (int k = 0; k < texts.size(); ++k) {
        const QSize ext = labelExtent(*axis, expected[k]);
        EXPECT_EQ(texts[k].text, expected[k]);
        EXPECT_EQ(texts[k].x + ext.width(), 900);
        EXPECT_EQ(texts[k].y, 1000 + 1000 * k + ext.height() / 2);
    }
}

TEST(AxisDrawing, LogarithmicAxisHasDecadesAndMinorTicks)
{
    auto axis = placed<YAxis>(4, 1, 10000, true);
    ASSERT_DOUBLE_EQ(axis->scale, 1);
    const QStringList records = recordedDrawing(*axis);
    QList<DrawnLine> ticks = drawnLines(records);
    ticks.removeFirst();
    QList<std::pair<int, int>> expected; // y, length
    const int minors[] = {301, 477, 602, 698, 778, 845, 903, 954};
    for (int j = 0; j <= 4; ++j) {
        expected.append({1000 + 1000 * j, 150});
        if (j < 4)
            for (int m : minors)
                expected.append({1000 + 1000 * j + m, 100});
    }
    ASSERT_EQ(ticks.size(), expected.size());
    for (int k = 0; k < ticks.size(); ++k) {
        EXPECT_EQ(ticks[k].y1, expected[k].first) << k;
        EXPECT_EQ(ticks[k].x2 - ticks[k].x1, expected[k].second) << k;
    }
    QStringList labels;
    for (const DrawnText& t : drawnTexts(records))
        labels.append(t.text);
    EXPECT_EQ(labels, (QStringList{"1", "10", "100", "1000", "10000"}));
}

TEST(AxisDrawing, LogarithmicAxisEndsWithoutALabelPastTheLastDecade)
{
    auto axis = placed<XAxis>(5, 3, 4500, true);
    axis->autoRange = 1; // start drops to the decade below the data
    axis->AutoTicks();
    QStringList labels;
    for (const DrawnText& t : drawnTexts(recordedDrawing(*axis)))
        labels.append(t.text);
    EXPECT_EQ(labels, (QStringList{"1", "10", "100", "1000"}));
}

TEST(AxisDrawing, ReversedAxisLabelsEveryMajorTick)
{
    auto axis = placed<XAxis>(5, 10, 0);
    const QStringList records = recordedDrawing(*axis);
    EXPECT_EQ(drawnLines(records).size(), 1 + 9);
    const QList<DrawnText> texts = drawnTexts(records);
    QStringList labels;
    for (const DrawnText& t : texts)
        labels.append(t.text);
    EXPECT_EQ(labels, (QStringList{"10", "7.5", "5", "2.5", "0"}));
    ASSERT_EQ(texts.size(), 5);
    EXPECT_LT(texts[0].x, texts[4].x);
}

// Ticks and labels at both limits, also where the single-precision step misses the decimal
// limit a little (0.1f is above 0.1), on reversed and logarithmic axes.
struct TicksToTheLimitsCase
{
    const char* name;
    double start, end;
    bool log;
    const char* labels; // from the origin on
    int majorTicks, minorTicks;
};

class TicksToTheLimits : public ::testing::TestWithParam<TicksToTheLimitsCase>
{};

TEST_P(TicksToTheLimits, FirstAndLastTickAreDrawn)
{
    const TicksToTheLimitsCase& c = GetParam();
    auto axis = placed<XAxis>(5, c.start, c.end, c.log);
    const QStringList records = recordedDrawing(*axis);
    QStringList labels;
    for (const DrawnText& t : drawnTexts(records))
        labels.append(t.text);
    EXPECT_EQ(labels.join(' ').toStdString(), c.labels);
    const QList<DrawnLine> ticks = drawnLines(records).mid(1);
    const auto majors = std::count_if(ticks.begin(), ticks.end(),
                                      [](const DrawnLine& t) { return t.y2 - t.y1 == 150; });
    EXPECT_EQ(majors, c.majorTicks);
    EXPECT_EQ(ticks.size() - majors, c.minorTicks);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, TicksToTheLimits,
    ::testing::Values(
        TicksToTheLimitsCase{"to0_4", 0, 0.4, false, "0 0.1 0.2 0.3 0.4", 5, 4},
        TicksToTheLimitsCase{"to0_6", 0, 0.6, false, "0 0.2 0.4 0.6", 4, 3},
        TicksToTheLimitsCase{"to0_8", 0, 0.8, false, "0 0.2 0.4 0.6 0.8", 5, 4},
        TicksToTheLimitsCase{"negative", -0.8, -0.2, false, "-0.8 -0.6 -0.4 -0.2", 4, 3},
        TicksToTheLimitsCase{"reversed", 0.4, 0, false, "0.4 0.3 0.2 0.1 0", 5, 4},
        TicksToTheLimitsCase{"reversedLog", 10000, 1, true, "10000 1000 100 10 1", 5, 32}),
    [](const auto& info) { return std::string(info.param.name); });

// A reversed axis shows the ticks and labels of the forward one, mirrored.
struct MirrorCase
{
    const char* name;
    double low, high;
    bool log;
};

class ReversedAxis : public ::testing::TestWithParam<MirrorCase>
{};

TEST_P(ReversedAxis, MirrorsTheForwardAxis)
{
    const MirrorCase& c = GetParam();
    auto forward = placed<XAxis>(5, c.low, c.high, c.log);
    auto reversed = placed<XAxis>(5, c.high, c.low, c.log);
    const QStringList fRecords = recordedDrawing(*forward);
    const QStringList rRecords = recordedDrawing(*reversed);

    // Tick marks as (distance from the origin, length), mirrored about the middle of the line.
    auto marks = [](const QStringList& records, bool mirror) {
        QList<std::pair<int, int>> out;
        for (const DrawnLine& t : drawnLines(records).mid(1))
            out.append({mirror ? 6000 - t.x1 : t.x1 - 1000, t.y2 - t.y1});
        std::sort(out.begin(), out.end());
        return out;
    };
    const auto fMarks = marks(fRecords, false);
    const auto rMarks = marks(rRecords, true);
    ASSERT_EQ(fMarks.size(), rMarks.size());
    for (qsizetype k = 0; k < fMarks.size(); ++k) {
        EXPECT_NEAR(fMarks[k].first, rMarks[k].first, 1) << k;
        EXPECT_EQ(fMarks[k].second, rMarks[k].second) << k;
    }

    const QList<DrawnText> fTexts = drawnTexts(fRecords);
    QList<DrawnText> rTexts = drawnTexts(rRecords);
    std::reverse(rTexts.begin(), rTexts.end());
    ASSERT_EQ(fTexts.size(), rTexts.size());
    for (qsizetype k = 0; k < fTexts.size(); ++k) {
        EXPECT_EQ(fTexts[k].text, rTexts[k].text);
        const int w = labelExtent(*forward, fTexts[k].text).width();
        EXPECT_NEAR(fTexts[k].x + w / 2 - 1000, 6000 - (rTexts[k].x + w / 2), 2) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, ReversedAxis,
                         ::testing::Values(MirrorCase{"offStep", 0, 9, false},
                                           MirrorCase{"decades", 1, 10000, true},
                                           MirrorCase{"betweenDecades", 3, 4500, true},
                                           MirrorCase{"belowOne", 0.002, 0.5, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AxisDrawing, OutwardTicksAndHiddenLabels)
{
    auto axis = placed<XAxis>(5, 0, 10);
    axis->ticks.tickAngle = -90;
    axis->ticks.showLabels = false;
    const QStringList records = recordedDrawing(*axis);
    EXPECT_TRUE(drawnTexts(records).isEmpty());
    const QList<DrawnLine> lines = drawnLines(records);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[1].y2, 850);
    EXPECT_EQ(lines[2].y2, 900);
}

// Settings no drawing can honour as they stand: the drawing corrects or refuses them and
// always ends.
struct GuardCase
{
    const char* name;
    std::function<void(Axis&)> setup;
    int ticks;  // tick marks expected; -1: at most the cap
    int labels; // labels expected; -1: at most the cap
};

class AxisDrawingGuards : public ::testing::TestWithParam<GuardCase>
{};

TEST_P(AxisDrawingGuards, DrawOnlyWhatMakesSense)
{
    const GuardCase& c = GetParam();
    auto axis = placed<XAxis>(5, 0, 10);
    c.setup(*axis);
    const QStringList records = recordedDrawing(*axis);
    const QList<DrawnLine> lines = drawnLines(records);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0].y1, 1000); // the axis line is always there
    EXPECT_EQ(lines[0].y2, 1000);
    const auto tickCount = lines.size() - 1;
    const auto labelCount = drawnTexts(records).size();
    if (c.ticks >= 0)
        EXPECT_EQ(tickCount, c.ticks);
    else
        EXPECT_LE(tickCount, Axis::maxTickMarks);
    if (c.labels >= 0)
        EXPECT_EQ(labelCount, c.labels);
    else
        EXPECT_LE(labelCount, Axis::maxLabels);
}

void manual(Axis& a, double first, double spacing, int interval)
{
    a.ticks.autoTicks = false;
    a.ticks.firstTick = first;
    a.ticks.tickSpacing = spacing;
    a.ticks.labelInterval = interval;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisDrawingGuards,
    ::testing::Values(
        GuardCase{"zeroSpacing", [](Axis& a) { manual(a, 0, 0, 2); }, 0, 0},
        GuardCase{"nanSpacing", [](Axis& a) { manual(a, 0, nan, 2); }, 0, 0},
        // An interval below 1 is drawn as 1: every tick is major and labelled.
        GuardCase{"intervalZero", [](Axis& a) { manual(a, 0, 1.25, 0); }, 9, 9},
        GuardCase{"intervalNegative", [](Axis& a) { manual(a, 0, 2.5, -4); }, 5, 5},
        GuardCase{"infiniteEnd", [](Axis& a) { a.SetLimits(0, inf); }, 0, 0},
        GuardCase{"nanStart", [](Axis& a) { a.SetLimits(nan, 10); }, 0, 0},
        GuardCase{"equalLimits", [](Axis& a) { a.SetLimits(4, 4); }, 0, 0},
        GuardCase{"wholeDoubleRange", [](Axis& a) { a.SetLimits(-1e308, 1e308); }, 0, 0},
        GuardCase{"nearDoubleLimit", [](Axis& a) { a.SetLimits(-1e300, 1e300); }, 9, 5},
        GuardCase{"tinySpacing", [](Axis& a) { manual(a, 0, 1e-9, 2); }, Axis::maxTickMarks,
                  Axis::maxLabels},
        // Ticks far before the start are skipped without spending the budget on them.
        GuardCase{"firstTickFarBefore", [](Axis& a) { manual(a, -1e7, 1, 5); }, 11, 3},
        GuardCase{"nanFirstTick", [](Axis& a) { manual(a, nan, 1, 2); }, 0, 0},
        GuardCase{"logEndNegative",
                  [](Axis& a) {
                      a.SetLimits(1, -5);
                      a.SetLog(true);
                  },
                  0, 0},
        GuardCase{"logHugeInterval",
                  [](Axis& a) {
                      a.SetLimits(1, 1000);
                      a.SetLog(true);
                      manual(a, 0, 0.1, 1000000000);
                  },
                  -1, -1},
        GuardCase{"hugeTickLength", [](Axis& a) { a.ticks.majorTickLength = 3e38f; }, 9, 5},
        GuardCase{"nanLabelOffset", [](Axis& a) { a.ticks.labelOffsetY = float(nan); }, 9, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AxisDrawing, NearTheDoubleLimitLabelsStayReadable)
{
    auto axis = placed<XAxis>(5, -1e300, 1e300);
    QStringList labels;
    for (const DrawnText& t : drawnTexts(recordedDrawing(*axis)))
        labels.append(t.text);
    EXPECT_EQ(labels, (QStringList{"-1e+300", "-5e+299", "0", "5e+299", "1e+300"}));
}

// --- on a real surface ---

bool dark(const QImage& image, QPoint p)
{
    return image.rect().contains(p) && qGray(image.pixel(p)) < 160;
}

// Dark pixels of a device rectangle: their number and their centre.
struct Ink
{
    int count = 0;
    double cx = 0, cy = 0;
    int right = -1;
};

Ink inkIn(const QImage& image, const QRect& box)
{
    Ink ink;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (dark(image, {x, y})) {
                ++ink.count;
                ink.cx += x;
                ink.cy += y;
                ink.right = std::max(ink.right, x);
            }
    if (ink.count) {
        ink.cx /= ink.count;
        ink.cy /= ink.count;
    }
    return ink;
}

TEST(AxisRendering, TicksAndLabelsLandOnTheComputedPixels)
{
    constexpr int width = 720, height = 528; // 7.5 x 5.5 inches at 96 pixels per inch
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    auto xAxis = placed<XAxis>(5, 0, 10);
    auto yAxis = placed<YAxis>(4, 0, 10);
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        dc.setPageMapping(96, 96, 1.0f, QPoint(0, height));
        xAxis->Draw(dc);
        yAxis->Draw(dc);
    }
    QTemporaryDir keep;
    // A failing run leaves the picture behind to look at.
    const QString picture = keep.filePath(QStringLiteral("axes.png"));

    RecordingDC mapping; // only for the page mapping
    mapping.setPageMapping(96, 96, 1.0f, QPoint(0, height));
    const QPoint origin = mapping.LPtoDP(QPoint(1000, 1000));
    ASSERT_EQ(origin, QPoint(96, 432));

    for (int i = 0; i <= 8; ++i) {
        // X ticks point up into the plot: 0.15 inch (14 pixels) major, 0.1 inch (10) minor.
        const int tx = mapping.LPtoDP(QPoint(1000 + 625 * i, 1000)).x();
        EXPECT_TRUE(dark(image, {tx, origin.y() - 6})) << "x tick " << i;
        EXPECT_EQ(dark(image, {tx, origin.y() - 12}), i % 2 == 0) << "x tick " << i;
        EXPECT_FALSE(dark(image, {tx + 30, origin.y() - 6}));
        // Y ticks point right.
        const int ty = mapping.LPtoDP(QPoint(1000, 1000 + 500 * i)).y();
        EXPECT_TRUE(dark(image, {origin.x() + 6, ty})) << "y tick " << i;
        EXPECT_EQ(dark(image, {origin.x() + 12, ty}), i % 2 == 0) << "y tick " << i;
        EXPECT_FALSE(dark(image, {origin.x() + 6, ty - 24}));
    }

    const int gap = mapping.lengthToDeviceX(100); // LabelSpacing, about 10 pixels
    for (int k = 0; k < 5; ++k) {
        // X labels: in a band below the line, centred on their tick.
        const int tx = mapping.LPtoDP(QPoint(1000 + 1250 * k, 1000)).x();
        const Ink below = inkIn(image, QRect(tx - 30, origin.y() + gap, 61, 30));
        EXPECT_GT(below.count, 10) << "x label " << k;
        EXPECT_NEAR(below.cx, tx, 2.0) << "x label " << k;
        // Y labels: left of the line, ending before the gap, centred on their tick.
        const int ty = mapping.LPtoDP(QPoint(1000, 1000 + 1000 * k)).y();
        const Ink left = inkIn(image, QRect(0, ty - 15, origin.x() - gap + 1, 31));
        EXPECT_GT(left.count, 10) << "y label " << k;
        EXPECT_NEAR(left.cy, ty, 2.5) << "y label " << k;
        EXPECT_LE(left.right, origin.x() - gap);
        EXPECT_GE(left.right, origin.x() - gap - 3);
    }
    // Nothing of the labels reaches past the band of the line's own pixels.
    EXPECT_EQ(inkIn(image, QRect(origin.x() + 1, origin.y() + 1, 500, gap - 2)).count, 0);
    if (::testing::Test::HasFailure() && image.save(picture)) {
        keep.setAutoRemove(false);
        ADD_FAILURE() << "the picture is " << picture.toStdString();
    }
}

TEST(AxisRendering, OutwardTicksShowThroughTheLabels)
{
    constexpr int height = 300;
    QImage image(720, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    auto axis = placed<XAxis>(5, 0, 10);
    axis->ticks.tickAngle = -90;
    {
        QPainter painter(&image);
        PainterDC dc(&painter, 96, 96);
        dc.setPageMapping(96, 96, 1.0f, QPoint(0, height));
        axis->Draw(dc);
    }
    // The major ticks end 0.15 inch below the line, inside the cells of their labels.
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(dark(image, {96 + 120 * k, height - 96 + 13})) << "tick " << k;
}

} // namespace
