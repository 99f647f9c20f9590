// Column operations: extremes, sorted order, rank search, windows and ranges.

#include "data/DataColumn.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

DataColumn columnOf(const std::vector<double>& values)
{
    return DataColumn(values.data(), int(values.size()));
}

struct ExtremesCase
{
    const char* name;
    std::vector<double> values;
    double min;
    int minPosition;
    double max;
    int maxPosition;
};

void PrintTo(const ExtremesCase& c, std::ostream* os)
{
    *os << c.name;
}

class Extremes : public ::testing::TestWithParam<ExtremesCase>
{};

TEST_P(Extremes, FirstOfEqualExtremesWins)
{
    const ExtremesCase& c = GetParam();
    const DataColumn column = columnOf(c.values);
    EXPECT_EQ(column.GetMin(), c.min);
    EXPECT_EQ(column.GetMinPosition(), c.minPosition);
    EXPECT_EQ(column.GetMax(), c.max);
    EXPECT_EQ(column.GetMaxPosition(), c.maxPosition);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, Extremes,
    ::testing::Values(ExtremesCase{"TiedMaximum", {3, 7, 7, 1}, 1, 3, 7, 1},
                      ExtremesCase{"TiedMinimum", {2, 1, 1}, 1, 1, 2, 0},
                      ExtremesCase{"Single", {-4}, -4, 0, -4, 0},
                      ExtremesCase{"Empty", {}, inf, 0, inf, 0},
                      ExtremesCase{"NonFiniteLeftOut", {nan, 2, inf, -1, -inf}, -1, 3, 2, 1},
                      ExtremesCase{"NothingFinite", {nan, inf}, inf, 0, inf, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataColumn, ChangesRefreshExtremesAndOrder)
{
    DataColumn column = columnOf({3, 7, 1});
    EXPECT_EQ(column.GetMax(), 7);
    EXPECT_EQ(column.LocateRank(5), 1);

    column.SetAt(0, 9.0);
    EXPECT_EQ(column.GetMax(), 9);
    EXPECT_EQ(column.GetMaxPosition(), 0);
    EXPECT_EQ(column.LocateRank(8), 1);

    const double more[] = {-5, 20};
    column.InsertAt(1, more, 2); // 9 -5 20 7 1
    EXPECT_EQ(column.GetMin(), -5);
    EXPECT_EQ(column.GetMinPosition(), 1);
    EXPECT_EQ(column.GetMax(), 20);
    EXPECT_EQ(column.GetRanked(4), 20);

    ASSERT_NE(column.SetSize(2), 0); // 9 -5
    EXPECT_EQ(column.GetMax(), 9);
    int position = -2;
    EXPECT_EQ(column.GetRanked(1, &position), 9);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(column.GetRanked(2, &position), 0.0);
    EXPECT_EQ(position, -1);
}

TEST(DataColumn, NewColumns)
{
    DataColumn zeros(3, 4);
    EXPECT_EQ(zeros.GetSize(), 3);
    EXPECT_EQ(zeros.GetColumnNumber(), 4);
    EXPECT_EQ(zeros.GetMin(), 0.0);
    EXPECT_EQ(zeros.GetMax(), 0.0);
    const DataColumn copied = columnOf({1, 2});
    EXPECT_EQ(copied.GetColumnNumber(), 0);
    EXPECT_EQ(copied.GetMax(), 2);
    EXPECT_EQ(DataColumn(6).GetSize(), 0);
}

TEST(DataColumn, SortIndexIsOneBasedAndStable)
{
    const DataColumn column = columnOf({2, nan, 1, inf, 2, -inf});
    const int32_t* index = column.GetSortIndex();
    const std::vector<int32_t> order(index, index + column.GetSize());
    EXPECT_EQ(order, (std::vector<int32_t>{6, 3, 1, 5, 4, 2}));
}

// Rank search and the selections built on it, over small columns with ties and reversed data.
struct RankCase
{
    const char* name;
    std::vector<double> values;
    double x;
    int rank;                         // LocateRank(x)
    int windowCount;                  // GetWindow(x, windowCount)
    std::vector<int> windowPositions; // 0-based rows, ascending values
    double rangeEnd;                  // GetRange(x, rangeEnd)
    std::vector<int> rangePositions;
};

void PrintTo(const RankCase& c, std::ostream* os)
{
    *os << c.name;
}

class Ranks : public ::testing::TestWithParam<RankCase>
{};

TEST_P(Ranks, LocateWindowRange)
{
    const RankCase& c = GetParam();
    const DataColumn column = columnOf(c.values);
    EXPECT_EQ(column.LocateRank(c.x), c.rank);

    const DataColumn::Selection window = column.GetWindow(c.x, c.windowCount);
    EXPECT_EQ(window.positions, c.windowPositions);
    EXPECT_EQ(window.values, column.GetValuesAt(window.positions));

    const DataColumn::Selection range = column.GetRange(c.x, c.rangeEnd);
    EXPECT_EQ(range.positions, c.rangePositions);
    EXPECT_EQ(range.values, column.GetValuesAt(range.positions));
    EXPECT_TRUE(std::is_sorted(range.values.begin(), range.values.end()));
}

const std::vector<double> ramp = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

INSTANTIATE_TEST_SUITE_P(
    Columns, Ranks,
    ::testing::Values(
        // x between the first two values: the window of three starts at rank 2
        RankCase{"BelowSecond", ramp, 0.5, 0, 3, {2, 3, 4}, 2.5, {0, 1, 2}},
        // x just above rank k: a window of two is ranks k-1 and k
        RankCase{"PairAboveRank2", ramp, 2.5, 2, 2, {1, 2}, 6.5, {2, 3, 4, 5, 6}},
        RankCase{"SingleIsTheRank", ramp, 6.5, 6, 1, {6}, 100, {6, 7, 8, 9}},
        RankCase{"WindowAtTheTop", ramp, 9.5, 9, 3, {7, 8, 9}, 9.5, {9}},
        RankCase{"BelowEverything", ramp, -3, 0, 1, {0}, 0, {0}},
        RankCase{"EqualIsNotBelow", ramp, 4, 3, 1, {3}, 4, {3}},
        RankCase{"WindowWiderThanColumn", {3, 1, 2}, 2.5, 1, 7, {1, 2, 0}, 3, {2}},
        RankCase{"NoWindow", ramp, 5, 4, 0, {}, 5, {4}},
        RankCase{"ReversedEnds", {4, 3, 2}, 5, 2, 2, {1, 0}, 3.5, {}},
        RankCase{"Reversed", {5, 4, 3, 2, 1}, 3.5, 2, 2, {3, 2}, 1.5, {}},
        RankCase{"ReversedRange", {5, 4, 3, 2, 1}, 1.5, 0, 1, {4}, 4.5, {4, 3, 2, 1}},
        RankCase{"Ties", {2, 1, 2, 3, 2}, 2.5, 3, 2, {2, 4}, 3.5, {4, 3}},
        RankCase{"TiesAtX", {2, 1, 2, 3, 2}, 2, 0, 1, {1}, 2.5, {1, 0, 2, 4}},
        RankCase{"AllEqualAboveX", {7, 7, 7}, 6, 0, 1, {0}, 8, {0, 1, 2}},
        RankCase{"AllEqualBelowX", {7, 7, 7}, 8, 2, 1, {2}, 9, {2}},
        RankCase{"Empty", {}, 1, 0, 2, {}, 2, {}},
        RankCase{"NanSortsLast", {nan, 1, 2}, 1.5, 0, 1, {1}, 5, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DoubleArray, GetAtOutsideIsZero)
{
    const DataColumn column = columnOf({1, 2});
    EXPECT_EQ(column.GetAt(1), 2.0);
    EXPECT_EQ(column.GetAt(2), 0.0);
    EXPECT_EQ(column.GetAt(-1), 0.0);
    EXPECT_EQ(column.GetValuesAt(std::vector<int>{1, 5, -3, 0}), (std::vector<double>{2, 0, 0, 1}));
}

TEST(DoubleArray, SizeInsertAndOverwrite)
{
    DoubleArray a;
    EXPECT_EQ(a.SetSize(-1), 0);
    ASSERT_NE(a.SetSize(2), 0);
    a.SetAt(0, 1.0);
    a.SetAt(1, 2.0);
    ASSERT_NE(a.SetSize(4), 0);
    EXPECT_EQ(a.GetAt(3), 0.0); // grown space reads as zero

    const double mid[] = {8, 9};
    a.InsertAt(1, mid, 2); // 1 8 9 2 0 0
    a.InsertAt(8, mid, 1); // grows to the position first: ... 0 0 8
    const std::vector<double> got(a.GetData(), a.GetData() + a.GetSize());
    EXPECT_EQ(got, (std::vector<double>{1, 8, 9, 2, 0, 0, 0, 0, 8}));

    a.InsertAt(0, a); // from itself
    EXPECT_EQ(a.GetSize(), 18);
    EXPECT_EQ(a.GetAt(9), 1.0);
    a.InsertAt(0, a.GetData() + 1, 1);
    EXPECT_EQ(a.GetAt(0), 8.0);

    const double tail[] = {5, 6, 7};
    a.SetAt(a.GetSize() - 1, tail, 3); // what falls outside is dropped
    EXPECT_EQ(a.GetSize(), 19);
    EXPECT_EQ(a.GetAt(18), 5.0);
    a.SetAt(-1, tail, 3);
    a.SetAt(19, 1.0);
    EXPECT_EQ(a.GetSize(), 19);
}

} // namespace
