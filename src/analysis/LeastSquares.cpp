#include "analysis/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {

constexpr int maxIterations = 30;
constexpr double singularThreshold = 1e-5;

class Matrix
{
public:
    Matrix(std::size_t rows, std::size_t columns) : columns_(columns), values_(rows * columns, 0.0)
    {}
    double& operator()(std::size_t row, std::size_t column)
    {
        return values_[row * columns_ + column];
    }

private:
    std::size_t columns_;
    std::vector<double> values_;
};

// Golub-Reinsch: Householder reduction to bidiagonal form, then implicit-shift QR on the
// bidiagonal, giving A = U diag(w) V^T with w the singular values and v the square V. Needs
// m >= n. A least-squares solution needs U only as U^T b, so instead of U the left
// transformations are applied to b (m values), whose first n values end as U^T b; a is
// overwritten. A singular value that has not converged after maxIterations sweeps is used as
// it stands.
void decompose(Matrix& a, int m, int n, std::vector<double>& w, Matrix& v, std::vector<double>& b)
{
    std::vector<double> rv1(static_cast<std::size_t>(n), 0.0);
    const auto at = [](std::vector<double>& vec, int i) -> double& {
        return vec[static_cast<std::size_t>(i)];
    };
    const auto A = [&a](int r, int c) -> double& {
        return a(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
    };
    const auto V = [&v](int r, int c) -> double& {
        return v(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
    };

    double g = 0.0;
    double scale = 0.0;
    double anorm = 0.0;
    int l = 0;
    for (int i = 0; i < n; ++i) {
        l = i + 1;
        at(rv1, i) = scale * g;
        g = 0.0;
        scale = 0.0;
        double s = 0.0;
        for (int k = i; k < m; ++k)
            scale += std::fabs(A(k, i));
        if (scale != 0.0) {
            for (int k = i; k < m; ++k) {
                A(k, i) /= scale;
                s += A(k, i) * A(k, i);
            }
            const double f = A(i, i);
            g = -std::copysign(std::sqrt(s), f);
            const double h = f * g - s;
            A(i, i) = f - g;
            for (int j = l; j < n; ++j) {
                double sum = 0.0;
                for (int k = i; k < m; ++k)
                    sum += A(k, i) * A(k, j);
                const double factor = sum / h;
                for (int k = i; k < m; ++k)
                    A(k, j) += factor * A(k, i);
            }
            double sum = 0.0;
            for (int k = i; k < m; ++k)
                sum += A(k, i) * at(b, k);
            const double factor = sum / h;
            for (int k = i; k < m; ++k)
                at(b, k) += factor * A(k, i);
            for (int k = i; k < m; ++k)
                A(k, i) *= scale;
        }
        at(w, i) = scale * g;
        g = 0.0;
        scale = 0.0;
        s = 0.0;
        if (i != n - 1) {
            for (int k = l; k < n; ++k)
                scale += std::fabs(A(i, k));
            if (scale != 0.0) {
                for (int k = l; k < n; ++k) {
                    A(i, k) /= scale;
                    s += A(i, k) * A(i, k);
                }
                const double f = A(i, l);
                g = -std::copysign(std::sqrt(s), f);
                const double h = f * g - s;
                A(i, l) = f - g;
                for (int k = l; k < n; ++k)
                    at(rv1, k) = A(i, k) / h;
                for (int j = l; j < m; ++j) {
                    double sum = 0.0;
                    for (int k = l; k < n; ++k)
                        sum += A(j, k) * A(i, k);
                    for (int k = l; k < n; ++k)
                        A(j, k) += sum * at(rv1, k);
                }
                for (int k = l; k < n; ++k)
                    A(i, k) *= scale;
            }
        }
        anorm = std::max(anorm, std::fabs(at(w, i)) + std::fabs(at(rv1, i)));
    }

    for (int i = n - 1; i >= 0; --i) {
        if (i < n - 1) {
            if (g != 0.0) {
                // Dividing twice keeps a tiny A(i, l) * g from underflowing.
                for (int j = l; j < n; ++j)
                    V(j, i) = (A(i, j) / A(i, l)) / g;
                for (int j = l; j < n; ++j) {
                    double sum = 0.0;
                    for (int k = l; k < n; ++k)
                        sum += A(i, k) * V(k, j);
                    for (int k = l; k < n; ++k)
                        V(k, j) += sum * V(k, i);
                }
            }
            for (int j = l; j < n; ++j) {
                V(i, j) = 0.0;
                V(j, i) = 0.0;
            }
        }
        V(i, i) = 1.0;
        g = at(rv1, i);
        l = i;
    }

    const auto negligible = [anorm](double value) { return std::fabs(value) + anorm == anorm; };
    for (int k = n - 1; k >= 0; --k) {
        for (int iteration = 0;; ++iteration) {
            // Find the top l of the unreduced block ending at k; rv1[0] is always 0.
            bool cancel = true;
            int nm = 0;
            for (l = k; l >= 0; --l) {
                nm = l - 1;
                if (l == 0 || negligible(at(rv1, l))) {
                    cancel = false;
                    break;
                }
                if (negligible(at(w, nm)))
                    break;
            }
            if (cancel) {
                // w[nm] is negligible: chase rv1[l] out with Givens rotations.
                double c = 0.0;
                double s = 1.0;
                for (int i = l; i <= k; ++i) {
                    const double f = s * at(rv1, i);
                    at(rv1, i) = c * at(rv1, i);
                    if (negligible(f))
                        break;
                    g = at(w, i);
                    double h = hypotenuse(f, g);
                    at(w, i) = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    const double y = at(b, nm);
                    const double z = at(b, i);
                    at(b, nm) = y * c + z * s;
                    at(b, i) = z * c - y * s;
                }
            }
            double z = at(w, k);
            // Past the sweep limit the value reached is used, made non-negative like a
            // converged one.
            if (l == k || iteration == maxIterations) {
                if (z < 0.0) {
                    at(w, k) = -z;
                    for (int j = 0; j < n; ++j)
                        V(j, k) = -V(j, k);
                }
                break;
            }
            // Shift from the bottom 2 x 2 minor.
            double x = at(w, l);
            nm = k - 1;
            double y = at(w, nm);
            g = at(rv1, nm);
            double h = at(rv1, k);
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = hypotenuse(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + std::copysign(g, f))) - h)) / x;
            double c = 1.0;
            double s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = at(rv1, i);
                y = at(w, i);
                h = s * g;
                g = c * g;
                z = hypotenuse(f, h);
                at(rv1, j) = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = 0; jj < n; ++jj) {
                    const double vx = V(jj, j);
                    const double vz = V(jj, i);
                    V(jj, j) = vx * c + vz * s;
                    V(jj, i) = vz * c - vx * s;
                }
                z = hypotenuse(f, h);
                at(w, j) = z;
                if (z != 0.0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                const double by = at(b, j);
                const double bz = at(b, i);
                at(b, j) = by * c + bz * s;
                at(b, i) = bz * c - by * s;
            }
            at(rv1, l) = 0.0;
            at(rv1, k) = f;
            at(w, k) = x;
        }
    }
}

// Rows go through the triangular factor in blocks small enough to stay in cache.
constexpr std::size_t blockRows = 256;

// Folds a block of design rows into the upper triangular R (n x n, row-major) by Householder
// reflections, [R; rows] = Q [R'; 0], carrying qtb = Q^T b along. The block is stored by
// columns, `stride` values apart, with `count` rows in use; it is overwritten.
void foldRows(std::vector<double>& r, std::vector<double>& qtb, std::vector<double>& block,
              std::vector<double>& rhs, std::size_t count, std::size_t stride, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const double* vi = &block[i * stride];
        double sigma = 0.0;
        for (std::size_t k = 0; k < count; ++k)
            sigma += vi[k] * vi[k];
        if (sigma == 0.0)
            continue;
        const double alpha = r[i * n + i];
        const double beta = -std::copysign(std::sqrt(alpha * alpha + sigma), alpha);
        // The reflection is I + v v^T / (beta v0) with v = (v0 at row i, then the block column).
        const double v0 = alpha - beta;
        const double denominator = beta * v0;
        const auto reflect = [&](double& top, double* column) {
            double sum = v0 * top;
            for (std::size_t k = 0; k < count; ++k)
                sum += vi[k] * column[k];
            const double factor = sum / denominator;
            top += factor * v0;
            for (std::size_t k = 0; k < count; ++k)
                column[k] += factor * vi[k];
        };
        for (std::size_t j = i + 1; j < n; ++j)
            reflect(r[i * n + j], &block[j * stride]);
        reflect(qtb[i], rhs.data());
        r[i * n + i] = beta;
    }
}

// A double-double number hi + lo, so that the cancellations of the change of basis add no
// rounding errors of their own.
struct Wide
{
    double hi = 0.0;
    double lo = 0.0;
};

Wide sum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

Wide normalised(double hi, double lo)
{
    const double s = hi + lo;
    return {s, lo - (s - hi)};
}

Wide operator+(Wide a, Wide b)
{
    const Wide s = sum(a.hi, b.hi);
    return normalised(s.hi, s.lo + a.lo + b.lo);
}

Wide operator*(Wide a, double b)
{
    const double p = a.hi * b;
    return normalised(p, std::fma(a.hi, b, -p) + a.lo * b);
}

// Coefficients of q(x - centre) in powers of x, given those of q(u) in powers of u, by
// Horner's scheme: q = (...(e[n-1] u + e[n-2]) u + ...) u + e[0], each step a multiplication
// by x - centre.
std::vector<double> shiftedToPowersOfX(const std::vector<double>& e, double centre)
{
    const std::size_t n = e.size();
    std::vector<Wide> q(n);
    q[0].hi = e[n - 1];
    for (std::size_t step = 1; step < n; ++step) {
        for (std::size_t k = step; k > 0; --k)
            q[k] = q[k - 1] + q[k] * -centre;
        q[0] = q[0] * -centre + Wide{e[n - 1 - step], 0.0};
    }
    std::vector<double> c(n);
    for (std::size_t k = 0; k < n; ++k)
        c[k] = q[k].hi + q[k].lo;
    return c;
}

} // namespace

double hypotenuse(double a, double b)
{
    const double absA = std::fabs(a);
    const double absB = std::fabs(b);
    if (absA > absB) {
        const double ratio = absB / absA;
        return absA * std::sqrt(1.0 + ratio * ratio);
    }
    if (absB == 0.0)
        return 0.0;
    const double ratio = absA / absB;
    return absB * std::sqrt(1.0 + ratio * ratio);
}

LeastSquaresFit fitPowerSeries(std::span<const double> x, std::span<const double> y,
                               std::size_t terms, PowerSeries form)
{
    LeastSquaresFit fit;
    if (terms == 0)
        return fit;
    fit.coefficients.assign(terms, 0.0);
    const std::size_t points = std::min(x.size(), y.size());
    const bool withConstant = form == PowerSeries::WithConstant;
    const int firstPower = withConstant ? 0 : 1;

    // Powers of raw abscissas make columns of wildly different size and nearly parallel
    // (x = 0 ... 1000 gives singular values 1e-6 apart), so that the cutoff below would drop
    // real terms. Instead the fit runs in powers of t = (x - centre) / 2^exponent with t
    // in [-1, 1], and the design columns are brought near unit length. Powers of two keep that
    // scaling exact. Without a constant term there is nothing to absorb a shift, so x is only
    // scaled.
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (std::size_t i = 0; i < points; ++i) {
        low = std::min(low, x[i]);
        high = std::max(high, x[i]);
    }
    double centre = 0.0;
    double reach = std::max(std::fabs(low), std::fabs(high));
    if (withConstant) {
        centre = low / 2 + high / 2;
        reach = high / 2 - low / 2;
    }
    int exponent = 0;
    if (reach > 0.0 && std::isfinite(reach) && std::frexp(reach, &exponent) == 0.5)
        --exponent;
    if (!std::isfinite(centre))
        centre = 0.0;
    const double toT = std::ldexp(1.0, -exponent);

    // A coefficient in powers of x is that in powers of t times 2^(-exponent * power), and
    // summing powers of x magnifies rounding errors up to (1 + 2 |centre| / reach)^k times
    // against the t^k term, a lot when the abscissas sit far from zero compared with their
    // spread. Terms that the power basis of x cannot carry, with the factor beyond double range
    // or errors magnified more than 2^40 times, are left out with coefficient 0.
    double highestPower = std::numeric_limits<double>::infinity();
    if (exponent < 0)
        highestPower = 960.0 / -exponent;
    const double magnification =
        reach > 0.0 ? std::log2(1.0 + 2.0 * std::fabs(centre) / reach) : 0.0;
    if (magnification > 0.0)
        highestPower = std::min(highestPower, 40.0 / magnification);
    std::size_t n = terms;
    if (highestPower < static_cast<double>(terms - 1 + firstPower))
        n = static_cast<std::size_t>(std::max(0.0, std::floor(highestPower) + 1 - firstPower));
    if (n == 0)
        return fit;

    // Only the triangular factor of the design and Q^T y are kept, so the rows are never
    // stored.
    std::vector<double> r(n * n, 0.0);
    std::vector<double> qtb(n, 0.0);
    const std::size_t stride = std::max(blockRows, 4 * n);
    std::vector<double> block(stride * n);
    std::vector<double> rhs(stride);
    for (std::size_t start = 0; start < points; start += stride) {
        const std::size_t count = std::min(stride, points - start);
        for (std::size_t k = 0; k < count; ++k) {
            const double t = (x[start + k] - centre) * toT;
            double power = withConstant ? 1.0 : t;
            for (std::size_t j = 0; j < n; ++j) {
                block[j * stride + k] = power;
                power *= t;
            }
            rhs[k] = y[start + k];
        }
        foldRows(r, qtb, block, rhs, count, stride, n);
    }

    std::vector<double> columnScale(n, 1.0);
    for (std::size_t j = 0; j < n; ++j) {
        double squares = 0.0;
        for (std::size_t k = 0; k <= j; ++k)
            squares += r[k * n + j] * r[k * n + j];
        int scaleExponent = 0;
        if (squares > 0.0 && std::isfinite(squares)) {
            std::frexp(std::sqrt(squares), &scaleExponent);
            columnScale[j] = std::ldexp(1.0, -scaleExponent);
        }
    }
    Matrix a(n, n);
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t j = k; j < n; ++j)
            a(k, j) = r[k * n + j] * columnScale[j];

    const int size = static_cast<int>(n);
    std::vector<double> w(n, 0.0);
    Matrix v(n, n);
    decompose(a, size, size, w, v, qtb);

    const double wMax = *std::max_element(w.begin(), w.end());
    for (double& value : w)
        if (value < singularThreshold * wMax)
            value = 0.0;

    std::vector<double> t(n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        if (w[j] != 0.0)
            t[j] = qtb[j] / w[j];
    std::vector<double> inPowersOfU(n);
    for (std::size_t j = 0; j < n; ++j) {
        double sum = 0.0;
        for (std::size_t k = 0; k < n; ++k)
            sum += v(j, k) * t[k];
        inPowersOfU[j] =
            std::ldexp(sum * columnScale[j], -exponent * (static_cast<int>(j) + firstPower));
    }
    const std::vector<double> c =
        withConstant ? shiftedToPowersOfX(inPowersOfU, centre) : inPowersOfU;
    std::copy(c.begin(), c.end(), fit.coefficients.begin());

    for (std::size_t i = 0; i < points; ++i) {
        double model = 0.0;
        double power = withConstant ? 1.0 : x[i];
        for (const double coefficient : fit.coefficients) {
            if (coefficient != 0.0)
                model += coefficient * power;
            power *= x[i];
        }
        const double residual = y[i] - model;
        fit.chiSquare += residual * residual;
    }
    return fit;
}

} // namespace analysis
