#include "doc/ui/DocumentDialogs.h"

#include "doc/ui/ImportDialog.h"
#include "page/visibleobject.h"
#include "platform/ui/FormatObjectDialog.h"

#include <QApplication>

namespace {

visibleobject* run(FormatObjectDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted ? static_cast<visibleobject*>(dialog.chosenObject())
                                              : nullptr;
}

} // namespace

visibleobject* DocumentDialogs::chooseObject(const StringObMap& objects)
{
    FormatObjectDialog dialog(objects, QApplication::activeWindow());
    return run(dialog);
}

visibleobject* DocumentDialogs::chooseDataSet(const StringObMap& traces)
{
    FormatObjectDialog dialog(traces, QObject::tr("Select Data Set..."), QObject::tr("Data sets:"),
                              true, QApplication::activeWindow());
    return run(dialog);
}

bool DocumentDialogs::importSettings(const QString& path, ImportSettings& settings)
{
    ImportDialog dialog(path, settings, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.settings();
    return true;
}
