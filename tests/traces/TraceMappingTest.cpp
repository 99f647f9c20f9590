#include "TraceTestSupport.h"

#include <limits>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct MappingCase
{
    const char* name;
    std::vector<double> xs;
    std::vector<double> ys;
    bool sort;
    bool logY; // the y axis then runs 1 .. 10000 on 4 inches: 1000 logical units a decade
    std::vector<QPoint> points;
    std::vector<int> runStarts;
};

class TraceMapping : public TraceFixture, public ::testing::WithParamInterface<MappingCase>
{};

// x 0..10 on 5 inches is 500 logical units a unit; y 0..100 on 4 inches is 40.
TEST_P(TraceMapping, ValuesBecomeLogicalPoints)
{
    const MappingCase& c = GetParam();
    MemTrace* t = memTrace(c.xs, c.ys);
    if (c.logY) {
        yAxis->SetLimits(1, 10000);
        yAxis->SetLog(true);
    }
    t->SetSort(c.sort);
    ASSERT_EQ(t->ComputePoints(), 1);
    EXPECT_EQ(t->GetPoints(), c.points);
    EXPECT_EQ(t->GetRunStarts(), c.runStarts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceMapping,
    ::testing::Values(
        MappingCase{"Plain",
                    {0, 2, 10},
                    {0, 50, 100},
                    false,
                    false,
                    {{0, 0}, {1000, 2000}, {5000, 4000}},
                    {}},
        MappingCase{"LargeValuesClampTo32757",
                    {1e9, -1e9, 4},
                    {1, 2, 1e300},
                    false,
                    false,
                    {{32757, 40}, {-32758, 80}, {2000, 32757}},
                    {}},
        MappingCase{"InfinitiesClampLikeLargeValues",
                    {inf, -inf},
                    {-inf, inf},
                    false,
                    false,
                    {{32757, -32758}, {-32758, 32757}},
                    {}},
        MappingCase{"SortOnX",
                    {3, 1, 2},
                    {30, 10, 20},
                    true,
                    false,
                    {{500, 400}, {1000, 800}, {1500, 1200}},
                    {}},
        MappingCase{"StoredOrderWithoutSort",
                    {3, 1, 2},
                    {30, 10, 20},
                    false,
                    false,
                    {{1500, 1200}, {500, 400}, {1000, 800}},
                    {}},
        MappingCase{"NanLeavesTheLineBroken",
                    {1, 2, 3, nan, 5, 6},
                    {1, nan, 3, 4, 5, 6},
                    false,
                    false,
                    {{500, 40}, {1500, 120}, {2500, 200}, {3000, 240}},
                    {1, 2}},
        MappingCase{"LeadingAndTrailingNanStartNoRun",
                    {nan, 1, 2, nan},
                    {1, 1, 1, 1},
                    false,
                    false,
                    {{500, 40}, {1000, 40}},
                    {}},
        MappingCase{"ZeroAndNegativeOnALogAxisGoToTheOrigin",
                    {1, 2, 3},
                    {100, 0, -5},
                    false,
                    true,
                    {{500, 2000}, {1000, 0}, {1500, 0}},
                    {}},
        MappingCase{"NanOnALogAxisIsLeftOut", {1, 2}, {nan, 10}, false, true, {{1000, 1000}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TraceFixture, XColumnZeroPlotsPointNumbers)
{
    ColumnFile* f = doc.file("7 70\n8 80\n9 90\n10 100\n11 110\n");
    Trace* t = doc.newTrace(&view, f);
    t->SetColumns(0, 1);
    ASSERT_EQ(t->GetNumPoints(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t->GetXValues()->GetAt(i), i + 1);
        EXPECT_EQ(t->GetYValues()->GetAt(i), i + 7);
    }
    // Automatic axes end exactly at the data maximum.
    ASSERT_EQ(t->ComputePoints(), 1);
    EXPECT_EQ(t->GetXAxis()->end, 5);
    EXPECT_EQ(t->GetPoints().back().x(), 6000);
}

TEST_F(TraceFixture, PointsFollowTheAxesAndAreReusedOtherwise)
{
    MemTrace* t = memTrace({0, 10}, {0, 100});
    RecordingDC dc;
    t->DrawData(dc);
    ASSERT_TRUE(t->HasPoints());
    const QPoint* before = t->GetPoints().data();
    EXPECT_EQ(t->GetPoints().back(), QPoint(5000, 4000));

    t->DrawData(dc);
    EXPECT_EQ(t->GetPoints().data(), before);

    // Moved axes carry the trace along: the points, relative to its position, stay the same.
    const std::vector<QPoint> laidOut = t->GetPoints();
    xAxis->MoveBy(1.5f, 0.25f);
    yAxis->MoveBy(0.75f, -0.5f);
    t->Draw(dc);
    EXPECT_EQ(t->GetPoints(), laidOut);
    EXPECT_FLOAT_EQ(t->x, xAxis->x);
    EXPECT_FLOAT_EQ(t->y, yAxis->y);

    xAxis->SetLimits(0, 20);
    t->DrawData(dc);
    EXPECT_EQ(t->GetPoints().back(), QPoint(2500, 4000));
    yAxis->SetLength(2);
    t->DrawData(dc);
    EXPECT_EQ(t->GetPoints().back(), QPoint(2500, 2000));
    // The limits record the axes as laid out.
    EXPECT_EQ(t->GetXHigh(), 20);
    EXPECT_EQ(t->GetXLow(), 0);
}

TEST_F(TraceFixture, DeviceAndDataPointsMapBothWays)
{
    MemTrace* t = memTrace({0, 10}, {0, 100});
    t->ComputeRect();
    // The plot box: 1..6 inches across, 1..5 inches up, at 96 pixels an inch from the bottom.
    EXPECT_EQ(t->GetRect(), (Rect{96, 600 - 480, 576, 600 - 96}));

    const QPointF d = t->DeviceToData(QPoint(96 + 192, 600 - 96 - 192));
    EXPECT_NEAR(d.x(), 4.0, 0.01);
    EXPECT_NEAR(d.y(), 50.0, 0.1);

    yAxis->SetLimits(1, 10000);
    yAxis->SetLog(true);
    EXPECT_NEAR(t->DeviceToData(QPoint(96, 600 - 96 - 192)).y(), 100.0, 1.0);
}

TEST_F(TraceFixture, ReadoutMarkerMovesAndIsRemovedByTheSamePoint)
{
    MemTrace* t = memTrace({0, 10}, {0, 100});
    t->DataToDevice(4, 50);
    ASSERT_TRUE(t->GetMarker());
    EXPECT_EQ(*t->GetMarker(), QPoint(2000, 2000));
    EXPECT_EQ(doc.rectUpdates.size(), 1);

    t->DataToDevice(6, 25);
    EXPECT_EQ(*t->GetMarker(), QPoint(3000, 1000));
    EXPECT_EQ(doc.rectUpdates.size(), 3); // where it was, where it is

    t->DataToDevice(6, 25);
    EXPECT_FALSE(t->GetMarker());

    t->DataToDevice(4, 50);
    RecordingDC dc;
    t->DrawMarker(dc);
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("rop 10")));
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("pen 2 0 0x808000")));
    EXPECT_TRUE(dc.lines().contains(QStringLiteral("line 2000,4000 2000,2000")));

    // Far outside values do not overflow; a nan places no marker.
    t->DataToDevice(1e300, -1e300);
    EXPECT_EQ(*t->GetMarker(), QPoint(1000000000, -1000000000));
    t->DataToDevice(nan, 1);
    EXPECT_FALSE(t->GetMarker());
}

TEST_F(TraceFixture, ZoomSetsTheLimitsOfTheRectangleAndUnzoomRestores)
{
    MemTrace* t = memTrace({0, 10}, {0, 100});
    t->ComputeRect();
    // A band from x 2 to 6 and y 25 to 75.
    const Rect band{96 + 96, 600 - 96 - 288, 96 + 288, 600 - 96 - 96};
    EXPECT_FALSE(t->ZoomTo(band.offsetBy(-200, 0))); // partly outside the plot box
    EXPECT_FALSE(t->CanUnzoom());
    EXPECT_EQ(xAxis->end, 10);

    ASSERT_TRUE(t->ZoomTo(band));
    EXPECT_TRUE(t->CanUnzoom());
    EXPECT_NEAR(xAxis->start, 2, 0.01);
    EXPECT_NEAR(xAxis->end, 6, 0.01);
    EXPECT_NEAR(yAxis->start, 25, 0.1);
    EXPECT_NEAR(yAxis->end, 75, 0.1);
    EXPECT_FALSE(xAxis->autoRange);
    EXPECT_FALSE(t->HasPoints());

    t->ComputePoints();
    t->ComputeRect();
    ASSERT_TRUE(t->ZoomTo(band)); // the second zoom is the one undone
    const double secondStart = xAxis->start;
    EXPECT_GT(secondStart, 2.5);
    t->Unzoom();
    EXPECT_FALSE(t->CanUnzoom());
    EXPECT_NEAR(xAxis->start, 2, 0.01);
    EXPECT_NEAR(xAxis->end, 6, 0.01);
}

} // namespace
