#include "analysis/CurveFits.h"

#include "analysis/LeastSquares.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

std::vector<double> logarithms(std::span<const double> values, double axisWidth)
{
    std::vector<double> result;
    result.reserve(values.size());
    for (const double value : values)
        result.push_back(logarithmOrSubstitute(value, axisWidth));
    return result;
}

} // namespace

double PolynomialFit::operator()(double x) const
{
    double sum = 0.0;
    double power = 1.0;
    for (const double c : coefficients) {
        // A term left out of the fit adds nothing, even where its power has overflowed.
        if (c != 0.0)
            sum += c * power;
        power *= x;
    }
    return sum;
}

double PowerFit::operator()(double x) const
{
    if (x >= 0.0)
        return a * std::pow(x, n);
    return a * std::pow(x, std::trunc(n + 0.5));
}

double ExponentialFit::operator()(double x) const
{
    return a * std::exp(b * x);
}

double GaussianFit::operator()(double x) const
{
    return a * std::exp(-std::pow(x - xo, 2.0) * bSquared);
}

double logarithmOrSubstitute(double value, double axisWidth)
{
    if (value != 0.0)
        return std::log(std::fabs(value));
    // A collapsed or broken axis range would give ln(0); a unit width keeps the fit finite.
    double width = std::fabs(axisWidth);
    if (!(width > 0.0) || !std::isfinite(width))
        width = 1.0;
    return std::log(1e-12 * width);
}

std::size_t pointsNeedingAbsoluteValues(std::span<const double> x, std::span<const double> y)
{
    const std::size_t points = std::min(x.size(), y.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < points; ++i)
        if (x[i] <= 0.0 || y[i] <= 0.0)
            ++count;
    return count;
}

std::size_t pointsNeedingAbsoluteValues(std::span<const double> y)
{
    return static_cast<std::size_t>(
        std::count_if(y.begin(), y.end(), [](double value) { return value <= 0.0; }));
}

PolynomialFit fitPolynomial(std::span<const double> x, std::span<const double> y, std::size_t order)
{
    LeastSquaresFit fit = fitPowerSeries(x, y, order + 1);
    return {std::move(fit.coefficients), fit.chiSquare};
}

PowerFit fitPower(std::span<const double> x, std::span<const double> y, double xAxisWidth,
                  double yAxisWidth)
{
    const LeastSquaresFit fit =
        fitPowerSeries(logarithms(x, xAxisWidth), logarithms(y, yAxisWidth), 2);
    return {std::exp(fit.coefficients[0]), fit.coefficients[1], fit.chiSquare};
}

ExponentialFit fitExponential(std::span<const double> x, std::span<const double> y,
                              double yAxisWidth)
{
    const LeastSquaresFit fit = fitPowerSeries(x, logarithms(y, yAxisWidth), 2);
    return {std::exp(fit.coefficients[0]), fit.coefficients[1], fit.chiSquare};
}

std::optional<GaussianFit> fitGaussian(std::span<const double> x, std::span<const double> y,
                                       double yAxisWidth)
{
    const LeastSquaresFit fit = fitPowerSeries(x, logarithms(y, yAxisWidth), 3);
    GaussianFit gaussian;
    gaussian.bSquared = -fit.coefficients[2];
    if (gaussian.bSquared == 0.0 || !std::isfinite(gaussian.bSquared))
        return std::nullopt;
    gaussian.xo = fit.coefficients[1] / (2.0 * gaussian.bSquared);
    gaussian.a = std::exp(gaussian.xo * gaussian.xo * gaussian.bSquared + fit.coefficients[0]);
    gaussian.chiSquare = fit.chiSquare;
    // A rounding-sized b^2 throws the centre out so far that a overflows.
    if (!std::isfinite(gaussian.xo) || !std::isfinite(gaussian.a) || gaussian.a == 0.0)
        return std::nullopt;
    return gaussian;
}

std::vector<double> evenlySpaced(double start, double end, std::size_t count)
{
    std::vector<double> result;
    result.reserve(count);
    if (count == 1)
        result.push_back(start);
    for (std::size_t i = 0; count > 1 && i < count; ++i)
        result.push_back(start +
                         static_cast<double>(i) * (end - start) / static_cast<double>(count - 1));
    return result;
}

} // namespace analysis
