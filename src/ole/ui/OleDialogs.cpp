#include "ole/ui/OleDialogs.h"

#include "ole/ui/FormatOleObjectDialog.h"
#include "ole/ui/InsertObjectDialog.h"
#include "ole/ui/TextLabelDialog.h"

#include <QApplication>

int OleDialogs::formatObject(VisibleOLE& object)
{
    FormatOleObjectDialog dialog(object, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int OleDialogs::editLabel(TextLabel& label)
{
    TextLabelDialog dialog(label, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    label = dialog.label();
    return 1;
}

OleEditors::InsertChoice OleDialogs::chooseInsert()
{
    InsertObjectDialog dialog(QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? dialog.choice() : InsertChoice::Cancel;
}
