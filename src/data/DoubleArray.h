#pragma once

#include <cstdlib>
#include <memory>

// A growable array of doubles in one contiguous block. Space gained by growth reads as 0.0.
class DoubleArray
{
public:
    DoubleArray() = default;
    explicit DoubleArray(int count); // count values of 0.0
    DoubleArray(const double* values, int count);
    virtual ~DoubleArray() = default;
    DoubleArray(const DoubleArray&) = delete;
    DoubleArray& operator=(const DoubleArray&) = delete;

    int GetSize() const { return count_; }
    // The values (null while the array has no storage); valid until the next change of size.
    const double* GetData() const { return data_.get(); }

    // Keeps the values up to the smaller size and fills the rest with 0.0. Returns 0 when the
    // memory cannot be had (the array is then unchanged) or count is negative, else nonzero.
    virtual int SetSize(int count);

    // The value at position, or 0.0 when position is not below the count (negative included).
    double GetAt(int position) const
    {
        return unsigned(position) < unsigned(count_) ? data_[position] : 0.0;
    }

    // Grows the array by count and moves the values from position upward to make room; a
    // position beyond the end first grows the array to it. Raises MemoryException when the
    // array cannot grow.
    virtual void InsertAt(int position, const double* values, int count);
    virtual void InsertAt(int position, const DoubleArray& values);
    // Overwrites values from position on; values that would fall outside the array are dropped.
    virtual void SetAt(int position, const double* values, int count);
    virtual void SetAt(int position, const DoubleArray& values);
    void SetAt(int position, double value) { SetAt(position, &value, 1); }

protected:
    // For bulk writers that fill the storage directly (the data file reader).
    double* mutableData() { return data_.get(); }

private:
    struct FreeBlock
    {
        void operator()(double* p) const { std::free(p); }
    };
    std::unique_ptr<double[], FreeBlock> data_;
    int count_ = 0;
};
