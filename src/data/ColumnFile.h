#pragma once

#include "data/DataColumn.h"
#include "data/FileName.h"
#include "platform/Persistent.h"

#include <QString>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

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
    // window is read once. Only as many bytes as the file held when opened are read. A file
    // that changes between the passes is read soundly: rows beyond those counted are not kept
    // and end the read in a parse error, as do counted lines that are no longer there.
    int ReadFile();
    // The same through a window of windowBytes, at least LineReader::minWindow and at most the
    // file's size plus one; tests use small windows to move the refills over every part of a
    // line.
    int ReadFile(size_t windowBytes);
    static constexpr size_t defaultWindowBytes = size_t(512) << 10;
    // The same over a text in memory, named by the path for messages (tests, fuzzing). The
    // text is copied into one window that holds it whole.
    int ReadText(const char* text, size_t size);
    // The same through a window of windowBytes, refilled from the text as a file's would be,
    // into columns of at most rowLimit rows.
    int ReadText(const char* text, size_t size, size_t windowBytes, int rowLimit = maxRows);
    // Drops the columns and reads the file again; exceptions pass through.
    int Reread();
    // ReadFile for loading: what the read raises is not passed on but kept in the read state,
    // for the document to report once it is loaded. Returns what ReadFile returned, or 0.
    int ReadFileRecorded();

    // The number of rows; 0 without columns.
    int GetNumPoints() const { return columns_.empty() ? 0 : columns_.front()->GetSize(); }
    int GetNumColumns() const { return int(columns_.size()); }
    // Column n (0-based), null for n at or above the number of columns; a negative n gives the
    // point numbers 1, 2, ..., built on first use and kept until the next read. Not owned;
    // invalid after the next read.
    DataColumn* GetColumn(int n);

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
    void clearColumns();
    // Both passes over the text of the source through a window of windowBytes.
    int readPasses(TextSource& source, size_t windowBytes, int rowLimit);

    FileName fileName_;
    std::vector<std::unique_ptr<DataColumn>> columns_;
    std::unique_ptr<DataColumn> pointNumbers_;
    ReadState readState_ = ReadState::notRead;
};
