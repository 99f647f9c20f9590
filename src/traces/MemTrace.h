#pragma once

#include "data/DataColumn.h"
#include "traces/Trace.h"

#include <memory>

// A trace that holds its own values: the result of smoothing, interpolation or a fit. It keeps
// the data file and the axes of the trace it was made from, and its values are stored in the
// document, so it is drawn without its data file being read.
class MemTrace : public Trace
{
    PV_DECLARE_SERIAL(MemTrace)

public:
    MemTrace() = default;
    // A copy of the source trace holding n values of xs and ys, with a default name.
    MemTrace(const double* xs, const double* ys, int n, const Trace& source);
    MemTrace(const MemTrace& other);
    MemTrace& operator=(const MemTrace&) = delete;
    // Takes the look and the references of another trace; the values stay.
    using Trace::operator=;
    ~MemTrace() override;

    // The Trace record, then the count of x values and the x and y values.
    void Serialize(Archive& ar) override;
    // Only the position: the values are the trace's own.
    void BindColumns() override;
    // Nothing to read.
    int Reread() override { return 1; }
    const DataColumn* GetXValues() const override { return xValues.get(); }
    const DataColumn* GetYValues() const override { return yValues.get(); }

private:
    std::unique_ptr<DataColumn> xValues;
    std::unique_ptr<DataColumn> yValues;
};
