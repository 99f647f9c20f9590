#include "platform/OutputFile.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype chunk = 64 * 1024;

QByteArray directoryOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file a path finally names when it does not exist yet: a dangling symbolic link names the
// file to create, so that the link stays a link. Relative links count from their own directory.
QByteArray followLinks(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n <= 0 || n >= link.size())
            return path;
        link.truncate(n);
        path = link.startsWith('/') ? link : directoryOf(path) + '/' + link;
    }
    return path;
}

// The outputs whose new files exist; the program runs them on one thread.
std::vector<const OutputFile*>& unfinished()
{
    static std::vector<const OutputFile*> outputs;
    return outputs;
}

} // namespace

OutputFile::OutputFile(QString path) : path_(std::move(path)) {}

OutputFile::~OutputFile()
{
    std::erase(unfinished(), this);
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.isEmpty() && !renamed_)
        ::unlink(temp_.constData());
}

void OutputFile::create()
{
    const QByteArray given = QFile::encodeName(path_);
    if (given.isEmpty())
        raise(ENOENT, "open");
    struct stat st
    {};
    bool exists = false;
    if (::stat(given.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            raise(EISDIR, "open");
        if (!S_ISREG(st.st_mode)) {
            openInPlace(given);
            return;
        }
        exists = true;
        // Through a link the file behind it is replaced, not the link.
        if (char* real = ::realpath(given.constData(), nullptr)) {
            target_ = real;
            std::free(real);
        } else {
            target_ = given;
        }
    } else if (errno == ENOENT) {
        target_ = followLinks(given);
    } else {
        raise(errno, "open");
    }

    const QByteArray dir = directoryOf(target_);
    // Room for the decoration within the file system's name limit.
    const QByteArray base = target_.mid(target_.lastIndexOf('/') + 1).left(200);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QByteArray candidate =
            dir + "/." + base + '-' +
            QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = candidate;
            unfinished().push_back(this);
        } else if (errno != EEXIST) {
            raise(errno, "create");
        }
    }
    if (fd_ < 0)
        raise(EEXIST, "create");
    // The replacement keeps the old file's permissions; where the file system cannot store
    // them, the new file keeps the default ones.
    if (exists)
        (void)::fchmod(fd_, st.st_mode & 07777);
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void OutputFile::openInPlace(const QByteArray& node)
{
    // Only the open must not wait: a FIFO that nobody reads fails with ENXIO instead.
    const int fd = ::open(node.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO)
            throw FileException(FileException::Cause::generic, path_,
                                QStringLiteral("no process reads from it"));
        raise(errno, "open");
    }
    fd_ = fd;
    // Writes then wait for a slow reader like any pipe.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags != -1)
        (void)::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    inPlace_ = true;
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 OutputFile::readData(char*, qint64)
{
    return -1;
}

qint64 OutputFile::writeData(const char* data, qint64 size)
{
    if (error_ != 0 || fd_ < 0)
        return -1;
    if (buffer_.size() + size > chunk && !flushBuffer())
        return -1;
    if (size >= chunk)
        return writeAll(data, size) ? size : -1;
    buffer_.append(data, size);
    return size;
}

bool OutputFile::writeAll(const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size_t(std::min<qint64>(size, chunk)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno, "write");
        }
        if (n == 0)
            return fail(ENOSPC, "write");
        data += n;
        size -= n;
    }
    return true;
}

bool OutputFile::flushBuffer()
{
    const bool written = writeAll(buffer_.constData(), buffer_.size());
    buffer_.clear();
    return written;
}

bool OutputFile::fail(int error, const char* step)
{
    if (error_ == 0) {
        error_ = error;
        failedStep_ = step;
    }
    return false;
}

void OutputFile::raise(int error, const char* step) const
{
    throw FileException(
        FileException::causeOfErrno(error), path_,
        QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(strerror(error))));
}

void OutputFile::discardUnfinished() noexcept
{
    for (const OutputFile* output : unfinished()) {
        if (!output->renamed_)
            ::unlink(output->temp_.constData());
    }
}

void OutputFile::checkWrites() const
{
    if (error_ != 0)
        raise(error_, failedStep_);
}

void OutputFile::commit()
{
    if (fd_ < 0 && error_ == 0)
        fail(EBADF, "write");
    if (error_ == 0)
        flushBuffer();
    if (error_ == 0 && !inPlace_ && ::fsync(fd_) != 0)
        fail(errno, "sync");
    if (fd_ >= 0) {
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 && errno != EINTR)
            fail(errno, "close");
    }
    QIODevice::close();
    if (error_ != 0)
        raise(error_, failedStep_);
    if (inPlace_)
        return;
    if (::rename(temp_.constData(), target_.constData()) != 0)
        raise(errno, "rename");
    renamed_ = true;
    // Makes the rename itself durable; the file is already complete if this fails.
    const int dirFd = ::open(directoryOf(target_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}
