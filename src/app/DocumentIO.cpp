#include "app/DocumentIO.h"

#include "data/ColumnFile.h"
#include "doc/VaneDoc.h"
#include "platform/Exceptions.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"
#include "traces/TraceEditors.h"

#include <QFile>
#include <QFileInfo>
#include <new>

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

namespace {

// Keeps the trace dialogs closed while a file named on the command line is plotted.
class NoTraceEditors
{
public:
    NoTraceEditors() : previous_(TraceEditors::instance()) { TraceEditors::setInstance(nullptr); }
    ~NoTraceEditors() { TraceEditors::setInstance(previous_); }
    NoTraceEditors(const NoTraceEditors&) = delete;
    NoTraceEditors& operator=(const NoTraceEditors&) = delete;

private:
    TraceEditors* previous_;
};

QString readFailure(const QString& path, ColumnFile::ReadState state)
{
    switch (state) {
    case ColumnFile::ReadState::cannotOpen:
        return QFileInfo::exists(path) ? QStringLiteral("cannot read '%1'").arg(path)
                                       : QStringLiteral("'%1' does not exist").arg(path);
    case ColumnFile::ReadState::notDataFile:
        return QStringLiteral("'%1' is not a data file (no numbers among its first four lines)")
            .arg(path);
    case ColumnFile::ReadState::memoryError:
        return QStringLiteral("not enough memory to read '%1'").arg(path);
    default:
        return QStringLiteral("cannot read '%1'").arg(path);
    }
}

std::unique_ptr<VaneDoc> plotDataFile(const QString& path, QString* error)
{
    auto file = std::make_unique<ColumnFile>(QFileInfo(path).absoluteFilePath());
    try {
        if (file->ReadFile() == 0) {
            *error = readFailure(path, ColumnFile::ReadState::cannotOpen);
            return nullptr;
        }
    } catch (const std::exception&) {
        // Rows read before a parse error are plotted, as Open Data File does.
        if (file->GetReadState() != ColumnFile::ReadState::parseError ||
            file->GetNumPoints() == 0) {
            *error = readFailure(path, file->GetReadState());
            return nullptr;
        }
    }
    auto doc = std::make_unique<VaneDoc>();
    ColumnFile* held = file.release();
    doc->GetFiles().AddUnique(held);
    NoTraceEditors noDialogs;
    doc->NewTrace(held);
    doc->SetModifiedFlag(true);
    return doc;
}

} // namespace

std::unique_ptr<VaneDoc> openForCommandLine(const QString& path, QString* error)
{
    QString reason;
    std::unique_ptr<VaneDoc> doc;
    try {
        if (isPlotDocument(path))
            reason = QStringLiteral("cannot open the plot document '%1'").arg(path);
        else
            doc = plotDataFile(path, &reason);
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("not enough memory to open '%1'").arg(path);
    } catch (const PlotvaneException&) {
        reason = QStringLiteral("cannot open '%1'").arg(path);
    }
    if (!doc && error)
        *error = reason;
    return doc;
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
