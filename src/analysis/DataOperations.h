#pragma once

#include <cstddef>
#include <span>
#include <vector>

// Interpolation, integration and smoothing of one data set. The data come as two arrays of
// equal length in ascending x (sortedX, sortedY), with finite values.
namespace analysis {

// The rank of the last x strictly below `at`, or 0 when none is below (also for no data).
std::size_t locateRank(std::span<const double> sortedX, double at);
// The first rank of the `count` neighbours used around `at`: the window holds the points on
// both sides of `at` (ranks j and j + 1 with j = locateRank) and as many more on each side as
// fit, so the polynomial interpolates rather than extrapolates; it is moved inwards at the ends
// of the data. Fewer points when there are fewer.
std::size_t windowStart(std::span<const double> sortedX, double at, std::size_t count);

// The value at `at` of the polynomial through the points, by Neville's scheme. Points that share
// an x value are first merged into one at the mean of their y values, so the scheme never
// divides by zero. NaN for no points.
double neville(std::span<const double> xs, std::span<const double> ys, double at);

// y at `at` from the polynomial of the given order (at least 1) through order + 1 neighbouring
// points, or through all points when there are fewer. NaN for no points.
double interpolate(std::span<const double> sortedX, std::span<const double> sortedY, double at,
                   int order);

// The area under the data from x1 to x2: trapezoids between the data points inside, and at each
// end a trapezoid to the limit whose height there is interpolated with order 2. When no data
// point lies between the limits, one trapezoid over the limits. 0 when x2 is not above x1 or
// there are fewer than two points.
double integrate(std::span<const double> sortedX, std::span<const double> sortedY, double x1,
                 double x2);

// The moving average over an odd window of w values: each value is the mean of the w values
// centred on it, and the w/2 values at each end average the part of the window that fits (from
// w/2 + 1 up to w - 1 values). Empty when there are fewer than 2w values or w is below 3.
std::vector<double> movingAverage(std::span<const double> ys, std::size_t window);

} // namespace analysis
