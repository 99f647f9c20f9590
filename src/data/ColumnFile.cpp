#include "data/ColumnFile.h"

#include "data/LineReader.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

PV_IMPLEMENT_SERIAL(ColumnFile, Persistent, 0)

namespace {

// The bytes of a window: capacity bytes of text and zero padding after them, so that the line
// count may look two bytes past the text and the line reader finds a NUL after it.
class Window
{
public:
    static constexpr size_t padding = 32;

    explicit Window(size_t capacity) : capacity_(capacity)
    {
        bytes_.reset(static_cast<char*>(std::malloc(capacity + padding)));
        if (!bytes_)
            throw MemoryException();
    }
    char* data() { return bytes_.get(); }
    size_t capacity() const { return capacity_; }

private:
    struct Free
    {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> bytes_;
    size_t capacity_;
};

// Line breaks are LF, CR LF and a lone CR; each is counted once, at its last character.
struct LineBreaks
{
    int64_t count = 0;
    int64_t beforeEmptyLines = 0; // those another line break follows right away
};

// The line breaks that end among t[0, n), and those right before an empty line. Looks at t[n]
// too: the text that follows, or zero padding after the last byte of the text.
LineBreaks countLines(const char* t, size_t n)
{
    LineBreaks breaks;
    int64_t count = 0, empty = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Matches are counted per byte lane (a compare gives -1, subtracting it adds 1) and the
    // lanes summed before they can overflow.
    const __m128i nl = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        __m128i breakLanes = zero, emptyLanes = zero;
        const size_t blockEnd = std::min(n - 15, i + 16 * 127);
        for (; i < blockEnd; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 1));
            const __m128i lfB = _mm_cmpeq_epi8(b, nl);
            // An LF, or a CR that no LF follows.
            const __m128i ends =
                _mm_or_si128(_mm_cmpeq_epi8(a, nl), _mm_andnot_si128(lfB, _mm_cmpeq_epi8(a, cr)));
            const __m128i next = _mm_or_si128(lfB, _mm_cmpeq_epi8(b, cr));
            breakLanes = _mm_sub_epi8(breakLanes, ends);
            emptyLanes = _mm_sub_epi8(emptyLanes, _mm_and_si128(ends, next));
        }
        const __m128i breakSum = _mm_sad_epu8(breakLanes, zero);
        const __m128i emptySum = _mm_sad_epu8(emptyLanes, zero);
        count +=
            _mm_cvtsi128_si64(breakSum) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(breakSum, breakSum));
        empty +=
            _mm_cvtsi128_si64(emptySum) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(emptySum, emptySum));
    }
#endif
    for (; i < n; ++i) {
        if (t[i] != '\n' && (t[i] != '\r' || t[i + 1] == '\n'))
            continue;
        ++count;
        if (t[i + 1] == '\n' || t[i + 1] == '\r')
            ++empty;
    }
    breaks.count = count;
    breaks.beforeEmptyLines = empty;
    return breaks;
}

struct LineCounts
{
    int64_t lineBreaks = 0;
    // At least the number of non-empty lines, so at least the number of data rows: the
    // columns are sized to it once.
    int64_t rowBound = 0;
};

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

// The text of a file, or of a block in memory, read from its start as often as asked. A file
// is read with pread up to the size it had when opened; once it is found shorter, that is its
// size.
class ColumnFile::TextSource final : public LineReader::Source
{
public:
    TextSource(const char* text, size_t size) : text_(text), size_(size) {}
    TextSource(int fd, size_t size, const QString& path) : fd_(fd), size_(size), path_(path) {}

    size_t Read(char* dst, size_t max) override
    {
        const size_t n = std::min(max, size_ - offset_);
        if (n == 0)
            return 0;
        if (text_) {
            std::memcpy(dst, text_ + offset_, n);
            offset_ += n;
            return n;
        }
        for (;;) {
            const ssize_t r = ::pread(fd_, dst, n, off_t(offset_));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0) {
                failed_ = true;
                throw FileException(FileException::Cause::generic, path_,
                                    QString::fromLocal8Bit(std::strerror(errno)));
            }
            if (r == 0)
                size_ = offset_; // the file became shorter: its text is what was there
            offset_ += size_t(r);
            return size_t(r);
        }
    }
    void Rewind() { offset_ = 0; }
    size_t size() const { return size_; }
    bool failed() const { return failed_; }

private:
    const char* text_ = nullptr;
    int fd_ = -1;
    size_t size_;
    size_t offset_ = 0;
    QString path_;
    bool failed_ = false;
};

namespace {

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The first pass: the line counts of the whole text, read window by window. Each window but
// the last keeps its last byte back for the next, so that every line break is counted once
// with the byte after it, as over the whole text. Returns true when the whole text fit in the
// first window: it is then held there, *size bytes followed by zero padding.
bool countText(LineReader::Source& source, Window& window, LineCounts* counts, size_t* size)
{
    char* const t = window.data();
    int64_t lineBreaks = 0, emptyLines = 0;
    size_t kept = 0;
    for (bool first = true;; first = false) {
        bool ended = false;
        const size_t n =
            kept + source.ReadUpTo(window.data() + kept, window.capacity() - kept, &ended);
        if (ended)
            std::memset(t + n, 0, Window::padding);
        if (first && n > 0 && isLineBreak(t[0]))
            ++emptyLines; // the text starts with an empty line
        if (!ended) {
            const LineBreaks breaks = countLines(t, n - 1);
            lineBreaks += breaks.count;
            emptyLines += breaks.beforeEmptyLines;
            t[0] = t[n - 1];
            kept = 1;
            continue;
        }
        const LineBreaks breaks = countLines(t, n);
        lineBreaks += breaks.count;
        emptyLines += breaks.beforeEmptyLines;
        if (n > 0 && isLineBreak(t[n - 1]))
            ++emptyLines; // nothing follows the last line break
        counts->lineBreaks = lineBreaks;
        counts->rowBound = first && n == 0 ? 0 : lineBreaks + 1 - emptyLines;
        *size = n;
        return first;
    }
}

} // namespace

ColumnFile::~ColumnFile() = default;

void ColumnFile::clearColumns()
{
    columns_.clear();
    pointNumbers_.reset();
}

int ColumnFile::ReadFile()
{
    return ReadFile(defaultWindowBytes);
}

int ColumnFile::ReadFile(size_t windowBytes)
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
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        readState_ = ReadState::cannotOpen;
        return 0;
    }
    // A FIFO or a device opens on Linux but has no text of a known length: it is there, and
    // it is not a data file.
    if (!S_ISREG(info.st_mode)) {
        readState_ = ReadState::notDataFile;
        throw FileException(FileException::Cause::accessDenied, path);
    }
    TextSource source(fd.get(), size_t(info.st_size), path);
    try {
        return readPasses(source, windowBytes, maxRows);
    } catch (const FileException&) {
        if (source.failed()) {
            clearColumns();
            readState_ = ReadState::fileError;
        }
        throw;
    }
}

int ColumnFile::ReadText(const char* data, size_t size)
{
    return ReadText(data, size, std::numeric_limits<size_t>::max());
}

int ColumnFile::ReadText(const char* data, size_t size, size_t windowBytes, int rowLimit)
{
    clearColumns();
    readState_ = ReadState::notRead;
    TextSource source(data, size);
    return readPasses(source, windowBytes, rowLimit);
}

int ColumnFile::readPasses(TextSource& source, size_t windowBytes, int rowLimit)
{
    std::optional<Window> window;
    try {
        // At most one byte more than the text, so that a text that fits is held whole at once.
        window.emplace(std::max(std::min(windowBytes, source.size() + 1), LineReader::minWindow));
    } catch (const MemoryException&) {
        readState_ = ReadState::memoryError;
        throw;
    }
    // The first pass, then the second from the start of the text, unless it is held whole.
    LineCounts counts;
    size_t held = 0;
    const bool whole = countText(source, *window, &counts, &held);
    if (!whole) {
        source.Rewind();
        held = 0;
    }
    LineReader reader(window->data(), window->capacity(), held, whole ? nullptr : &source);
    if (!reader.ok()) {
        readState_ = ReadState::notDataFile;
        throw FileException(FileException::Cause::invalidFile, GetFullPath());
    }
    const int numColumns = reader.numColumns();
    const int bound = int(std::clamp<int64_t>(counts.rowBound, 1, std::max(rowLimit, 1)));
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
            brokenOff = reader.linesConsumed() < counts.lineBreaks;
            break;
        }
        if (rows == bound) {
            // More rows than a column holds, or than the first pass found room for (the file
            // changed in between): the data is cut here, and the read says so.
            brokenOff = true;
            break;
        }
    }

    window.reset();
    for (auto& column : columns_) {
        if (!column->SetSize(rows)) {
            clearColumns();
            readState_ = ReadState::memoryError;
            throw MemoryException();
        }
    }
    if (brokenOff) {
        readState_ = ReadState::parseError;
        throw FileException(FileException::Cause::invalidFile, GetFullPath());
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

int ColumnFile::ReadFileRecorded()
{
    try {
        return ReadFile();
    } catch (const PlotvaneException&) {
        // The read state says what went wrong.
    } catch (const std::bad_alloc&) {
        clearColumns();
        readState_ = ReadState::memoryError;
    }
    return 0;
}

namespace {
std::vector<std::unique_ptr<ColumnFile>>* heldFiles = nullptr;
}

void ColumnFile::setHeldFiles(std::vector<std::unique_ptr<ColumnFile>>* files)
{
    heldFiles = files;
}

bool ColumnFile::takeHeldColumns()
{
    if (!heldFiles)
        return false;
    for (const std::unique_ptr<ColumnFile>& held : *heldFiles) {
        if (!held || held->IsMissing() || held->GetFullPath() != GetFullPath())
            continue;
        columns_ = std::move(held->columns_);
        pointNumbers_ = std::move(held->pointNumbers_);
        readState_ = std::exchange(held->readState_, ReadState::notRead);
        return true;
    }
    return false;
}

void ColumnFile::Serialize(Archive& ar)
{
    fileName_.Serialize(ar);
    if (ar.isLoading()) {
        clearColumns();
        readState_ = ReadState::notRead;
        if (GetFullPath().isEmpty() || takeHeldColumns())
            return;
        ReadFileRecorded();
        // A relative path (stored by an older save) names the file found from the current
        // directory; it is kept absolute from now on.
        const QFileInfo found(GetFullPath());
        if (!IsMissing() && found.isRelative())
            SetPath(found.absoluteFilePath());
    }
}
