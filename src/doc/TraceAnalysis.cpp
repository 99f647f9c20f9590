#include "doc/TraceAnalysis.h"

#include "analysis/CurveFits.h"
#include "analysis/DataOperations.h"
#include "data/DataColumn.h"
#include "platform/NumberFormat.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "traces/MemTrace.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>

namespace TraceAnalysis {

namespace {

constexpr int reportWidth = 80;

QString g(double value)
{
    return NumberFormat::g(value, 6);
}

double axisWidth(const Axis* axis)
{
    return axis ? std::fabs(axis->end - axis->start) : 0.0;
}

// The logarithmic models fit the absolute values only when the user agrees.
bool absoluteValuesAccepted(std::size_t pointsNeedingThem)
{
    if (pointsNeedingThem == 0)
        return true;
    return Prompter::instance().question(loadString(Str::AskAbsoluteValues), QString(),
                                         Prompter::Buttons::YesNo,
                                         Prompter::Icon::Question) == Prompter::Answer::Yes;
}

template <class Model>
std::vector<double> evaluate(const Model& model, const std::vector<double>& xs)
{
    std::vector<double> ys;
    ys.reserve(xs.size());
    for (double x : xs)
        ys.push_back(model(x));
    return ys;
}

std::unique_ptr<MemTrace> makeTrace(const std::vector<double>& xs, const std::vector<double>& ys,
                                    const Trace& source)
{
    return std::make_unique<MemTrace>(xs.data(), ys.data(), static_cast<int>(xs.size()), source);
}

} // namespace

Points sortedPoints(const Trace& trace)
{
    Points points;
    const DataColumn* xs = trace.GetXValues();
    const DataColumn* ys = trace.GetYValues();
    const int n = trace.GetNumPoints();
    if (!xs || !ys || n <= 0)
        return points;
    std::vector<int32_t> order;
    const int32_t* ranks = nullptr;
    if (xs->GetSize() == n) {
        ranks = xs->GetSortIndex(); // kept with the column, so a second analysis sorts nothing
    } else {
        // The x column is longer than the y column: only its first n rows are points.
        order.resize(std::size_t(n));
        std::iota(order.begin(), order.end(), 1);
        std::stable_sort(order.begin(), order.end(), [xs](int32_t a, int32_t b) {
            return xs->GetAt(a - 1) < xs->GetAt(b - 1);
        });
        ranks = order.data();
    }
    points.x.reserve(std::size_t(n));
    points.y.reserve(std::size_t(n));
    for (int k = 0; k < n; ++k) {
        const int row = ranks[k] - 1;
        const double x = xs->GetAt(row);
        const double y = ys->GetAt(row);
        if (std::isfinite(x) && std::isfinite(y)) {
            points.x.push_back(x);
            points.y.push_back(y);
        }
    }
    return points;
}

void initialFitRange(Trace& trace, const Rect& focus, double& xStart, double& xEnd)
{
    if (!focus.isEmpty()) {
        xStart = trace.DeviceToData(QPoint(focus.left, focus.top)).x();
        xEnd = trace.DeviceToData(QPoint(focus.right, focus.top)).x();
        return;
    }
    const Points points = sortedPoints(trace);
    xStart = points.x.empty() ? 0.0 : points.x.front();
    xEnd = points.x.empty() ? 0.0 : points.x.back();
}

Result fit(const Trace& trace, FitModel model, FitRequest request)
{
    Result result;
    if (request.xStart > request.xEnd)
        std::swap(request.xStart, request.xEnd);
    if (request.xStart == request.xEnd)
        return result;
    const Points points = sortedPoints(trace);
    if (points.x.empty())
        return result;
    const std::span<const double> allX(points.x);
    const std::size_t first = analysis::locateRank(allX, request.xStart);
    const std::size_t last = analysis::locateRank(allX, request.xEnd);
    const std::size_t count = last + 1 - first;
    const std::span<const double> x = allX.subspan(first, count);
    const std::span<const double> y = std::span<const double>(points.y).subspan(first, count);

    const std::vector<double> curveX =
        request.useDataX ? std::vector<double>(x.begin(), x.end())
                         : analysis::evenlySpaced(request.xStart, request.xEnd, request.pointCount);
    const double xWidth = axisWidth(trace.GetXAxis());
    const double yWidth = axisWidth(trace.GetYAxis());
    const QString name = trace.GetName();
    std::vector<double> curveY;
    switch (model) {
    case FitModel::Polynomial: {
        const unsigned order =
            std::min<unsigned>(request.order, static_cast<unsigned>(points.x.size()));
        const analysis::PolynomialFit f = analysis::fitPolynomial(x, y, order);
        curveY = evaluate(f, curveX);
        result.report << name + QStringLiteral("-- polynomial fit of order %1").arg(order)
                      << QStringLiteral("chi square = ") + g(f.chiSquare);
        for (unsigned k = 0; k <= order; ++k)
            result.report << QStringLiteral("c[%1] = ").arg(k) + g(f.coefficients[k]);
        break;
    }
    case FitModel::Power: {
        if (!absoluteValuesAccepted(analysis::pointsNeedingAbsoluteValues(x, y)))
            return result;
        const analysis::PowerFit f = analysis::fitPower(x, y, xWidth, yWidth);
        curveY = evaluate(f, curveX);
        result.report << name + QStringLiteral("-- fit to y = a x^n")
                      << QStringLiteral("a= ") + g(f.a) + QStringLiteral(" n= ") + g(f.n)
                      << QStringLiteral("chi square = ") + g(f.chiSquare);
        break;
    }
    case FitModel::Exponential: {
        if (!absoluteValuesAccepted(analysis::pointsNeedingAbsoluteValues(y)))
            return result;
        const analysis::ExponentialFit f = analysis::fitExponential(x, y, yWidth);
        curveY = evaluate(f, curveX);
        result.report << name + QStringLiteral("-- fit to y = a exp(bx)")
                      << QStringLiteral("a= ") + g(f.a) + QStringLiteral(" b= ") + g(f.b)
                      << QStringLiteral("chi square = ") + g(f.chiSquare);
        break;
    }
    case FitModel::Gaussian: {
        if (!absoluteValuesAccepted(analysis::pointsNeedingAbsoluteValues(y)))
            return result;
        const std::optional<analysis::GaussianFit> f = analysis::fitGaussian(x, y, yWidth);
        if (!f) {
            Prompter::instance().message(loadString(Str::NoGaussianPeak), QString(),
                                         Prompter::Icon::Exclamation);
            return result;
        }
        curveY = evaluate(*f, curveX);
        result.report << name + QStringLiteral("-- fit to y = a exp(-b^2 (x-xo)^2)")
                      << QStringLiteral("a= ") + g(f->a) + QStringLiteral(" b^2= ") +
                             g(f->bSquared) + QStringLiteral(" xo =") + g(f->xo)
                      << QStringLiteral("chi square = ") + g(f->chiSquare);
        break;
    }
    }
    for (QString& line : result.report)
        line = reportLine(line);
    result.trace = makeTrace(curveX, curveY, trace);
    // A polynomial curve keeps its own new name; the others are called after the data set.
    const QString base = model == FitModel::Polynomial ? result.trace->GetName() : name;
    result.trace->SetName(base + QStringLiteral(" (fit)"));
    return result;
}

double interpolate(const Trace& trace, double x, int order)
{
    const Points points = sortedPoints(trace);
    return analysis::interpolate(points.x, points.y, x, order);
}

double integrate(const Trace& trace, double x1, double x2)
{
    const Points points = sortedPoints(trace);
    return analysis::integrate(points.x, points.y, x1, x2);
}

std::unique_ptr<MemTrace> smooth(const Trace& trace, unsigned window)
{
    const Points points = sortedPoints(trace);
    const std::vector<double> ys = analysis::movingAverage(points.y, window);
    if (ys.empty())
        return nullptr;
    std::unique_ptr<MemTrace> smoothed = makeTrace(points.x, ys, trace);
    smoothed->SetName(trace.GetName() + QStringLiteral(" (sm)"));
    return smoothed;
}

unsigned largestSmoothingWindow(int n)
{
    if (n < 2)
        return 0;
    return std::min(static_cast<unsigned>(n / 2 - 1), 32000u);
}

QStringList interpolationReport(const QString& name, int order, double x, double y)
{
    return {reportLine(name + QStringLiteral("-- Interpolation of order %1: ").arg(order)),
            reportLine(QStringLiteral("     ") + NumberFormat::g(x) + QLatin1Char(',') +
                       NumberFormat::g(y))};
}

QStringList integrationReport(const QString& name, double x1, double x2, double area)
{
    return {reportLine(name + QStringLiteral("-- Integration from X = ") + g(x1) +
                       QStringLiteral(" to ") + g(x2)),
            reportLine(areaText(area))};
}

QString areaText(double area)
{
    return g(area).left(20);
}

QString reportLine(const QString& text)
{
    return text.left(reportWidth);
}

} // namespace TraceAnalysis
