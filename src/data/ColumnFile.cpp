#include "data/ColumnFile.h"

#include "data/LineReader.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/HugePages.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

PV_IMPLEMENT_SERIAL(ColumnFile, Persistent, 0)

// The whole text of a data file in one block, followed by zero bytes so that the line count
// may look a few bytes past the end.
struct ColumnFile::TextBlock
{
    static constexpr size_t padding = 32;
    struct Free
    {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> bytes;
    size_t size = 0;

    const char* data() const { return bytes.get(); }
    void allocate(size_t n)
    {
        // Counts of rows are ints; a text this long could not be held in columns anyway.
        if (n > size_t(std::numeric_limits<int>::max()) - padding)
            throw MemoryException();
        bytes.reset(static_cast<char*>(std::malloc(n + padding)));
        if (!bytes)
            throw MemoryException();
        adviseHugePages(bytes.get(), n);
        std::memset(bytes.get() + n, 0, padding);
        size = n;
    }
    void release()
    {
        bytes.reset();
        size = 0;
    }
};

namespace {

struct LineCounts
{
    int64_t lineFeeds = 0;
    // At least the number of non-empty lines, so at least the number of data rows: the
    // columns are sized to it once.
    int64_t rowBound = 0;
};

// One pass over the text: the LF characters, and the empty lines (an LF right after an LF, or
// after an LF and a CR), which can hold no row.
LineCounts countLines(const char* t, size_t n)
{
    LineCounts counts;
    if (n == 0)
        return counts;
    int64_t lf = 0, empty = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Matches are counted per byte lane (a compare gives -1, subtracting it adds 1) and the
    // lanes summed before they can overflow.
    const __m128i nl = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        __m128i lfLanes = zero, emptyLanes = zero;
        const size_t blockEnd = std::min(n - 15, i + 16 * 127);
        for (; i < blockEnd; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 1));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 2));
            const __m128i lfA = _mm_cmpeq_epi8(a, nl);
            const __m128i next = _mm_or_si128(
                _mm_cmpeq_epi8(b, nl), _mm_and_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(c, nl)));
            lfLanes = _mm_sub_epi8(lfLanes, lfA);
            emptyLanes = _mm_sub_epi8(emptyLanes, _mm_and_si128(lfA, next));
        }
        const __m128i lfSum = _mm_sad_epu8(lfLanes, zero);
        const __m128i emptySum = _mm_sad_epu8(emptyLanes, zero);
        lf += _mm_cvtsi128_si64(lfSum) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(lfSum, lfSum));
        empty +=
            _mm_cvtsi128_si64(emptySum) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(emptySum, emptySum));
    }
#endif
    for (; i < n; ++i) {
        if (t[i] != '\n')
            continue;
        ++lf;
        if (t[i + 1] == '\n' || (t[i + 1] == '\r' && t[i + 2] == '\n'))
            ++empty;
    }
    if (t[0] == '\n' || (t[0] == '\r' && t[1] == '\n'))
        ++empty;
    if (t[n - 1] == '\n')
        ++empty; // nothing follows the last line break
    counts.lineFeeds = lf;
    counts.rowBound = lf + 1 - empty;
    return counts;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

ColumnFile::~ColumnFile() = default;

void ColumnFile::clearColumns()
{
    columns_.clear();
    pointNumbers_.reset();
}

int ColumnFile::ReadFile()
{
    clearColumns();
    readState_ = ReadState::notRead;
    const QString path = GetFullPath();
    const QByteArray localPath = QFile::encodeName(path);
    // Non-blocking, so that a path naming a FIFO with no writer is refused, not waited on.
    FileDescriptor fd(localPath.isEmpty()
                          ? -1
                          : ::open(localPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    // A directory or a device opens on Linux but has no text of a known length.
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        readState_ = ReadState::cannotOpen;
        return 0;
    }
    TextBlock text;
    try {
        text.allocate(size_t(info.st_size));
    } catch (const MemoryException&) {
        readState_ = ReadState::memoryError;
        throw;
    }
    size_t got = 0;
    while (got < text.size) {
        const ssize_t r = ::read(fd.get(), text.bytes.get() + got, text.size - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            readState_ = ReadState::fileError;
            throw FileException(FileException::generic, path,
                                QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (r == 0)
            break; // the file became shorter: its text is what was there
        got += size_t(r);
    }
    if (got < text.size) {
        std::memset(text.bytes.get() + got, 0, TextBlock::padding);
        text.size = got;
    }
    return readText(std::move(text));
}

int ColumnFile::ReadText(const char* data, size_t size)
{
    clearColumns();
    readState_ = ReadState::notRead;
    TextBlock text;
    try {
        text.allocate(size);
    } catch (const MemoryException&) {
        readState_ = ReadState::memoryError;
        throw;
    }
    if (size)
        std::memcpy(text.bytes.get(), data, size);
    return readText(std::move(text));
}

int ColumnFile::readText(TextBlock text)
{
    const LineCounts counts = countLines(text.data(), text.size);
    LineReader reader(text.data(), text.size);
    if (!reader.ok()) {
        readState_ = ReadState::notDataFile;
        throw FileException(FileException::invalidFile, GetFullPath());
    }
    const int numColumns = reader.numColumns();
    const int bound = int(std::max<int64_t>(counts.rowBound, 1));
    double* out[LineReader::maxColumns];
    try {
        columns_.reserve(size_t(numColumns));
        for (int c = 0; c < numColumns; ++c) {
            auto column = std::make_unique<DataColumn>(c);
            if (!column->SetSize(bound))
                throw MemoryException();
            out[c] = column->mutableData();
            columns_.push_back(std::move(column));
        }
    } catch (const std::bad_alloc&) {
        clearColumns();
        readState_ = ReadState::memoryError;
        throw MemoryException();
    } catch (const MemoryException&) {
        clearColumns();
        readState_ = ReadState::memoryError;
        throw;
    }

    int rows = 0;
    bool brokenOff = false;
    for (;;) {
        const double* values = reader.numbers();
        for (int c = 0; c < numColumns; ++c)
            out[c][rows] = values[c];
        ++rows;
        if (!reader.NextDataLine()) {
            // Fewer lines taken than line breaks: something after the data was not read.
            brokenOff = reader.linesConsumed() < counts.lineFeeds;
            break;
        }
        Q_ASSERT(rows < bound);
        if (rows == bound)
            break;
    }

    text.release();
    for (auto& column : columns_) {
        if (!column->SetSize(rows)) {
            clearColumns();
            readState_ = ReadState::memoryError;
            throw MemoryException();
        }
    }
    if (brokenOff) {
        readState_ = ReadState::parseError;
        throw FileException(FileException::invalidFile, GetFullPath());
    }
    readState_ = ReadState::read;
    return 1;
}

int ColumnFile::Reread()
{
    clearColumns();
    return ReadFile();
}

DataColumn* ColumnFile::GetColumn(int n)
{
    if (n >= 0)
        return n < GetNumColumns() ? columns_[size_t(n)].get() : nullptr;
    if (!pointNumbers_) {
        const int count = GetNumPoints();
        auto column = std::make_unique<DataColumn>(count, 0);
        double* v = column->mutableData();
        for (int i = 0; i < count; ++i)
            v[i] = double(i + 1);
        column->changed();
        pointNumbers_ = std::move(column);
    }
    return pointNumbers_.get();
}

void ColumnFile::Serialize(Archive& ar)
{
    fileName_.Serialize(ar);
    if (ar.isLoading()) {
        clearColumns();
        readState_ = ReadState::notRead;
        if (GetFullPath().isEmpty())
            return;
        try {
            ReadFile();
        } catch (const PlotvaneException&) {
            // Recorded in the read state; the document looks for missing files and reports.
        } catch (const std::bad_alloc&) {
            clearColumns();
            readState_ = ReadState::memoryError;
        }
    }
}
