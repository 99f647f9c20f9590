#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// A file that is written whole or not at all, for saves and exports. A regular file (or one that
// does not exist yet) is written as a new file beside it, which replaces it by rename on
// commit(): until then the old file stays as it was, and a failed or abandoned output leaves
// nothing behind. A symbolic link keeps pointing at the file it named, now the new one, and the
// replacement keeps the old file's permissions. Anything else that exists - a device, a FIFO, a
// terminal - is written straight into and never replaced; a FIFO that no process reads is
// refused rather than waited for.
//
// Every write, the flush to disk, the close and the rename are checked. Writes after the first
// failure fail at once (the painters and image writers that write here often ignore what write()
// returns), and commit() raises that first failure.
class OutputFile : public QIODevice
{
public:
    explicit OutputFile(QString path);
    ~OutputFile() override;

    const QString& path() const { return path_; }

    // Opens the output for writing. Raises FileException naming the path, with the cause of the
    // failure: accessDenied where the place may not be written (also for a directory), badPath
    // where the directory does not exist, generic otherwise (a FIFO without a reader).
    void create();
    // Writes what is still held back and makes the output final. Raises FileException with the
    // first failure of any write, of the flush to disk, the close or the rename: diskFull when
    // the disk filled, accessDenied, generic otherwise; the old file is then as it was.
    void commit();
    // Raises the first failure met so far, if any (as commit() would).
    void checkWrites() const;
    // Removes the new files of every output not yet committed, for a program that must end at
    // once without running destructors. Allocates nothing.
    static void discardUnfinished() noexcept;
    // True when the output goes straight into a device or FIFO instead of replacing a file.
    bool writesInPlace() const { return inPlace_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    void openInPlace(const QByteArray& node);
    bool writeAll(const char* data, qint64 size);
    bool flushBuffer();
    bool fail(int error, const char* step);
    [[noreturn]] void raise(int error, const char* step) const;

    QString path_;
    QByteArray target_; // the file replaced on commit
    QByteArray temp_;   // the new file beside it; removed unless renamed
    int fd_ = -1;
    bool inPlace_ = false;
    bool renamed_ = false;
    int error_ = 0; // errno of the first failure, 0 while there is none
    const char* failedStep_ = "";
    QByteArray buffer_; // written in chunks rather than in the many small pieces that come in
};
