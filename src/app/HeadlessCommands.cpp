#include "app/CommandLine.h"
#include "app/DocumentIO.h"
#include "doc/DocumentDescription.h"
#include "doc/DocumentFile.h"
#include "doc/VaneDoc.h"
#include "platform/Exceptions.h"
#include "view/PageExport.h"

#include <QFileInfo>
#include <QTextStream>
#include <new>

namespace {

void fail(QTextStream& err, const QString& message)
{
    QString line = message.simplified();
    err << "plotvane: " << line << Qt::endl;
}

} // namespace

int runExport(const CommandLine& commandLine, QTextStream& err)
{
    const QString& out = commandLine.output;
    const QString suffix = QFileInfo(out).suffix().toLower();
    const bool document = suffix == QLatin1String("pvn");
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("svg") &&
        suffix != QLatin1String("png") && !document) {
        fail(err, QStringLiteral("cannot export to '%1': the file name must end in .pdf, .svg, "
                                 ".png or .pvn")
                      .arg(out));
        return 1;
    }
    if (commandLine.dpi != 0 &&
        (commandLine.dpi < PageExport::minDpi || commandLine.dpi > PageExport::maxDpi)) {
        fail(err, QStringLiteral("--dpi %1 is outside %2 to %3")
                      .arg(commandLine.dpi)
                      .arg(PageExport::minDpi)
                      .arg(PageExport::maxDpi));
        return 1;
    }
    const QString& in = commandLine.files.value(0);
    try {
        QString error;
        std::unique_ptr<VaneDoc> doc = DocumentIO::openForCommandLine(in, &error);
        if (!doc) {
            fail(err, error);
            return 1;
        }
        if (document)
            saveDocument(*doc, out); // a failure leaves an existing file as it was
        else
            exportPage(*doc, out, commandLine.dpi);
    } catch (const FileException& e) {
        fail(err, QStringLiteral("cannot write '%1': %2")
                      .arg(e.fileName(),
                           e.detail().isEmpty() ? QStringLiteral("file error") : e.detail()));
        return 1;
    } catch (const std::bad_alloc&) {
        fail(err, QStringLiteral("not enough memory to export '%1'").arg(in));
        return 1;
    } catch (const PlotvaneException& e) {
        fail(err, QStringLiteral("cannot export '%1': %2").arg(in, QString::fromUtf8(e.what())));
        return 1;
    }
    return 0;
}

int runDescribe(const CommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    return describeCommand(commandLine.files.value(0), commandLine.values, out, err);
}
