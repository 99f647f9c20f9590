// The least-squares engine on exact, degenerate and extreme data.

#include "analysis/LeastSquares.h"
#include "analysis/CurveFits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using analysis::fitPowerSeries;

namespace {

std::vector<double> range(double from, double step, int count)
{
    std::vector<double> values;
    for (int i = 0; i < count; ++i)
        values.push_back(from + step * i);
    return values;
}

void expectAllFinite(const analysis::LeastSquaresFit& fit)
{
    for (const double c : fit.coefficients)
        EXPECT_TRUE(std::isfinite(c)) << c;
    EXPECT_TRUE(std::isfinite(fit.chiSquare)) << fit.chiSquare;
}

} // namespace

struct PolynomialCase
{
    const char* name;
    std::vector<double> x;
    std::vector<double> coefficients; // exact data are generated from these
    std::size_t terms;
    std::vector<double> expected;
};

class ExactPolynomial : public testing::TestWithParam<PolynomialCase>
{};

TEST_P(ExactPolynomial, RecoversItsCoefficientsWithZeroChiSquare)
{
    const PolynomialCase& c = GetParam();
    std::vector<double> y;
    for (const double x : c.x) {
        double sum = 0.0;
        for (std::size_t k = 0; k < c.coefficients.size(); ++k)
            sum += c.coefficients[k] * std::pow(x, static_cast<double>(k));
        y.push_back(sum);
    }
    const auto fit = fitPowerSeries(c.x, y, c.terms);
    ASSERT_EQ(fit.coefficients.size(), c.terms);
    for (std::size_t k = 0; k < c.terms; ++k)
        EXPECT_NEAR(fit.coefficients[k], c.expected[k], 1e-9 * (1.0 + std::fabs(c.expected[k])))
            << "c[" << k << "]";
    EXPECT_NEAR(fit.chiSquare, 0.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, ExactPolynomial,
    testing::Values(
        PolynomialCase{"threeXSquared", range(0, 1, 11), {0, 0, 3}, 3, {0, 0, 3}},
        // Wide abscissas: the raw power series has singular values 1e-6 apart.
        PolynomialCase{"threeXSquaredToAThousand", range(0, 1, 1001), {0, 0, 3}, 3, {0, 0, 3}},
        PolynomialCase{"quinticToTwenty",
                       range(0, 1, 21),
                       {2, -1, 0.5, 0.25, -0.125, 0.0625},
                       6,
                       {2, -1, 0.5, 0.25, -0.125, 0.0625}},
        PolynomialCase{"constant", range(-2, 0.5, 9), {-4.25}, 1, {-4.25}},
        PolynomialCase{
            "cubicOnNegativeX", range(-3, 0.25, 25), {1, -2, 0.5, 0.125}, 4, {1, -2, 0.5, 0.125}},
        // More terms than the data need: the surplus coefficient comes out zero.
        PolynomialCase{"lineFittedAsQuadratic", range(1, 1, 6), {2, 5}, 3, {2, 5, 0}},
        // Exactly as many points as terms: the curve passes through all of them.
        PolynomialCase{"interpolatingQuadratic", {-1, 0, 2}, {1, 1, 1}, 3, {1, 1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LeastSquares, ScatteredPointsGiveTheNormalEquationsLine)
{
    // By hand: the line through (0,1), (1,3), (2,2) is y = 1.5 + 0.5x with residuals
    // -0.5, 1, -0.5.
    const std::vector<double> x{0, 1, 2};
    const std::vector<double> y{1, 3, 2};
    const auto fit = fitPowerSeries(x, y, 2);
    EXPECT_NEAR(fit.coefficients[0], 1.5, 1e-12);
    EXPECT_NEAR(fit.coefficients[1], 0.5, 1e-12);
    EXPECT_NEAR(fit.chiSquare, 1.5, 1e-12);
}

TEST(LeastSquares, SingularDesignsGiveFiniteCoefficients)
{
    // All x equal: the columns 1, x, x^2 are parallel and two singular values are dropped.
    const std::vector<double> x(5, 2.0);
    const std::vector<double> y{3, 3, 3, 3, 3};
    const auto equal = fitPowerSeries(x, y, 3);
    expectAllFinite(equal);
    EXPECT_NEAR(equal.coefficients[0] + 2 * equal.coefficients[1] + 4 * equal.coefficients[2], 3.0,
                1e-9);
    EXPECT_NEAR(equal.chiSquare, 0.0, 1e-12);

    // Fewer points than terms (an order 10 fit of 4 points) and the same at x = 0.
    const std::vector<double> fewX{0, 1, 2, 3};
    const std::vector<double> fewY{1, 2, 5, 10};
    const auto few = fitPowerSeries(fewX, fewY, 11);
    ASSERT_EQ(few.coefficients.size(), 11u);
    expectAllFinite(few);
    EXPECT_LT(few.chiSquare, 1e-6);
    expectAllFinite(fitPowerSeries(std::vector<double>(3, 0.0), fewY, 3));

    // A single point.
    const auto one = fitPowerSeries(std::vector<double>{2.5}, std::vector<double>{7}, 3);
    expectAllFinite(one);
    EXPECT_NEAR(one.coefficients[0] + 2.5 * one.coefficients[1] + 6.25 * one.coefficients[2], 7.0,
                1e-12);

    // All zero data and no data at all.
    const auto zero = fitPowerSeries(std::vector<double>(4, 0.0), std::vector<double>(4, 0.0), 2);
    expectAllFinite(zero);
    const auto none = fitPowerSeries({}, {}, 3);
    ASSERT_EQ(none.coefficients.size(), 3u);
    expectAllFinite(none);

    // A NaN never converges; the sweep limit still ends the decomposition.
    const std::vector<double> nanX{1, std::nan(""), 3, 4};
    EXPECT_EQ(fitPowerSeries(nanX, fewY, 3).coefficients.size(), 3u);
}

TEST(LeastSquares, HugeAndTinyMagnitudesDoNotOverflow)
{
    EXPECT_DOUBLE_EQ(analysis::hypotenuse(3e200, 4e200), 5e200);
    EXPECT_DOUBLE_EQ(analysis::hypotenuse(-3e-200, 4e-200), 5e-200);
    EXPECT_EQ(analysis::hypotenuse(0.0, 0.0), 0.0);

    // The squares of these abscissas are beyond double range.
    const std::vector<double> x{1e200, 2e200, 3e200, 4e200};
    const std::vector<double> y{2, 4, 6, 8};
    const auto huge = fitPowerSeries(x, y, 2);
    expectAllFinite(huge);
    EXPECT_NEAR(huge.coefficients[1] * 1e200, 2.0, 1e-9);

    const std::vector<double> tinyX{1e-200, 2e-200, 3e-200};
    const std::vector<double> tinyY{2e-200, 4e-200, 6e-200};
    const auto tiny = fitPowerSeries(tinyX, tinyY, 1);
    expectAllFinite(tiny);
    EXPECT_NEAR(tiny.coefficients[0] / 4e-200, 1.0, 1e-12);
}

TEST(LeastSquares, TermsThePowerBasisCannotCarryAreLeftOut)
{
    // Far from zero compared with their spread, high powers of x cancel beyond what a double
    // holds: the curve must still be no worse than the mean.
    std::vector<double> x;
    std::vector<double> y;
    double mean = 0.0;
    for (int i = 0; i < 300; ++i) {
        x.push_back(1e10 + i);
        y.push_back(std::sin(i * 0.1));
        mean += y.back() / 300;
    }
    double spread = 0.0;
    for (const double value : y)
        spread += (value - mean) * (value - mean);
    const auto far = fitPowerSeries(x, y, 41);
    expectAllFinite(far);
    EXPECT_LE(far.chiSquare, spread);
    // x^40 overflows there; the terms left out must not turn the curve into NaN.
    EXPECT_TRUE(std::isfinite(analysis::fitPolynomial(x, y, 40)(x[150])));

    // Over a narrow range the coefficients of high powers are beyond double range.
    for (int i = 0; i < 300; ++i)
        x[static_cast<std::size_t>(i)] = i * 1e-3 / 299;
    expectAllFinite(fitPowerSeries(x, y, 201));
}
