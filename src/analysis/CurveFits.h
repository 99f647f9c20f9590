#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The models of the Fit menu on top of the least-squares engine. The power, exponential and
// Gaussian models are fitted to natural logarithms of the data, so their chi-square is that of
// the logarithmic fit.
namespace analysis {

struct PolynomialFit
{
    std::vector<double> coefficients; // coefficients[k] multiplies x^k
    double chiSquare = 0.0;

    double operator()(double x) const;
};

struct PowerFit // y = a x^n
{
    double a = 0.0;
    double n = 0.0;
    double chiSquare = 0.0;

    // Below zero x is raised to n rounded to a whole number, so the curve stays real.
    double operator()(double x) const;
};

struct ExponentialFit // y = a exp(b x)
{
    double a = 0.0;
    double b = 0.0;
    double chiSquare = 0.0;

    double operator()(double x) const;
};

struct GaussianFit // y = a exp(-b^2 (x - xo)^2)
{
    double a = 0.0;
    double bSquared = 0.0;
    double xo = 0.0;
    double chiSquare = 0.0;

    double operator()(double x) const;
};

PolynomialFit fitPolynomial(std::span<const double> x, std::span<const double> y,
                            std::size_t order);

// The axis widths stand in for zeros, whose logarithm is taken as ln(1e-12 * width): the upper
// minus the lower limit of the trace's X and Y axes.
PowerFit fitPower(std::span<const double> x, std::span<const double> y, double xAxisWidth,
                  double yAxisWidth);
ExponentialFit fitExponential(std::span<const double> x, std::span<const double> y,
                              double yAxisWidth);
// Empty when the logarithms lie on a straight line (b^2 = 0 up to rounding): such data have no
// centre, and the parameters would be infinite.
std::optional<GaussianFit> fitGaussian(std::span<const double> x, std::span<const double> y,
                                       double yAxisWidth);

// ln|value|, with ln(1e-12 * |axisWidth|) for an exact zero.
double logarithmOrSubstitute(double value, double axisWidth);

// Points the logarithmic models can fit only through absolute values: for the power model
// those with x <= 0 or y <= 0, for the others those with y <= 0.
std::size_t pointsNeedingAbsoluteValues(std::span<const double> x, std::span<const double> y);
std::size_t pointsNeedingAbsoluteValues(std::span<const double> y);

// count abscissas from start to end inclusive in equal steps; a single one sits at start.
std::vector<double> evenlySpaced(double start, double end, std::size_t count);

} // namespace analysis
