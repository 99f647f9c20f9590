#pragma once

#include "platform/Rect.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class MemTrace;
class Trace;

// The analysis of one data set: the numbers come from the analysis library, this side takes
// the trace's values, builds the memory trace of the result and writes the report lines.
namespace TraceAnalysis {

enum class FitModel { Polynomial, Power, Exponential, Gaussian };

// What the fit dialogs fill in.
struct FitRequest
{
    double xStart = 0.0;
    double xEnd = 0.0;
    unsigned pointCount = 60; // curve points at even x spacing
    bool useDataX = false;    // the curve at the selected data x values instead
    unsigned order = 1;       // polynomial fit only
};

// A new trace and the lines of its report; both empty when nothing was made.
struct Result
{
    std::unique_ptr<MemTrace> trace;
    QStringList report;
};

// The plotted points a trace offers the analysis: its first GetNumPoints() rows with a finite x
// and y, in ascending x (rows of equal x in file order).
struct Points
{
    std::vector<double> x;
    std::vector<double> y;
};
Points sortedPoints(const Trace& trace);

// The fit dialogs' starting limits: the data x values of the focus rectangle's left and right
// edges (client pixels, read at its top edge) when it is not empty, else the smallest and
// largest x of the data set.
void initialFitRange(Trace& trace, const Rect& focus, double& xStart, double& xEnd);

// A fit of the model over [xStart, xEnd] (the limits swapped when reversed). Nothing is made
// when the limits are equal, when the data set has no points, or when the user declines the
// absolute-value question (asked through the Prompter) of the logarithmic models. The trace is
// named after the data set with " (fit)".
Result fit(const Trace& trace, FitModel model, FitRequest request);

// y at x from a polynomial of the given order through the neighbouring points. NaN when the
// data set has no points.
double interpolate(const Trace& trace, double x, int order);
// The area under the data between x1 and x2 by the trapezoidal rule, the ends interpolated;
// 0 when x2 is not above x1 or the data set has fewer than two points.
double integrate(const Trace& trace, double x1, double x2);
// The moving average of the data set over an odd window of at least 3 points, named after
// the data set with " (sm)"; null when the data set has fewer than twice the window.
std::unique_ptr<MemTrace> smooth(const Trace& trace, unsigned window);
// The largest window the Smooth dialog offers for a data set of n points: half of n less one,
// at most 32000; below 3 when the data set is too small to smooth.
unsigned largestSmoothingWindow(int n);

// The log lines of an interpolation and an integration.
QStringList interpolationReport(const QString& name, int order, double x, double y);
QStringList integrationReport(const QString& name, double x1, double x2, double area);
// How the Integrate Data dialog shows an area: 6 significant digits.
QString areaText(double area);
// A report line as the log takes it: at most 80 characters.
QString reportLine(const QString& text);

} // namespace TraceAnalysis
