#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace analysis {

// Coefficients of a linear least-squares fit (unit weights) and the sum of squared residuals
// over the fitted data.
struct LeastSquaresFit
{
    std::vector<double> coefficients;
    double chiSquare = 0.0;
};

enum class PowerSeries {
    WithConstant,   // 1, x, x^2, ...
    WithoutConstant // x, x^2, ...: the curve goes through the origin
};

// Fits y against the power series with `terms` basis functions by singular value decomposition;
// coefficients[k] belongs to the k-th basis function. The decomposition works on centred and
// scaled abscissas, where singular values below 1e-5 of the largest are dropped, so a singular
// or underdetermined design still gives finite coefficients. Uses the first min(x.size(),
// y.size()) points.
LeastSquaresFit fitPowerSeries(std::span<const double> x, std::span<const double> y,
                               std::size_t terms, PowerSeries form = PowerSeries::WithConstant);

// sqrt(a^2 + b^2) without overflow or underflow on the way.
double hypotenuse(double a, double b);

} // namespace analysis
