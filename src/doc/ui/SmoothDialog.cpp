#include "doc/ui/SmoothDialog.h"

#include "doc/ui/UnsignedField.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

SmoothDialog::SmoothDialog(unsigned windowSize, unsigned maxWindow, QWidget* parent)
    : QDialog(parent), windowSize_(windowSize), maxWindow_(maxWindow),
      edit_(named(new QLineEdit, "edit", 135))
{
    setWindowTitle(tr("Smooth"));
    auto* form = new QFormLayout;
    form->addRow(tr("Window size:"), edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SmoothDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SmoothDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    DialogValidation::show(edit_, windowSize);
}

void SmoothDialog::accept()
{
    DialogValidation dv;
    unsignedInRange(dv, edit_, windowSize_, 3, maxWindow_);
    if (dv.ok())
        QDialog::accept();
}
