#include "traces/ErrorTrace.h"

#include "data/ColumnFile.h"
#include "data/DataColumn.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>

PV_IMPLEMENT_SERIAL(ErrorTrace, Trace, 0)

namespace {

// Bar ends are held to the range of the trace's points: far beyond the plot box they are cut
// by the clip anyway, and the line stays within what the device arithmetic can take.
int barEnd(double v)
{
    return int(
        std::trunc(std::clamp(v, double(Trace::minCoordinate), double(Trace::maxCoordinate))));
}

} // namespace

ErrorTrace::ErrorTrace(const Trace& trace) : Trace(trace)
{
    errorFile = file;
    if (errorFile) {
        const int columns = errorFile->GetNumColumns();
        errorColumn =
            uint16_t(std::clamp(yColumn + 1 < columns ? yColumn + 1 : columns, 0, 0xFFFF));
    }
}

void ErrorTrace::Serialize(Archive& ar)
{
    Trace::Serialize(ar);
    if (ar.isStoring()) {
        ar.writeObject(errorFile);
        ar.writeWord(errorColumn);
        return;
    }
    errorFile = ar.readObject<ColumnFile>();
    errorColumn = ar.readWord();
}

void ErrorTrace::SetErrorFile(ColumnFile* f)
{
    errorFile = f;
}

void ErrorTrace::SetErrorColumn(int column)
{
    errorColumn = uint16_t(std::clamp(column, 0, 0xFFFF));
}

void ErrorTrace::BindColumns()
{
    Trace::BindColumns();
    if (!errorFile)
        return;
    // A file that is not read says nothing about which columns are gone.
    const int columns = errorFile->GetNumColumns();
    if (columns > 0 && errorColumn > columns)
        errorColumn = uint16_t(columns);
}

const DataColumn* ErrorTrace::GetErrorValues() const
{
    if (!errorFile || errorColumn < 1 || errorColumn > errorFile->GetNumColumns())
        return nullptr;
    return errorFile->GetColumn(errorColumn - 1);
}

void ErrorTrace::DrawData(DeviceContext& dc)
{
    Trace::DrawData(dc);
    // No axes, or the points could not be computed: no bars either.
    if (!xAxis || !yAxis || !HasPoints())
        return;
    drawBars(dc);
}

void ErrorTrace::drawBars(DeviceContext& dc) const
{
    const DataColumn* xs = GetXValues();
    const DataColumn* ys = GetYValues();
    const DataColumn* errors = GetErrorValues();
    if (!xs || !ys || !errors)
        return;
    const int n = GetNumPoints();
    const int m = std::min(n, errors->GetSize());
    if (m <= 0)
        return;
    const bool xLog = xAxis->logScale;
    const bool yLog = yAxis->logScale;
    const int32_t* order = sortOnX ? xs->GetSortIndex() : nullptr;

    const PenRecord previous = dc.pen();
    // Bars are thin and black whatever the trace's pen.
    dc.selectStockPen(BLACK_PEN);
    const int half = capWidth / 2;
    for (int i = 0; i < m; ++i) {
        const int j = order ? order[i] - 1 : i;
        // The x column may be longer than the others: its sorted order can name rows they lack.
        if (j < 0 || j >= m)
            continue;
        double vx = xs->GetAt(j);
        const double y = ys->GetAt(j);
        const double e = errors->GetAt(j);
        if (xLog && !std::isnan(vx))
            vx = vx > 0.0 ? std::log10(vx) : xOffset;
        double high = y + e;
        double low = y - e;
        if (yLog) {
            // An end at or below zero reaches down to the axis's origin.
            high = high > 0.0 ? std::log10(high) : yOffset;
            low = low > 0.0 ? std::log10(low) : yOffset;
        }
        const double px = (vx - xOffset) * xFactor;
        const double hy = (high - yOffset) * yFactor;
        const double ly = (low - yOffset) * yFactor;
        if (std::isnan(px) || std::isnan(hy) || std::isnan(ly))
            continue;
        const int bx = barEnd(px);
        const int top = barEnd(hy);
        const int bottom = barEnd(ly);
        dc.moveTo(bx, top);
        dc.lineTo(bx, bottom);
        dc.moveTo(bx - half, top);
        dc.lineTo(bx + half, top);
        dc.moveTo(bx - half, bottom);
        dc.lineTo(bx + half, bottom);
    }
    dc.selectPen(previous);
}
