#pragma once

#include <QString>
#include <cerrno>
#include <exception>

// The failures that cross layers. Readers, writers and allocations raise them; the command
// that started the work catches them and turns them into one message.

class PlotvaneException : public std::exception
{
public:
    explicit PlotvaneException(QString detail = {}) : detail_(std::move(detail)) {}
    const char* what() const noexcept override
    {
        return whatText_.isEmpty() ? "Plotvane error" : whatText_.constData();
    }
    // Free text for diagnostics (never shown in place of a string table message).
    const QString& detail() const { return detail_; }

protected:
    void setWhat(const QString& text) { whatText_ = text.toUtf8(); }

private:
    QString detail_;
    QByteArray whatText_;
};

class FileException : public PlotvaneException
{
public:
    enum class Cause {
        none = 0,
        generic = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };
    explicit FileException(Cause cause, QString fileName = {}, QString detail = {})
        : PlotvaneException(std::move(detail)), cause_(cause), fileName_(std::move(fileName))
    {
        setWhat(QStringLiteral("file exception, cause %1: %2").arg(int(cause_)).arg(fileName_));
    }
    // The cause of a failed system call's errno; a missing file is fileNotFound when reading,
    // else the path is bad.
    static Cause causeOfErrno(int error, bool reading = false)
    {
        switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            return Cause::accessDenied;
        case ENOENT:
            return reading ? Cause::fileNotFound : Cause::badPath;
        case ENOTDIR:
        case ENAMETOOLONG:
            return Cause::badPath;
        case ENOSPC:
        case EDQUOT:
            return Cause::diskFull;
        case EMFILE:
        case ENFILE:
            return Cause::tooManyOpenFiles;
        default:
            return Cause::generic;
        }
    }
    Cause cause() const { return cause_; }
    const QString& fileName() const { return fileName_; }

private:
    Cause cause_;
    QString fileName_;
};

class ArchiveException : public PlotvaneException
{
public:
    enum class Cause {
        none = 0,
        generic = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };
    explicit ArchiveException(Cause cause, QString detail = {})
        : PlotvaneException(std::move(detail)), cause_(cause)
    {
        setWhat(
            QStringLiteral("archive exception, cause %1: %2").arg(int(cause_)).arg(this->detail()));
    }
    Cause cause() const { return cause_; }

private:
    Cause cause_;
};

class MemoryException : public PlotvaneException
{
public:
    using PlotvaneException::PlotvaneException;
};

class ResourceException : public PlotvaneException
{
public:
    using PlotvaneException::PlotvaneException;
};
