#include "app/DocumentIO.h"

#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "platform/Strings.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DocumentIO {

std::unique_ptr<PlotDocument> open(const QString& path)
{
    return openDocumentReporting(path);
}

bool save(PlotDocument& doc, const QString& path)
{
    return saveDocumentReporting(doc, path);
}

std::unique_ptr<PlotDocument> openForCommandLine(const QString& path, QString* error)
{
    if (const QString problem = inputProblem(path); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return nullptr;
    }
    return ::openForCommandLine(path, error);
}

bool isPlotDocument(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("pvn"), Qt::CaseInsensitive) == 0)
        return true;
    // Compound files say so in their first eight bytes. The open does not wait for a FIFO's
    // writer, and only a regular file is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {};
    char head[8] = {};
    const bool compound = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                          ::read(fd, head, sizeof head) == ssize_t(sizeof head) &&
                          QByteArray(head, sizeof head) == "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    ::close(fd);
    return compound;
}

QString inputProblem(const QString& path)
{
    struct stat st
    {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (path.isEmpty() || errno == ENOENT)
            return QStringLiteral("'%1' does not exist").arg(path);
        return QStringLiteral("cannot open '%1': %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("'%1' is a directory").arg(path);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("%1: %2").arg(path, loadString(Str::NotDataFile));
    return {};
}

} // namespace DocumentIO
