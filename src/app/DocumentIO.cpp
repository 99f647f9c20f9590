#include "app/DocumentIO.h"

#include "doc/VaneDoc.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"

#include <QFile>
#include <QFileInfo>

namespace DocumentIO {

std::unique_ptr<VaneDoc> open(const QString& path)
{
    (void)path;
    ShowFileMessage(Str::FailedToOpenDoc);
    return nullptr;
}

bool save(VaneDoc& doc, const QString& path)
{
    (void)doc;
    (void)path;
    ShowFileMessage(Str::FailedToSaveDoc);
    return false;
}

std::unique_ptr<VaneDoc> openForCommandLine(const QString& path, QString* error)
{
    if (error)
        *error = QStringLiteral("cannot open '%1'").arg(path);
    return nullptr;
}

bool isPlotDocument(const QString& path)
{
    // Plot documents are compound files; their first eight bytes say so.
    if (QFileInfo(path).suffix().compare(QLatin1String("pvn"), Qt::CaseInsensitive) == 0)
        return true;
    static const QByteArray signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(8) == signature;
}

} // namespace DocumentIO
