#include "data/DoubleArray.h"

#include "platform/Exceptions.h"
#include "platform/HugePages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {
constexpr int maxCount = std::numeric_limits<int>::max();
}

DoubleArray::DoubleArray(int count)
{
    if (!SetSize(count))
        throw MemoryException();
}

DoubleArray::DoubleArray(const double* values, int count)
{
    if (!SetSize(count))
        throw MemoryException();
    if (count > 0)
        std::memcpy(data_.get(), values, size_t(count) * sizeof(double));
}

int DoubleArray::SetSize(int count)
{
    if (count < 0 || count > maxCount)
        return 0;
    if (count == count_)
        return 1;
    if (count == 0) {
        data_.reset();
        count_ = 0;
        return 1;
    }
    const size_t bytes = size_t(count) * sizeof(double);
    double* block;
    if (!data_) {
        // calloc hands out untouched zero pages for large blocks, so a generous size that is
        // later shrunk costs no memory for the part never written.
        block = static_cast<double*>(std::calloc(size_t(count), sizeof(double)));
        adviseHugePages(block, bytes);
    } else {
        block = static_cast<double*>(std::realloc(data_.get(), bytes));
        if (block && count > count_)
            adviseHugePages(block + count_, size_t(count - count_) * sizeof(double));
        if (block && count > count_)
            std::memset(block + count_, 0, size_t(count - count_) * sizeof(double));
    }
    if (!block)
        return 0;
    (void)data_.release();
    data_.reset(block);
    count_ = count;
    return 1;
}

void DoubleArray::InsertAt(int position, const double* values, int count)
{
    if (position < 0 || count <= 0)
        return;
    if (data_ && values >= data_.get() && values < data_.get() + count_) {
        // The values live in this array, which may move when it grows.
        DoubleArray copy(values, count);
        InsertAt(position, copy.GetData(), count);
        return;
    }
    const int oldCount = count_;
    const int start = std::max(position, oldCount);
    if (int64_t(start) + count > maxCount || !SetSize(start + count))
        throw MemoryException();
    double* d = data_.get();
    if (position < oldCount)
        std::memmove(d + position + count, d + position,
                     size_t(oldCount - position) * sizeof(double));
    std::memmove(d + position, values, size_t(count) * sizeof(double));
}

void DoubleArray::InsertAt(int position, const DoubleArray& values)
{
    InsertAt(position, values.GetData(), values.GetSize());
}

void DoubleArray::SetAt(int position, const double* values, int count)
{
    if (position < 0 || count <= 0 || position >= count_)
        return;
    const int n = std::min(count, count_ - position);
    std::memmove(data_.get() + position, values, size_t(n) * sizeof(double));
}

void DoubleArray::SetAt(int position, const DoubleArray& values)
{
    SetAt(position, values.GetData(), values.GetSize());
}
