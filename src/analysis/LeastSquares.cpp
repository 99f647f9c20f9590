#include "analysis/LeastSquares.h"

#include <algorithm>
#include <cmath>

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
// bidiagonal. On return a holds U (m x n), w the singular values and v the square V, with
// A = U diag(w) V^T. Needs m >= n. A singular value that has not converged after
// maxIterations sweeps is used as it stands.
void decompose(Matrix& a, int m, int n, std::vector<double>& w, Matrix& v)
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

    for (int i = n - 1; i >= 0; --i) {
        l = i + 1;
        g = at(w, i);
        for (int j = l; j < n; ++j)
            A(i, j) = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j < n; ++j) {
                double sum = 0.0;
                for (int k = l; k < m; ++k)
                    sum += A(k, i) * A(k, j);
                const double f = (sum / A(i, i)) * g;
                for (int k = i; k < m; ++k)
                    A(k, j) += f * A(k, i);
            }
            for (int j = i; j < m; ++j)
                A(j, i) *= g;
        } else {
            for (int j = i; j < m; ++j)
                A(j, i) = 0.0;
        }
        A(i, i) += 1.0;
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
                    for (int j = 0; j < m; ++j) {
                        const double y = A(j, nm);
                        const double z = A(j, i);
                        A(j, nm) = y * c + z * s;
                        A(j, i) = z * c - y * s;
                    }
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
                for (int jj = 0; jj < m; ++jj) {
                    const double ay = A(jj, j);
                    const double az = A(jj, i);
                    A(jj, j) = ay * c + az * s;
                    A(jj, i) = az * c - ay * s;
                }
            }
            at(rv1, l) = 0.0;
            at(rv1, k) = f;
            at(w, k) = x;
        }
    }
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
                               std::size_t terms)
{
    LeastSquaresFit fit;
    if (terms == 0)
        return fit;
    const std::size_t points = std::min(x.size(), y.size());
    // Zero rows change no least-squares solution and give the decomposition the m >= n it
    // needs when there are fewer points than terms.
    const std::size_t rows = std::max(points, terms);
    Matrix design(rows, terms);
    for (std::size_t i = 0; i < points; ++i) {
        double power = 1.0;
        for (std::size_t j = 0; j < terms; ++j) {
            design(i, j) = power;
            power *= x[i];
        }
    }
    const int m = static_cast<int>(rows);
    const int n = static_cast<int>(terms);
    std::vector<double> w(terms, 0.0);
    Matrix v(terms, terms);
    decompose(design, m, n, w, v);

    const double wMax = *std::max_element(w.begin(), w.end());
    for (double& value : w)
        if (value < singularThreshold * wMax)
            value = 0.0;

    std::vector<double> t(terms, 0.0);
    for (std::size_t j = 0; j < terms; ++j) {
        if (w[j] == 0.0)
            continue;
        double sum = 0.0;
        for (std::size_t i = 0; i < points; ++i)
            sum += design(i, j) * y[i];
        t[j] = sum / w[j];
    }
    fit.coefficients.assign(terms, 0.0);
    for (std::size_t j = 0; j < terms; ++j) {
        double sum = 0.0;
        for (std::size_t k = 0; k < terms; ++k)
            sum += v(j, k) * t[k];
        fit.coefficients[j] = sum;
    }

    for (std::size_t i = 0; i < points; ++i) {
        double model = 0.0;
        double power = 1.0;
        for (const double c : fit.coefficients) {
            model += c * power;
            power *= x[i];
        }
        const double residual = y[i] - model;
        fit.chiSquare += residual * residual;
    }
    return fit;
}

} // namespace analysis
