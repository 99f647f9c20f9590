#pragma once

#include "data/DataColumn.h"
#include "data/FileName.h"
#include "data/ImportSettings.h"
#include "platform/Exceptions.h"
#include "platform/Persistent.h"

#include <QString>
#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Watches the reads of data files, on the thread that started them: a long read can be shown
// and stopped. Installed for everyone (Installed<ReadProgress>); none is installed by default.
class ReadProgress
{
public:
    virtual ~ReadProgress() = default;
    // Before a read of the file at path, and after it, whatever its outcome.
    virtual void started(const QString& path) = 0;
    virtual void finished() = 0;
    // done of total bytes are read (each pass over the text counts); called at the start and
    // then every few hundredths of a second. False stops the read: it raises ReadCancelled.
    virtual bool progress(int64_t done, int64_t total) = 0;
};

// A read stopped through its ReadProgress. Reread keeps the data held before; ReadFile leaves
// the file without columns, as not read.
class ReadCancelled : public PlotvaneException
{
public:
    ReadCancelled() : PlotvaneException(QStringLiteral("read cancelled")) {}
};

// An ASCII column data file read whole into columns of doubles. Shared by every trace that
// plots from it; the document's data file list owns it. The text on disk is never written and
// not kept open.
class ColumnFile : public Persistent
{
    PV_DECLARE_SERIAL(ColumnFile)

public:
    // How the last read ended, for the commands that report it.
    enum class ReadState {
        notRead,
        read,
        cannotOpen,  // ReadFile returned 0
        notDataFile, // no data line among the first four non-empty lines: nothing kept
        parseError,  // the data broke off: the rows before it are kept
        fileError,   // the file could not be read
        memoryError,
    };

    ColumnFile() = default;
    // No reading happens here.
    explicit ColumnFile(const QString& path) { SetPath(path); }
    ~ColumnFile() override;
    ColumnFile(const ColumnFile&) = delete;
    ColumnFile& operator=(const ColumnFile&) = delete;

    // A column holds at most this many rows. The rows of a longer file beyond it are not read,
    // and the read ends as when the data break off (see ReadFile).
    static constexpr int maxRows = std::numeric_limits<int>::max();

    // Reads the file named by the path, replacing the columns held. Returns nonzero when the
    // file was read, 0 when it could not be opened or is a directory (no message). Raises
    // FileException (accessDenied) for a FIFO, a device or a socket, which are never waited on,
    // FileException (invalidFile) for a text that is not a data file or whose data break off
    // (the rows before the break are then kept), FileException (generic) for a failed read and
    // MemoryException when the columns cannot be had.
    // The file is not held whole: it passes twice through a window of half a megabyte, once to
    // count its lines, which sizes the columns, and once to fill them; a file that fits in the
    // window is read once. A large file is split at line starts into parts read at once on
    // threads of their own, with the same rows and the same outcome as one pass. Only as many
    // bytes as the file held when opened are read. A file that changes between the passes is
    // read soundly: rows beyond those counted are not kept and end the read in a parse error,
    // as do counted lines that are no longer there.
    int ReadFile();
    // The same through windows of windowBytes, at least LineReader::minWindow and at most the
    // file's size plus one, on the given number of threads; tests use small windows to move
    // the refills over every part of a line, and compare thread counts.
    int ReadFile(size_t windowBytes, int threads = 1);
    static constexpr size_t defaultWindowBytes = size_t(512) << 10;
    // The threads ReadFile uses for a text of so many bytes.
    static int automaticThreads(size_t bytes);
    // The same over a text in memory, named by the path for messages (tests, fuzzing). The
    // text is copied into one window that holds it whole.
    int ReadText(const char* text, size_t size);
    // The same through windows of windowBytes, refilled from the text as a file's would be,
    // into columns of at most rowLimit rows, on the given number of threads.
    int ReadText(const char* text, size_t size, size_t windowBytes, int rowLimit = maxRows,
                 int threads = 1);

    enum class FollowResult {
        unchanged, // the file is as it was read, or only a line still being written was added
        appended,  // rows written after the data were added to the columns
        reread,    // the file was read again whole
        missing,   // no file is at the path: the data read last are kept
    };
    // Brings the columns up to date with the file as it is now. Rows appended after a text that
    // ended in a line break are read from there on, without reading the rest again; a file that
    // was replaced, shrank or changed otherwise is read whole. Either way a last line without a
    // line break is taken to be still being written and is left for the next call. The
    // exceptions are ReadFile's, but a file that is no longer a data file keeps the data held.
    FollowResult Follow();
    // Reads the file again; exceptions pass through. The data held stay until the new are read,
    // and stay when the read is cancelled.
    int Reread();
    // ReadFile for loading: what the read raises is not passed on but kept in the read state,
    // for the document to report once it is loaded; only ReadCancelled passes, to end the load.
    // Returns what ReadFile returned, or 0.
    int ReadFileRecorded();

    // The number of rows; 0 without columns.
    int GetNumPoints() const { return columns_.empty() ? 0 : columns_.front()->GetSize(); }
    int GetNumColumns() const { return int(columns_.size()); }
    // Column n (0-based), null for n at or above the number of columns; a negative n gives the
    // point numbers 1, 2, ..., built on first use and kept until the next read. Not owned;
    // invalid after the next read.
    DataColumn* GetColumn(int n);

    // How the file is read; the next read takes them.
    const ImportSettings& GetImportSettings() const { return settings_; }
    void SetImportSettings(const ImportSettings& settings) { settings_ = settings; }
    // The name of column n (0-based) from the header line of the last read; empty when the
    // settings name no header line or it has no field for the column.
    QString GetColumnName(int n) const;
    // "3" or "3 (time)": column n (1-based, 0 the point number) as shown where it is chosen.
    QString ColumnLabel(int n) const;

    const FileName& GetFileName() const { return fileName_; }
    QString GetFullPath() const { return fileName_.GetFullPath(); }
    void SetPath(const QString& path) { fileName_.SetPath(path); }

    ReadState GetReadState() const { return readState_; }
    // No file was found at the path (or none looked for yet): the document looks elsewhere. A
    // file that is there but could not be read is not missing.
    bool IsMissing() const
    {
        return readState_ == ReadState::notRead || readState_ == ReadState::cannotOpen;
    }

    // The record is the file name's: directory, then file name. Loading reads the data file at
    // once (ReadFileRecorded); a failed read does not end the load: the file then has no
    // columns or, after a parse error, the rows before it, and GetReadState() says which.
    void Serialize(Archive& ar) override;

    // While a document is put back to an earlier state of its own: the files it held. A file
    // whose record is read takes the columns of a held file of the same path instead of reading
    // the disk again; each held file gives its columns once. Not owned; null reads every file.
    static void setHeldFiles(std::vector<std::unique_ptr<ColumnFile>>* files);

private:
    bool takeHeldColumns();
    class TextSource;
    // What identifies the file as it was when read last: a writer that appends changes only
    // its size and time.
    struct Stamp
    {
        dev_t device = 0;
        ino_t inode = 0;
        int64_t size = -1;
        int64_t modified = 0; // nanoseconds
        bool operator==(const Stamp&) const = default;
    };
    void clearColumns();
    int readFile(size_t windowBytes, int threads, bool completeLines);
    // The columns and read state of another file of the same path.
    void takeDataOf(ColumnFile& other);
    // Keeps the bytes before the resume offset, to see whether they are still there.
    void rememberResumeBytes(int fd);
    // The rows after the resume offset, up to the last line break; no result when the file
    // must be read whole.
    std::optional<FollowResult> readAppended(int fd, const Stamp& now);
    // Both passes over the text of the source through a window of windowBytes.
    int readPasses(TextSource& source, size_t windowBytes, int rowLimit, int threads);
    int readPassesWatched(TextSource& source, size_t windowBytes, int rowLimit, int threads);
    // The passes over partCount parts of the text at once, joined as one pass reads them; no
    // result when they do not join that simply (the columns are then dropped).
    std::optional<int> readParts(TextSource& source, size_t windowBytes, int rowLimit,
                                 int partCount, int width);
    // The number of values of the widest row, for settings that take it as the column count.
    int widestRow(TextSource& source, size_t windowBytes);

    FileName fileName_;
    std::vector<std::unique_ptr<DataColumn>> columns_;
    std::unique_ptr<DataColumn> pointNumbers_;
    ReadState readState_ = ReadState::notRead;
    // Where the text read last ended in a line break after the data, so that rows appended
    // later can be read from there; -1 when they cannot. The text lines read since the last
    // data row go with it.
    int64_t resumeOffset_ = -1;
    int resumeTextLines_ = 0;
    bool resumeBreak_ = false;
    std::string resumeBytes_;
    ImportSettings settings_;
    // Those of the last read, with its automatic choices made.
    std::shared_ptr<const LineReader::Rules> rules_;
    std::vector<QString> columnNames_;
    Stamp stamp_;
};
