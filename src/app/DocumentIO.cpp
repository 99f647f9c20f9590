#include "app/DocumentIO.h"

#include "doc/DocumentFile.h"
#include "doc/VaneDoc.h"

namespace DocumentIO {

std::unique_ptr<VaneDoc> open(const QString& path)
{
    return openDocumentReporting(path);
}

bool save(VaneDoc& doc, const QString& path)
{
    return saveDocumentReporting(doc, path);
}

std::unique_ptr<VaneDoc> openForCommandLine(const QString& path, QString* error)
{
    return ::openForCommandLine(path, error);
}

bool isPlotDocument(const QString& path)
{
    return isPlotDocumentFile(path);
}

} // namespace DocumentIO
