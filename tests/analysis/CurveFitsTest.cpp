// The four fit models on exact data, their logarithmic substitutes and the generated curve.

#include "analysis/CurveFits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace analysis;

namespace {

std::vector<double> sampled(const std::vector<double>& x, double (*f)(double))
{
    std::vector<double> y;
    for (const double value : x)
        y.push_back(f(value));
    return y;
}

} // namespace

TEST(CurveFits, ExactModelDataRecoverTheirParameters)
{
    const std::vector<double> x{0.5, 1, 1.5, 2, 3, 4.5};
    const auto power = fitPower(x, sampled(x, [](double v) { return 2 * v * v * v; }), 10, 10);
    EXPECT_NEAR(power.a, 2.0, 1e-9);
    EXPECT_NEAR(power.n, 3.0, 1e-9);
    EXPECT_NEAR(power.chiSquare, 0.0, 1e-12);
    EXPECT_NEAR(power(2.0), 16.0, 1e-8);

    const std::vector<double> xe{-2, -1, 0, 1, 2, 3};
    const auto exponential =
        fitExponential(xe, sampled(xe, [](double v) { return 0.5 * std::exp(-1.25 * v); }), 10);
    EXPECT_NEAR(exponential.a, 0.5, 1e-9);
    EXPECT_NEAR(exponential.b, -1.25, 1e-9);
    EXPECT_NEAR(exponential(1.0), 0.5 * std::exp(-1.25), 1e-9);

    const std::vector<double> xg{-1, 0, 0.5, 1, 1.5, 2, 3, 4};
    const auto gaussian = fitGaussian(
        xg, sampled(xg, [](double v) { return 4 * std::exp(-0.64 * (v - 1.2) * (v - 1.2)); }), 10);
    ASSERT_TRUE(gaussian.has_value());
    EXPECT_NEAR(gaussian->a, 4.0, 1e-9);
    EXPECT_NEAR(gaussian->bSquared, 0.64, 1e-9);
    EXPECT_NEAR(gaussian->xo, 1.2, 1e-9);
    EXPECT_NEAR(gaussian->chiSquare, 0.0, 1e-12);
    EXPECT_NEAR((*gaussian)(1.2), 4.0, 1e-9);

    const auto polynomial = fitPolynomial(x, sampled(x, [](double v) { return 3 * v * v; }), 2);
    ASSERT_EQ(polynomial.coefficients.size(), 3u);
    EXPECT_NEAR(polynomial.coefficients[2], 3.0, 1e-9);
    EXPECT_NEAR(polynomial(-2.0), 12.0, 1e-8);
}

TEST(CurveFits, GaussianOfStraightLogarithmsHasNoCentre)
{
    // ln y linear in x: b^2 = 0 would put the centre at infinity.
    const std::vector<double> x{0, 1, 2, 3};
    EXPECT_FALSE(fitGaussian(x, sampled(x, [](double v) { return std::exp(v); }), 10));
    EXPECT_FALSE(fitGaussian(x, sampled(x, [](double v) { return std::exp(-3 * v); }), 10));
}

TEST(CurveFits, PowerCurveBelowZeroUsesTheRoundedWholeExponent)
{
    const PowerFit fit{2.0, 2.6, 0.0};
    EXPECT_NEAR(fit(-2.0), 2.0 * -8.0, 1e-12);
    EXPECT_NEAR(fit(4.0), 2.0 * std::pow(4.0, 2.6), 1e-9);
    EXPECT_EQ(fit(0.0), 0.0);
    // -2.6 + 0.5 truncates toward zero to -2.
    EXPECT_NEAR((PowerFit{1.0, -2.6, 0.0})(-2.0), 0.25, 1e-12);
}

TEST(CurveFits, NonPositiveDataAreCountedAndZerosSubstituted)
{
    const std::vector<double> x{-1, 0, 1, 2};
    const std::vector<double> y{1, 1, -3, 0};
    EXPECT_EQ(pointsNeedingAbsoluteValues(x, y), 4u);
    EXPECT_EQ(pointsNeedingAbsoluteValues(std::vector<double>{1, 2}, std::vector<double>{3, 4}),
              0u);
    EXPECT_EQ(pointsNeedingAbsoluteValues(y), 2u);

    EXPECT_DOUBLE_EQ(logarithmOrSubstitute(-std::exp(2.0), 5), 2.0);
    EXPECT_DOUBLE_EQ(logarithmOrSubstitute(0.0, -100), std::log(1e-10));
    // An empty axis range must not turn a zero into -inf.
    EXPECT_TRUE(std::isfinite(logarithmOrSubstitute(0.0, 0.0)));

    // Absolute values make y = -2 x^3 fit like y = 2 x^3.
    const std::vector<double> px{1, 2, 3};
    const auto fit = fitPower(px, std::vector<double>{-2, -16, -54}, 10, 10);
    EXPECT_NEAR(fit.a, 2.0, 1e-9);
    EXPECT_NEAR(fit.n, 3.0, 1e-9);
}

TEST(CurveFits, EvenlySpacedSpansBothEnds)
{
    const auto sixty = evenlySpaced(-1.0, 2.0, 60);
    ASSERT_EQ(sixty.size(), 60u);
    EXPECT_EQ(sixty.front(), -1.0);
    EXPECT_DOUBLE_EQ(sixty.back(), 2.0);
    EXPECT_DOUBLE_EQ(sixty[1] - sixty[0], 3.0 / 59);
    EXPECT_EQ(evenlySpaced(3.0, 7.0, 1), std::vector<double>{3.0});
    EXPECT_TRUE(evenlySpaced(3.0, 7.0, 0).empty());
}
