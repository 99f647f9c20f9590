#include "doc/ui/DocumentDialogs.h"

#include "doc/ui/FormatObjectDialog.h"

#include <QApplication>

namespace {

visibleobject* run(FormatObjectDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted ? dialog.chosenObject() : nullptr;
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

visibleobject* DocumentDialogs::chooseAxis(const StringObMap& axes)
{
    FormatObjectDialog dialog(axes, QObject::tr("Select Axis..."), QObject::tr("Axes:"), true,
                              QApplication::activeWindow());
    return run(dialog);
}
