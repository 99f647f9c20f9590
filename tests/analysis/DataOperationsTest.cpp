#include "analysis/DataOperations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace analysis;

namespace {

std::vector<double> range(int first, int last)
{
    std::vector<double> v;
    for (int i = first; i <= last; ++i)
        v.push_back(i);
    return v;
}

template <class F> std::vector<double> apply(const std::vector<double>& xs, F f)
{
    std::vector<double> ys;
    for (double x : xs)
        ys.push_back(f(x));
    return ys;
}

} // namespace

TEST(Interpolation, PolynomialsThroughNeighbours)
{
    const std::vector<double> xs = range(0, 10);
    const std::vector<double> squares = apply(xs, [](double x) { return x * x; });
    EXPECT_DOUBLE_EQ(interpolate(xs, squares, 2.5, 2), 6.25);
    // The window holds the points on both sides of x: order 1 is the straight line between
    // them, order 2 between the first two values takes the first three points (on y = x^3 the
    // parabola 3x^2 - 2x, -0.25 at 0.5), never points further off.
    EXPECT_DOUBLE_EQ(interpolate(xs, squares, 2.5, 1), 6.5);
    const std::vector<double> cubes = apply(xs, [](double x) { return x * x * x; });
    EXPECT_DOUBLE_EQ(interpolate(xs, cubes, 0.5, 2), -0.25);
    EXPECT_DOUBLE_EQ(interpolate(xs, cubes, 9.5, 3), 9.5 * 9.5 * 9.5);
    const std::vector<double> line = apply(xs, [](double x) { return 3 * x - 1; });
    for (double at : {-2.0, 0.5, 4.25, 9.75, 12.0})
        EXPECT_NEAR(interpolate(xs, line, at, 1), 3 * at - 1, 1e-12) << at;
    // A window larger than the data uses every point.
    EXPECT_DOUBLE_EQ(interpolate(range(1, 3), std::vector<double>{1, 4, 9}, 2.5, 10), 6.25);
    EXPECT_TRUE(std::isnan(interpolate(std::vector<double>{}, std::vector<double>{}, 1.0, 2)));
}

TEST(Interpolation, EqualAbscissasAreMergedNotDividedByZero)
{
    // (1,1), (1,3) become (1,2); the line through (1,2) and (2,4) gives 3 at 1.5.
    EXPECT_DOUBLE_EQ(neville(std::vector<double>{1, 1, 2}, std::vector<double>{1, 3, 4}, 1.5), 3.0);
    EXPECT_DOUBLE_EQ(neville(std::vector<double>{5, 5}, std::vector<double>{2, 4}, 7.0), 3.0);
}

TEST(Integration, TrapezoidsWithInterpolatedEnds)
{
    const std::vector<double> xs = range(0, 10);
    const std::vector<double> twos(xs.size(), 2.0);
    EXPECT_DOUBLE_EQ(integrate(xs, twos, 1, 9), 16.0);
    EXPECT_EQ(integrate(xs, twos, 9, 1), 0.0);
    EXPECT_EQ(integrate(xs, twos, 4, 4), 0.0);

    const std::vector<double> line = apply(xs, [](double x) { return 2 * x + 1; });
    const auto exact = [](double a, double b) { return (b * b + b) - (a * a + a); };
    EXPECT_DOUBLE_EQ(integrate(xs, line, 2, 7), exact(2, 7));
    EXPECT_DOUBLE_EQ(integrate(xs, line, 2.5, 7.25), exact(2.5, 7.25));
    // Both limits between the same two points, and both outside the data.
    EXPECT_DOUBLE_EQ(integrate(xs, line, 3.25, 3.75), exact(3.25, 3.75));
    EXPECT_DOUBLE_EQ(integrate(xs, line, 11, 12), exact(11, 12));

    // From the first point of curved data the first piece is the data's own trapezoid.
    const std::vector<double> roots = apply(xs, [](double x) { return std::sqrt(x); });
    double trapezoids = 0;
    for (int i = 0; i < 10; ++i)
        trapezoids += (roots[size_t(i)] + roots[size_t(i + 1)]) / 2;
    EXPECT_NEAR(integrate(xs, roots, 0, 10), trapezoids, 1e-12);
}

TEST(Smoothing, RunningMeanWithOneSidedEnds)
{
    const std::vector<double> ys{3, 1, 4, 1, 5, 9, 2, 6, 5, 3};
    const std::vector<double> out = movingAverage(ys, 3);
    ASSERT_EQ(out.size(), ys.size());
    EXPECT_DOUBLE_EQ(out[0], (3 + 1) / 2.0);
    for (size_t i = 1; i + 1 < ys.size(); ++i)
        EXPECT_DOUBLE_EQ(out[i], (ys[i - 1] + ys[i] + ys[i + 1]) / 3.0) << i;
    EXPECT_DOUBLE_EQ(out[9], (5 + 3) / 2.0);

    const std::vector<double> wide = movingAverage(range(0, 9), 5);
    EXPECT_DOUBLE_EQ(wide[0], 1.0); // 0..2
    EXPECT_DOUBLE_EQ(wide[1], 1.5); // 0..3
    EXPECT_DOUBLE_EQ(wide[8], 7.5); // 6..9
    EXPECT_DOUBLE_EQ(wide[9], 8.0); // 7..9

    EXPECT_TRUE(movingAverage(range(1, 9), 5).empty()); // fewer than twice the window
    EXPECT_TRUE(movingAverage(range(1, 9), 1).empty());
}

TEST(Smoothing, LongRunsKeepTheirDigits)
{
    // A large offset with small ripples: a plain running sum drifts after a million steps.
    std::vector<double> ys(1'000'000);
    for (size_t i = 0; i < ys.size(); ++i)
        ys[i] = 1e9 + (i % 2 ? 0.1 : -0.1);
    const std::vector<double> out = movingAverage(ys, 101);
    // Even points sit low: a window centred on one holds 51 of them and 50 odd ones.
    EXPECT_NEAR(out[ys.size() / 2] - 1e9, -0.1 / 101, 2e-7);
    EXPECT_NEAR(out[ys.size() - 51] - 1e9, 0.1 / 101, 2e-7);
}
