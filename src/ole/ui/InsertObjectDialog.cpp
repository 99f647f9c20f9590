#include "ole/ui/InsertObjectDialog.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

InsertObjectDialog::InsertObjectDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Insert Object"));
    fromFile_ = new QRadioButton(tr("Picture from &file..."));
    fromFile_->setObjectName(QStringLiteral("fromFile"));
    label_ = new QRadioButton(tr("New &text label"));
    label_->setObjectName(QStringLiteral("textLabel"));
    fromFile_->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fromFile_);
    layout->addWidget(label_);
    layout->addWidget(buttons);
}

OleEditors::InsertChoice InsertObjectDialog::choice() const
{
    return label_->isChecked() ? OleEditors::InsertChoice::TextLabel
                               : OleEditors::InsertChoice::FromFile;
}
