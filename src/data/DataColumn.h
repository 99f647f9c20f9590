#pragma once

#include "data/DoubleArray.h"

#include <cstdint>
#include <span>
#include <vector>

// One column of a data file: its values with a cached minimum and maximum and a sorted order.
// Positions are 0-based row numbers; ranks count values in ascending order from 0.
class DataColumn : public DoubleArray
{
public:
    explicit DataColumn(int columnNumber = 0);
    DataColumn(int count, int columnNumber); // count values of 0.0
    DataColumn(const double* values, int count);

    // The column's 0-based place in its file; 0 for the point-number column.
    int GetColumnNumber() const { return columnNumber_; }

    // Every change goes through these, so the cached extremes and the sorted order follow it.
    int SetSize(int count) override;
    void InsertAt(int position, const double* values, int count) override;
    void InsertAt(int position, const DoubleArray& values) override;
    void SetAt(int position, const double* values, int count) override;
    void SetAt(int position, const DoubleArray& values) override;
    using DoubleArray::SetAt;
    // Adds count values at the end; the extremes and the sorted order, when already at hand,
    // take the new values in without going over the old ones again. Raises MemoryException
    // when the column cannot grow (it is then unchanged).
    void Append(const double* values, int count);

    // Extremes over the finite values; the first of equal extremes wins. Positive infinity
    // for both when the column holds no finite value.
    double GetMin() const;
    double GetMax() const;
    int GetMinPosition() const;
    int GetMaxPosition() const;

    // The sorted order: GetSize() 1-based positions by ascending value. Values that compare
    // equal keep their file order; NaN sorts after +inf. Built on first use.
    const int32_t* GetSortIndex() const;
    // The value of 0-based rank k, and its 0-based position. 0.0 and -1 for a rank outside.
    double GetRanked(int rank, int* position = nullptr) const;
    // The 0-based rank of the largest value strictly below x, or 0 when no value is below x.
    int LocateRank(double x) const;

    struct Selection
    {
        std::vector<double> values; // ascending
        std::vector<int> positions; // 0-based rows of those values
    };
    // count values of neighbouring ranks around x: with j = LocateRank(x), the ranks from
    // min(max(j - count/2, count - 1), n - count). Fewer values when the column has fewer.
    Selection GetWindow(double x, int count) const;
    // The values of ranks LocateRank(x1) .. LocateRank(x2); empty when x2 lies below x1.
    Selection GetRange(double x1, double x2) const;
    // The values at the given positions, in the order given (0.0 for a position outside).
    std::vector<double> GetValuesAt(std::span<const int> positions) const;

private:
    friend class ColumnFile;
    void changed();
    void computeExtremes() const;
    // Brings the extremes up to date with the values at [from, to).
    void foldExtremes(int from, int to) const;
    double rankedValue(int rank) const { return GetAt(sortIndex_[rank] - 1); }

    mutable double min_ = 0.0;
    mutable double max_ = 0.0;
    mutable int maxPosition_ = 0;
    mutable int minPosition_ = 0;
    mutable bool cacheValid_ = false;
    mutable std::vector<int32_t> sortIndex_; // empty until built
    mutable bool sortValid_ = false;
    int columnNumber_ = 0;
};
