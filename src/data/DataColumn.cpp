#include "data/DataColumn.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

DataColumn::DataColumn(int columnNumber) : columnNumber_(columnNumber) {}

DataColumn::DataColumn(int count, int columnNumber)
    : DoubleArray(count), columnNumber_(columnNumber)
{}

DataColumn::DataColumn(const double* values, int count) : DoubleArray(values, count) {}

namespace {

// A total order of 1-based positions (NaN after +inf), so sorting is well defined whatever the
// file holds; ties keep file order so the result does not depend on the sort algorithm.
bool sortsBefore(const double* v, int32_t a, int32_t b)
{
    const double x = v[a - 1], y = v[b - 1];
    if (x < y)
        return true;
    if (y < x)
        return false;
    const bool xn = std::isnan(x), yn = std::isnan(y);
    if (xn != yn)
        return yn;
    return a < b;
}

} // namespace

void DataColumn::changed()
{
    cacheValid_ = false;
    sortValid_ = false;
    sortIndex_.clear();
}

int DataColumn::SetSize(int count)
{
    const int ok = DoubleArray::SetSize(count);
    if (ok)
        changed();
    return ok;
}

void DataColumn::InsertAt(int position, const double* values, int count)
{
    DoubleArray::InsertAt(position, values, count);
    changed();
}

void DataColumn::InsertAt(int position, const DoubleArray& values)
{
    DoubleArray::InsertAt(position, values);
    changed();
}

void DataColumn::SetAt(int position, const double* values, int count)
{
    DoubleArray::SetAt(position, values, count);
    changed();
}

void DataColumn::SetAt(int position, const DoubleArray& values)
{
    DoubleArray::SetAt(position, values);
    changed();
}

void DataColumn::Append(const double* values, int count)
{
    const int old = GetSize();
    if (count <= 0)
        return;
    if (count > std::numeric_limits<int>::max() - old)
        throw MemoryException();
    // SetSize forgets the caches; they are taken over and brought up to date instead.
    const bool extremesValid = cacheValid_;
    const bool sortedValid = sortValid_;
    std::vector<int32_t> index = std::move(sortIndex_);
    if (!DoubleArray::SetSize(old + count)) {
        sortIndex_ = std::move(index);
        throw MemoryException();
    }
    std::copy(values, values + count, mutableData() + old);
    if (extremesValid)
        foldExtremes(old, old + count);
    if (sortedValid) {
        const double* v = GetData();
        const auto less = [v](int32_t a, int32_t b) { return sortsBefore(v, a, b); };
        const size_t before = index.size();
        index.resize(size_t(old + count));
        for (int i = old; i < old + count; ++i)
            index[size_t(i)] = i + 1;
        std::sort(index.begin() + std::ptrdiff_t(before), index.end(), less);
        std::inplace_merge(index.begin(), index.begin() + std::ptrdiff_t(before), index.end(),
                           less);
        sortIndex_ = std::move(index);
        sortValid_ = true;
    }
}

void DataColumn::computeExtremes() const
{
    min_ = max_ = std::numeric_limits<double>::infinity();
    foldExtremes(0, GetSize());
}

void DataColumn::foldExtremes(int from, int to) const
{
    // Infinities and NaN are left out: the extremes set axis ranges, which must be finite. An
    // infinite min_ means no finite value has been seen yet.
    const double* v = GetData();
    bool seen = !std::isinf(min_);
    double lo = min_, hi = max_;
    int loPos = minPosition_, hiPos = maxPosition_;
    for (int i = from; i < to; ++i) {
        const double x = v[i];
        if (!std::isfinite(x))
            continue;
        if (!seen) {
            lo = hi = x;
            loPos = hiPos = i;
            seen = true;
            continue;
        }
        if (x > hi) {
            hi = x;
            hiPos = i;
        }
        if (x < lo) {
            lo = x;
            loPos = i;
        }
    }
    min_ = lo;
    max_ = hi;
    minPosition_ = loPos;
    maxPosition_ = hiPos;
    cacheValid_ = true;
}

double DataColumn::GetMin() const
{
    if (!cacheValid_)
        computeExtremes();
    return min_;
}

double DataColumn::GetMax() const
{
    if (!cacheValid_)
        computeExtremes();
    return max_;
}

int DataColumn::GetMinPosition() const
{
    if (!cacheValid_)
        computeExtremes();
    return minPosition_;
}

int DataColumn::GetMaxPosition() const
{
    if (!cacheValid_)
        computeExtremes();
    return maxPosition_;
}

const int32_t* DataColumn::GetSortIndex() const
{
    if (!sortValid_) {
        const int n = GetSize();
        const double* v = GetData();
        sortIndex_.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            sortIndex_[size_t(i)] = i + 1;
        const auto less = [v](int32_t a, int32_t b) { return sortsBefore(v, a, b); };
        std::sort(sortIndex_.begin(), sortIndex_.end(), less);
        sortValid_ = true;
    }
    return sortIndex_.data();
}

double DataColumn::GetRanked(int rank, int* position) const
{
    if (unsigned(rank) >= unsigned(GetSize())) {
        if (position)
            *position = -1;
        return 0.0;
    }
    const int32_t* index = GetSortIndex();
    if (position)
        *position = index[rank] - 1;
    return GetAt(index[rank] - 1);
}

int DataColumn::LocateRank(double x) const
{
    const int n = GetSize();
    GetSortIndex();
    // Bisection over 1-based ranks: lo ends on the last rank whose value is below x.
    int lo = 0, hi = n + 1;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (rankedValue(mid - 1) < x)
            lo = mid;
        else
            hi = mid;
    }
    return lo == 0 ? 0 : lo - 1;
}

DataColumn::Selection DataColumn::GetWindow(double x, int count) const
{
    const int n = GetSize();
    Selection s;
    count = std::min(count, n);
    if (count <= 0)
        return s;
    const int j = LocateRank(x);
    const int start = std::max(0, std::min(std::max(j - count / 2, count - 1), n - count));
    s.values.resize(size_t(count));
    s.positions.resize(size_t(count));
    for (int k = 0; k < count; ++k)
        s.values[size_t(k)] = GetRanked(start + k, &s.positions[size_t(k)]);
    return s;
}

DataColumn::Selection DataColumn::GetRange(double x1, double x2) const
{
    Selection s;
    if (GetSize() == 0)
        return s;
    const int first = LocateRank(x1);
    const int last = LocateRank(x2);
    if (last < first)
        return s;
    const int count = last + 1 - first;
    s.values.resize(size_t(count));
    s.positions.resize(size_t(count));
    for (int k = 0; k < count; ++k)
        s.values[size_t(k)] = GetRanked(first + k, &s.positions[size_t(k)]);
    return s;
}

std::vector<double> DataColumn::GetValuesAt(std::span<const int> positions) const
{
    std::vector<double> values;
    values.reserve(positions.size());
    for (int p : positions)
        values.push_back(GetAt(p));
    return values;
}
