#include "view/ViewScaleDialog.h"

#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"
#include "view/PageScrollView.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

ViewScaleDialog::ViewScaleDialog(PageScrollView& view, QWidget* parent)
    : QDialog(parent ? parent : &view), view_(view), edit_(named(new QLineEdit(this), "edit", 171))
{
    setWindowTitle(tr("View Scale"));
    DialogValidation::show(edit_, view.viewScale());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ViewScaleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QFormLayout(this);
    layout->addRow(tr("&Scale factor:"), edit_);
    layout->addRow(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ViewScaleDialog::accept()
{
    float scale = view_.viewScale();
    DialogValidation dv;
    dv.number(edit_, scale, minScale, maxScale);
    if (!dv.ok())
        return;
    view_.setViewScale(scale);
    QDialog::accept();
}

void ViewScaleDialog::run(PageScrollView& view)
{
    ViewScaleDialog dialog(view);
    dialog.exec();
}
