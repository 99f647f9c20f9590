#include "doc/ui/DocumentDialogs.h"

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
