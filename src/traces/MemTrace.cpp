#include "traces/MemTrace.h"

#include "platform/Archive.h"
#include "platform/Exceptions.h"

#include <vector>

PV_IMPLEMENT_SERIAL(MemTrace, Trace, 0)

namespace {

std::unique_ptr<DataColumn> copyOf(const DataColumn* column)
{
    if (!column)
        return nullptr;
    return std::make_unique<DataColumn>(column->GetData(), column->GetSize());
}

} // namespace

MemTrace::MemTrace(const double* xs, const double* ys, int n, const Trace& source) : Trace(source)
{
    const int count = std::max(n, 0);
    xValues = std::make_unique<DataColumn>(xs, count);
    yValues = std::make_unique<DataColumn>(ys, count);
    SetDefaultName();
}

MemTrace::MemTrace(const MemTrace& other)
    : Trace(other), xValues(copyOf(other.xValues.get())), yValues(copyOf(other.yValues.get()))
{}

MemTrace::~MemTrace() = default;

void MemTrace::BindColumns()
{
    takePositionFromAxes();
}

void MemTrace::Serialize(Archive& ar)
{
    Trace::Serialize(ar);
    if (ar.isStoring()) {
        const int n = xValues ? xValues->GetSize() : 0;
        ar.writeLong(n);
        for (int i = 0; i < n; ++i)
            ar.writeDouble(xValues->GetAt(i));
        for (int i = 0; i < n; ++i)
            ar.writeDouble(yValues ? yValues->GetAt(i) : 0.0);
        return;
    }
    const int32_t n = ar.readLong();
    if (n < 0)
        throw ArchiveException(ArchiveException::Cause::generic,
                               QStringLiteral("negative value count"));
    // Both columns must be there before anything is allocated for them.
    if (uint64_t(n) * 2 * sizeof(double) > ar.bytesLeft())
        throw ArchiveException(ArchiveException::Cause::endOfFile);
    std::vector<double> values(size_t(n) * 2);
    for (double& v : values)
        v = ar.readDouble();
    xValues = std::make_unique<DataColumn>(values.data(), n);
    yValues = std::make_unique<DataColumn>(values.data() + n, n);
    pointsValid = false;
}
