#include "platform/ui/FormatObjectDialog.h"

#include "platform/StringObMap.h"
#include "platform/Strings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FormatObjectDialog::FormatObjectDialog(const StringObMap& objects, QWidget* parent)
    : FormatObjectDialog(objects, loadString(Str::FormatObjectTitle), tr("Format which object?"),
                         false, parent)
{}

FormatObjectDialog::FormatObjectDialog(const StringObMap& objects, const QString& title,
                                       const QString& label, bool skipEmptyNames, QWidget* parent)
    : QDialog(parent), objects_(objects)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(label);
    layout->addWidget(caption);
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("list1201"));
    list_->setSortingEnabled(true);
    caption->setBuddy(list_);
    for (const StringObMap::Entry& entry : objects) {
        if (!skipEmptyNames || !entry.key.isEmpty())
            list_->addItem(entry.key);
    }
    list_->sortItems();
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(tr("Ok"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { accept(); });
}

void FormatObjectDialog::accept()
{
    const QListWidgetItem* item = list_->currentItem();
    chosen_ = item && item->isSelected() ? objects_.value(item->text()) : nullptr;
    QDialog::accept();
}
