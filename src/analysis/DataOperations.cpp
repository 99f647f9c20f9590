#include "analysis/DataOperations.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {

// A running sum that stays exact to the last digits over millions of additions and
// subtractions (Neumaier's compensated summation).
class RunningSum
{
public:
    void add(double value)
    {
        const double t = sum_ + value;
        if (std::fabs(sum_) >= std::fabs(value))
            compensation_ += (sum_ - t) + value;
        else
            compensation_ += (value - t) + sum_;
        sum_ = t;
    }
    double value() const { return sum_ + compensation_; }

private:
    double sum_ = 0.0;
    double compensation_ = 0.0;
};

} // namespace

std::size_t locateRank(std::span<const double> sortedX, double at)
{
    const auto below = std::lower_bound(sortedX.begin(), sortedX.end(), at);
    const auto count = static_cast<std::size_t>(below - sortedX.begin());
    return count == 0 ? 0 : count - 1;
}

std::size_t windowStart(std::span<const double> sortedX, double at, std::size_t count)
{
    const std::size_t n = sortedX.size();
    count = std::min(count, n);
    if (count == 0)
        return 0;
    const auto j = static_cast<std::ptrdiff_t>(locateRank(sortedX, at));
    const auto c = static_cast<std::ptrdiff_t>(count);
    const std::ptrdiff_t start =
        std::min(j - std::max<std::ptrdiff_t>(c - 2, 0) / 2, static_cast<std::ptrdiff_t>(n) - c);
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(start, 0));
}

double neville(std::span<const double> xs, std::span<const double> ys, double at)
{
    const std::size_t given = std::min(xs.size(), ys.size());
    // Merge equal abscissas: their divided difference does not exist.
    std::vector<double> xa, ya;
    std::vector<int> counts;
    for (std::size_t i = 0; i < given; ++i) {
        const auto same = std::find(xa.begin(), xa.end(), xs[i]);
        if (same == xa.end()) {
            xa.push_back(xs[i]);
            ya.push_back(ys[i]);
            counts.push_back(1);
        } else {
            const auto k = static_cast<std::size_t>(same - xa.begin());
            ya[k] += ys[i];
            ++counts[k];
        }
    }
    const std::size_t m = xa.size();
    if (m == 0)
        return std::numeric_limits<double>::quiet_NaN();
    for (std::size_t k = 0; k < m; ++k)
        ya[k] /= counts[k];

    std::size_t nearest = 0;
    for (std::size_t i = 1; i < m; ++i)
        if (std::fabs(at - xa[i]) < std::fabs(at - xa[nearest]))
            nearest = i;
    std::vector<double> c = ya, d = ya;
    double y = ya[nearest];
    // ns counts 1-based as the scheme is usually written: the column entry to follow next.
    auto ns = static_cast<std::ptrdiff_t>(nearest);
    for (std::size_t level = 1; level < m; ++level) {
        for (std::size_t i = 0; i < m - level; ++i) {
            const double ho = xa[i] - at;
            const double hp = xa[i + level] - at;
            const double den = (c[i + 1] - d[i]) / (ho - hp);
            d[i] = hp * den;
            c[i] = ho * den;
        }
        double dy;
        if (2 * ns < static_cast<std::ptrdiff_t>(m - level)) {
            dy = c[static_cast<std::size_t>(ns)];
        } else {
            --ns;
            dy = d[static_cast<std::size_t>(ns)];
        }
        y += dy;
    }
    return y;
}

double interpolate(std::span<const double> sortedX, std::span<const double> sortedY, double at,
                   int order)
{
    const std::size_t n = std::min(sortedX.size(), sortedY.size());
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(order, 1)) + 1, n);
    const std::size_t start = windowStart(sortedX.first(n), at, count);
    return neville(sortedX.subspan(start, count), sortedY.subspan(start, count), at);
}

double integrate(std::span<const double> sortedX, std::span<const double> sortedY, double x1,
                 double x2)
{
    const std::size_t n = std::min(sortedX.size(), sortedY.size());
    if (!(x2 > x1) || n < 2)
        return 0.0;
    const auto xs = sortedX.first(n);
    const auto ys = sortedY.first(n);
    // first: the first point at or above x1; last: the last point below x2.
    const auto first =
        static_cast<std::ptrdiff_t>(std::lower_bound(xs.begin(), xs.end(), x1) - xs.begin());
    const auto last =
        static_cast<std::ptrdiff_t>(std::lower_bound(xs.begin(), xs.end(), x2) - xs.begin()) - 1;
    const double y1 = interpolate(xs, ys, x1, 2);
    const double y2 = interpolate(xs, ys, x2, 2);
    if (first > last)
        return (y1 + y2) * (x2 - x1) / 2.0;
    const auto at = [](std::span<const double> v, std::ptrdiff_t i) {
        return v[static_cast<std::size_t>(i)];
    };
    double area = (y2 + at(ys, last)) * (x2 - at(xs, last)) / 2.0;
    area += (y1 + at(ys, first)) * (at(xs, first) - x1) / 2.0;
    for (std::ptrdiff_t i = first; i < last; ++i)
        area += (at(ys, i) + at(ys, i + 1)) * (at(xs, i + 1) - at(xs, i)) / 2.0;
    return area;
}

std::vector<double> movingAverage(std::span<const double> ys, std::size_t window)
{
    const std::size_t n = ys.size();
    const std::size_t w = window;
    if (w < 3 || n < 2 * w)
        return {};
    const std::size_t h = w / 2;
    std::vector<double> out(n);
    RunningSum sum;
    for (std::size_t i = 0; i <= h; ++i)
        sum.add(ys[i]);
    out[0] = sum.value() / static_cast<double>(h + 1);
    for (std::size_t i = h + 1; i < w; ++i) {
        sum.add(ys[i]);
        out[i - h] = sum.value() / static_cast<double>(i + 1);
    }
    for (std::size_t i = w; i < n; ++i) {
        sum.add(ys[i]);
        sum.add(-ys[i - w]);
        out[i - h] = sum.value() / static_cast<double>(w);
    }
    for (std::size_t i = n; i < n + h; ++i) {
        sum.add(-ys[i - w]);
        out[i - h] = sum.value() / static_cast<double>(w + n - i - 1);
    }
    return out;
}

} // namespace analysis
