#include "data/ColumnFile.h"

#include "data/LineReader.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/Installed.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <thread>
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
    bool endsWithBreak = false;
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

// The text of a file, or of a block in memory, read from its start as often as asked; or a
// part of such a text, from one line start to another. A file is read with pread up to the
// size it had when opened; once it is found shorter, that is its size.
class ColumnFile::TextSource final : public LineReader::Source
{
public:
    TextSource(const char* text, size_t size) : text_(text), size_(size) {}
    TextSource(int fd, size_t size, const QString& path) : fd_(fd), size_(size), path_(path) {}
    // The bytes [begin, end) of the whole text.
    TextSource(const TextSource& whole, size_t begin, size_t end)
        : text_(whole.text_ ? whole.text_ + begin : nullptr), fd_(whole.fd_), base_(begin),
          size_(std::min(end, whole.size_) - std::min(begin, whole.size_)), path_(whole.path_),
          shared_(whole.shared_)
    {}

    // What the threads of one read share: the bytes read, and whether to stop.
    struct Shared
    {
        std::atomic<int64_t> done{0};
        std::atomic<bool> cancelled{false};
    };
    void share(Shared* shared) { shared_ = shared; }

    size_t Read(char* dst, size_t max) override
    {
        if (shared_ && shared_->cancelled)
            throw ReadCancelled();
        const size_t n = readAt(offset_, dst, max);
        if (shared_)
            shared_->done += int64_t(n);
        if (n == 0)
            size_ = offset_; // the file became shorter: its text is what was there
        offset_ += n;
        return n;
    }
    void Rewind() { offset_ = 0; }
    size_t size() const { return size_; }
    bool failed() const { return failed_; }

    // The first line start at or after `at`: right after a line break, CR LF taken as one.
    size_t lineStartFrom(size_t at)
    {
        if (at == 0)
            return 0;
        char buffer[4097];
        for (size_t from = at - 1; from < size_;) {
            const size_t n = readAt(from, buffer, sizeof buffer);
            if (n == 0)
                break;
            // The last byte of a full buffer is only looked at, to see an LF after a CR.
            const size_t scan = n == sizeof buffer ? n - 1 : n;
            for (size_t i = 0; i < scan; ++i) {
                if (buffer[i] == '\n')
                    return from + i + 1;
                if (buffer[i] == '\r')
                    return from + i + 1 + (i + 1 < n && buffer[i + 1] == '\n' ? 1 : 0);
            }
            from += scan;
        }
        return size_;
    }

private:
    // Up to max bytes from offset `at` of this text, without moving on.
    size_t readAt(size_t at, char* dst, size_t max)
    {
        const size_t n = at < size_ ? std::min(max, size_ - at) : 0;
        if (n == 0)
            return 0;
        if (text_) {
            std::memcpy(dst, text_ + at, n);
            return n;
        }
        for (;;) {
            const ssize_t r = ::pread(fd_, dst, n, off_t(base_ + at));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0) {
                failed_ = true;
                throw FileException(FileException::Cause::generic, path_,
                                    QString::fromLocal8Bit(std::strerror(errno)));
            }
            return size_t(r);
        }
    }

    const char* text_ = nullptr;
    int fd_ = -1;
    size_t base_ = 0;
    size_t size_;
    size_t offset_ = 0;
    QString path_;
    bool failed_ = false;
    Shared* shared_ = nullptr;
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
        counts->endsWithBreak = n > 0 && isLineBreak(t[n - 1]);
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
    return readFile(defaultWindowBytes, 0, false);
}

int ColumnFile::ReadFile(size_t windowBytes, int threads)
{
    return readFile(windowBytes, std::max(threads, 1), false);
}

int ColumnFile::automaticThreads(size_t bytes)
{
    // A part smaller than this costs more in starting its thread than it saves.
    constexpr size_t minPartBytes = size_t(4) << 20;
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return int(std::clamp<size_t>(bytes / minPartBytes, 1, std::min<size_t>(cores, 64)));
}

namespace {

int64_t modificationTime(const struct stat& info)
{
    return int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// The end of the last line break among the bytes [from, size) of the file, or `from` when
// there is none.
size_t endOfLastLineBreak(int fd, size_t from, size_t size)
{
    char buffer[4096];
    for (size_t end = size; end > from;) {
        const size_t begin = end - std::min(end - from, sizeof buffer);
        ssize_t r;
        do
            r = ::pread(fd, buffer, end - begin, off_t(begin));
        while (r < 0 && errno == EINTR);
        if (r <= 0)
            return from;
        for (size_t i = size_t(r); i-- > 0;) {
            if (buffer[i] == '\n' || buffer[i] == '\r')
                return begin + i + 1;
        }
        end = begin;
    }
    return from;
}

} // namespace

int ColumnFile::readFile(size_t windowBytes, int threads, bool completeLines)
{
    clearColumns();
    readState_ = ReadState::notRead;
    resumeOffset_ = -1;
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
    stamp_ = Stamp{info.st_dev, info.st_ino, int64_t(info.st_size), modificationTime(info)};
    size_t size = size_t(info.st_size);
    // A line still being written is left for the next read.
    if (completeLines)
        size = endOfLastLineBreak(fd.get(), 0, size);
    TextSource source(fd.get(), size, path);
    try {
        const int result = readPasses(source, windowBytes, maxRows,
                                      threads > 0 ? threads : automaticThreads(size));
        rememberResumeBytes(fd.get());
        return result;
    } catch (const FileException& e) {
        if (e.cause() == FileException::Cause::generic) {
            clearColumns();
            readState_ = ReadState::fileError;
        }
        throw;
    }
}

void ColumnFile::rememberResumeBytes(int fd)
{
    resumeBytes_.clear();
    if (resumeOffset_ <= 0)
        return;
    char buffer[32];
    const size_t n = std::min(size_t(resumeOffset_), sizeof buffer);
    ssize_t r;
    do
        r = ::pread(fd, buffer, n, off_t(resumeOffset_ - int64_t(n)));
    while (r < 0 && errno == EINTR);
    if (r == ssize_t(n))
        resumeBytes_.assign(buffer, n);
    else
        resumeOffset_ = -1;
}

ColumnFile::FollowResult ColumnFile::Follow()
{
    const QByteArray localPath = QFile::encodeName(GetFullPath());
    FileDescriptor fd(localPath.isEmpty()
                          ? -1
                          : ::open(localPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        // Whatever comes back in its place is read whole.
        stamp_ = Stamp{};
        resumeOffset_ = -1;
        return FollowResult::missing;
    }
    const Stamp now{info.st_dev, info.st_ino, int64_t(info.st_size), modificationTime(info)};
    if (now == stamp_)
        return FollowResult::unchanged;
    const bool sameFile = now.device == stamp_.device && now.inode == stamp_.inode;
    // A writer that appends only ever makes the file longer.
    if (sameFile && readState_ == ReadState::read && resumeOffset_ >= 0 && now.size > stamp_.size &&
        now.size >= resumeOffset_) {
        // Appended rows leave the text before them as it was; a file rewritten in place is
        // read again whole.
        std::string before(resumeBytes_.size(), '\0');
        ssize_t r;
        do
            r = ::pread(fd.get(), before.data(), before.size(),
                        off_t(resumeOffset_ - int64_t(before.size())));
        while (r < 0 && errno == EINTR);
        if (r == ssize_t(before.size()) && before == resumeBytes_) {
            if (std::optional<FollowResult> result = readAppended(fd.get(), now))
                return *result;
        }
    }
    // Read beside the data held, which stay when the file is no longer a data file.
    ColumnFile fresh(GetFullPath());
    fresh.settings_ = settings_;
    try {
        if (!fresh.readFile(defaultWindowBytes, 0, true))
            return FollowResult::missing;
    } catch (const std::exception&) {
        if (fresh.GetNumColumns() > 0)
            takeDataOf(fresh); // a parse error keeps the rows before it
        else
            stamp_ = fresh.stamp_; // not read again until the file changes again
        throw;
    }
    takeDataOf(fresh);
    return FollowResult::reread;
}

void ColumnFile::takeDataOf(ColumnFile& other)
{
    columns_ = std::move(other.columns_);
    pointNumbers_.reset();
    readState_ = other.readState_;
    resumeOffset_ = other.resumeOffset_;
    resumeTextLines_ = other.resumeTextLines_;
    resumeBreak_ = other.resumeBreak_;
    resumeBytes_ = std::move(other.resumeBytes_);
    rules_ = std::move(other.rules_);
    columnNames_ = std::move(other.columnNames_);
    stamp_ = other.stamp_;
}

std::optional<ColumnFile::FollowResult> ColumnFile::readAppended(int fd, const Stamp& now)
{
    const size_t from = size_t(resumeOffset_);
    const size_t end = endOfLastLineBreak(fd, from, size_t(now.size));
    if (end == from) {
        stamp_ = now;
        return FollowResult::unchanged;
    }
    const int numColumns = GetNumColumns();
    TextSource whole(fd, end, GetFullPath());
    TextSource appended(whole, from, end);
    Window window(std::max(std::min(defaultWindowBytes, end - from + 1), LineReader::minWindow));
    LineReader reader(window.data(), window.capacity(), 0, &appended,
                      LineReader::Continuation{numColumns, resumeTextLines_, resumeBreak_},
                      rules_.get());
    std::vector<double> rows[LineReader::maxColumns];
    int64_t count = 0;
    while (reader.NextDataLine()) {
        for (int c = 0; c < numColumns; ++c)
            rows[c].push_back(reader.numbers()[c]);
        ++count;
    }
    // Data that broke off, or more rows than a column holds, are for a whole read to report.
    if (!reader.endedWithText() || appended.size() != end - from ||
        count > int64_t(maxRows) - GetNumPoints())
        return std::nullopt;
    if (count > 0) {
        pointNumbers_.reset();
        try {
            for (int c = 0; c < numColumns; ++c)
                columns_[size_t(c)]->Append(rows[c].data(), int(count));
        } catch (const MemoryException&) {
            clearColumns();
            readState_ = ReadState::memoryError;
            resumeOffset_ = -1;
            throw;
        }
    }
    stamp_ = now;
    resumeOffset_ = int64_t(end);
    resumeTextLines_ = reader.textLinesSinceRow();
    resumeBreak_ = reader.breakPending();
    rememberResumeBytes(fd);
    return count > 0 ? FollowResult::appended : FollowResult::unchanged;
}

int ColumnFile::ReadText(const char* data, size_t size)
{
    return ReadText(data, size, std::numeric_limits<size_t>::max());
}

int ColumnFile::ReadText(const char* data, size_t size, size_t windowBytes, int rowLimit,
                         int threads)
{
    clearColumns();
    readState_ = ReadState::notRead;
    resumeOffset_ = -1;
    TextSource source(data, size);
    return readPasses(source, windowBytes, rowLimit, threads);
}

namespace {

// Runs f(0) .. f(n - 1), f(0) on the calling thread and the others on threads of their own, and
// passes on the first exception any of them raised once all have ended. With a poll, all run
// on threads of their own while the calling thread polls every few hundredths of a second.
template <class F> void runParts(int n, const F& f, const std::function<void()>& poll = {})
{
    std::vector<std::exception_ptr> errors(static_cast<size_t>(n), nullptr);
    std::atomic<int> finished{0};
    auto guarded = [&](int k) {
        try {
            f(k);
        } catch (...) {
            errors[size_t(k)] = std::current_exception();
        }
        ++finished;
    };
    const int first = poll ? 0 : 1;
    std::vector<std::thread> threads;
    threads.reserve(size_t(n));
    try {
        for (int k = first; k < n; ++k)
            threads.emplace_back(guarded, k);
    } catch (const std::system_error&) {
        // No more threads to be had: the rest run here.
        for (int k = first + int(threads.size()); k < n; ++k)
            guarded(k);
    }
    if (poll) {
        while (finished < n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            poll();
        }
    } else {
        guarded(0);
    }
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& e : errors) {
        if (e)
            std::rethrow_exception(e);
    }
}

} // namespace

int ColumnFile::readPasses(TextSource& source, size_t windowBytes, int rowLimit, int threads)
{
    struct Watch
    {
        ReadProgress* watcher;
        Watch(ReadProgress* w, const QString& path) : watcher(w)
        {
            if (watcher)
                watcher->started(path);
        }
        ~Watch()
        {
            if (watcher)
                watcher->finished();
        }
    } watch(Installed<ReadProgress>::get(), GetFullPath());
    try {
        return readPassesWatched(source, windowBytes, rowLimit, threads);
    } catch (const ReadCancelled&) {
        clearColumns();
        readState_ = ReadState::notRead;
        resumeOffset_ = -1;
        throw;
    }
}

int ColumnFile::readPassesWatched(TextSource& source, size_t windowBytes, int rowLimit, int threads)
{
    columnNames_.clear();
    if (settings_.delimiter == ImportSettings::Delimiter::automatic) {
        // The delimiter is the one the start of the text uses.
        TextSource start(source, 0, std::min<size_t>(source.size(), 64 << 10));
        std::string sample(start.size(), '\0');
        bool ended = false;
        sample.resize(start.ReadUpTo(sample.data(), sample.size(), &ended));
        rules_ = settings_.rules(sample);
    } else {
        rules_ = settings_.rules();
    }
    int width = 0;
    if (rules_->widest) {
        width = widestRow(source, windowBytes);
        source.Rewind();
    }
    if (threads > 1) {
        if (const std::optional<int> result =
                readParts(source, windowBytes, rowLimit, threads, width))
            return *result;
        // The parts did not join as one pass would have read them: read the text in one.
        clearColumns();
        source.Rewind();
    }
    return *readParts(source, windowBytes, rowLimit, 1, width);
}

int ColumnFile::widestRow(TextSource& source, size_t windowBytes)
{
    Window window(std::max(std::min(windowBytes, source.size() + 1), LineReader::minWindow));
    LineReader reader(window.data(), window.capacity(), 0, &source, rules_.get());
    int width = reader.ok() ? reader.rowWidth() : 0;
    while (reader.NextDataLine())
        width = std::max(width, reader.rowWidth());
    return std::min(width, int(LineReader::maxColumns));
}

QString ColumnFile::GetColumnName(int n) const
{
    return n >= 0 && size_t(n) < columnNames_.size() ? columnNames_[size_t(n)] : QString();
}

QString ColumnFile::ColumnLabel(int n) const
{
    const QString name = GetColumnName(n - 1);
    return name.isEmpty() ? QString::number(n) : QStringLiteral("%1 (%2)").arg(n).arg(name);
}

std::optional<int> ColumnFile::readParts(TextSource& source, size_t windowBytes, int rowLimit,
                                         int partCount, int width)
{
    const LineReader::Rules* rules = rules_.get();
    // A part of the text between two line starts, counted and then parsed on its own thread.
    // Every part after the first goes on from a line start as after a data row.
    struct Part
    {
        std::optional<TextSource> source;
        std::optional<Window> window;
        size_t held = 0;
        bool whole = false;
        LineCounts counts;
        int offset = 0; // where its rows go in the columns, before they are joined
        int bound = 0;
        int rows = 0;
        int leadTextLines = 0; // before its first row
        int trailTextLines = 0;
        bool leadBreak = false;  // its first row is a curve break
        bool trailBreak = false; // a curve break was read after its last row
        bool hasRow = false;
        bool full = false;    // a row found no room: the text changed between the passes
        bool stopped = false; // the data ended inside the part
        int64_t consumed = 0;
    };

    // A read that is watched can be stopped at the next refill of any part.
    TextSource::Shared shared;
    std::function<void()> poll;
    if (ReadProgress* watcher = Installed<ReadProgress>::get()) {
        const int64_t total = 2 * int64_t(source.size());
        if (!watcher->progress(0, total))
            throw ReadCancelled();
        source.share(&shared);
        poll = [watcher, &shared, total] {
            if (!watcher->progress(shared.done, total))
                shared.cancelled = true;
        };
    }

    std::vector<size_t> starts{0};
    for (int k = 1; k < partCount; ++k) {
        const size_t at = source.lineStartFrom(source.size() / size_t(partCount) * size_t(k));
        if (at > starts.back() && at < source.size())
            starts.push_back(at);
    }
    std::vector<Part> parts(starts.size());
    const int n = int(parts.size());
    try {
        for (int k = 0; k < n; ++k) {
            const size_t end = k + 1 < n ? starts[size_t(k) + 1] : source.size();
            parts[size_t(k)].source.emplace(source, starts[size_t(k)], end);
            // At most one byte more than the text, so that a text that fits is held whole.
            parts[size_t(k)].window.emplace(std::max(
                std::min(windowBytes, end - starts[size_t(k)] + 1), LineReader::minWindow));
        }
    } catch (const MemoryException&) {
        readState_ = ReadState::memoryError;
        throw;
    }

    // The first pass, then the second from the start of each part, unless it is held whole.
    runParts(
        n,
        [&](int k) {
            Part& p = parts[size_t(k)];
            p.whole = countText(*p.source, *p.window, &p.counts, &p.held);
            if (!p.whole) {
                p.source->Rewind();
                p.held = 0;
            }
        },
        poll);
    int64_t lineBreaks = 0, rowBound = 0;
    for (Part& p : parts) {
        // An empty line that breaks the curve may become a row of its own.
        if (rules->breakLines)
            p.counts.rowBound = p.counts.lineBreaks + 1;
        lineBreaks += p.counts.lineBreaks;
        rowBound += p.counts.rowBound;
    }
    if (n > 1 && rowBound >= rowLimit)
        return std::nullopt;

    Part& first = parts.front();
    std::optional<LineReader> header;
    header.emplace(first.window->data(), first.window->capacity(), first.held,
                   first.whole ? nullptr : &*first.source, rules);
    if (!header->ok()) {
        // The header may lie beyond the first part.
        if (n > 1)
            return std::nullopt;
        readState_ = ReadState::notDataFile;
        throw FileException(FileException::Cause::invalidFile, GetFullPath());
    }
    header->widen(width);
    const int numColumns = header->numColumns();
    if (rules->headerLine > 0) {
        for (const QString& name : columnNamesOf(header->headerText(), *rules))
            columnNames_.push_back(name);
    }
    int64_t offset = 0;
    for (Part& p : parts) {
        p.offset = int(offset);
        p.bound =
            int(&p == &first ? std::clamp<int64_t>(p.counts.rowBound, 1, std::max(rowLimit, 1))
                             : p.counts.rowBound);
        offset += p.bound;
    }
    const int bound = int(offset);
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

    runParts(
        n,
        [&](int k) {
            Part& p = parts[size_t(k)];
            std::optional<LineReader> continued;
            if (k > 0)
                continued.emplace(p.window->data(), p.window->capacity(), p.held,
                                  p.whole ? nullptr : &*p.source,
                                  LineReader::Continuation{numColumns, 0}, rules);
            LineReader& reader = k == 0 ? *header : *continued;
            // The first part has its first row at hand.
            for (bool atHand = k == 0; atHand || reader.NextDataLine(); atHand = false) {
                if (!p.hasRow) {
                    p.hasRow = true;
                    p.leadTextLines = reader.textLinesBeforeRow();
                    p.leadBreak = reader.isBreakRow();
                }
                if (p.rows == p.bound) {
                    p.full = true;
                    break;
                }
                const double* values = reader.numbers();
                for (int c = 0; c < numColumns; ++c)
                    out[c][p.offset + p.rows] = values[c];
                ++p.rows;
            }
            p.consumed = reader.linesConsumed();
            p.stopped = p.full || !reader.endedWithText();
            p.trailTextLines = reader.textLinesSinceRow();
            p.trailBreak = reader.breakPending();
            if (!p.hasRow)
                p.leadTextLines = p.trailTextLines;
        },
        poll);

    // The parts joined as one pass over the text reads them: rows close up, and a run of text
    // lines may go on from one part into the next.
    int rows = first.rows;
    int64_t consumed = first.consumed;
    bool stopped = first.stopped, full = first.full;
    int textLines = first.trailTextLines;
    bool breakPending = first.trailBreak;
    size_t textSize = first.source->size();
    for (int k = 1; k < n && !stopped; ++k) {
        const Part& p = parts[size_t(k)];
        if (textLines + p.leadTextLines > LineReader::maxTextLines) {
            clearColumns();
            return std::nullopt;
        }
        // A break read at the end of the parts before is a row of its own before this part's
        // first; the empty line it came from left room for it.
        if (breakPending && p.hasRow && !p.leadBreak) {
            if (rows >= p.offset) {
                clearColumns();
                return std::nullopt;
            }
            for (int c = 0; c < numColumns; ++c)
                out[c][rows] = std::numeric_limits<double>::quiet_NaN();
            ++rows;
        }
        breakPending = p.hasRow ? p.trailBreak : breakPending || p.trailBreak;
        for (int c = 0; c < numColumns && p.offset != rows; ++c)
            std::memmove(out[c] + rows, out[c] + p.offset, size_t(p.rows) * sizeof(double));
        rows += p.rows;
        consumed += p.consumed;
        stopped = p.stopped;
        full = p.full;
        textLines = p.hasRow ? p.trailTextLines : textLines + p.leadTextLines;
        textSize += p.source->size();
    }
    // Fewer lines taken than line breaks: something after the data was not read.
    const bool brokenOff = full || consumed < lineBreaks;
    // The text can be followed from its end when it ended in a line break after the data.
    const bool resumable =
        !stopped && textSize == source.size() && parts.back().counts.endsWithBreak;
    resumeOffset_ = resumable ? int64_t(textSize) : -1;
    resumeTextLines_ = textLines;
    resumeBreak_ = breakPending;

    header.reset();
    parts.clear();
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
    ColumnFile fresh(GetFullPath());
    fresh.settings_ = settings_;
    int result = 0;
    try {
        result = fresh.ReadFile();
    } catch (const ReadCancelled&) {
        throw;
    } catch (...) {
        takeDataOf(fresh);
        throw;
    }
    takeDataOf(fresh);
    return result;
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
    } catch (const ReadCancelled&) {
        throw;
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
        settings_ = ImportSettingsScope::forPath(GetFullPath());
        ReadFileRecorded();
        // A relative path (stored by an older save) names the file found from the current
        // directory; it is kept absolute from now on.
        const QFileInfo found(GetFullPath());
        if (!IsMissing() && found.isRelative())
            SetPath(found.absoluteFilePath());
    }
}
