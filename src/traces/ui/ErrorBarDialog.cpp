#include "traces/ui/ErrorBarDialog.h"

#include "data/ColumnFile.h"
#include "data/DataFileMessages.h"
#include "data/FileName.h"
#include "data/filelist.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "platform/ui/ControlNames.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <memory>

namespace {

// Control ids of the dialog's resource, kept as object names so tests and scripts find them.
enum Control {
    idColumn = 166,
    idErrorName = 167,
    idChange = 168,
    idDataName = 169,
    idRemove = 170,
};

QString shortName(const QString& path)
{
    return FileName(path).GetFileName();
}

} // namespace

ErrorBarDialog::ErrorBarDialog(ColumnFile* errorFile, int errorColumn, filelist& files,
                               const QString& dataFilePath, QWidget* parent)
    : QDialog(parent), errorFile_(errorFile), errorColumn_(errorColumn), files_(files)
{
    setWindowTitle(tr("Error Bar"));

    auto* grid = new QGridLayout;
    auto* dataName = named(new QLabel(shortName(dataFilePath)), "text", idDataName);
    errorName_ = named(new QLabel, "text", idErrorName);
    columns_ = named(new QComboBox, "combo", idColumn);
    auto* columnLabel = new QLabel(tr("Error Bar Column:"));
    columnLabel->setBuddy(columns_);
    grid->addWidget(new QLabel(tr("Data File Name:")), 0, 0);
    grid->addWidget(dataName, 0, 1);
    grid->addWidget(new QLabel(tr("Error File Name:")), 1, 0);
    grid->addWidget(errorName_, 1, 1);
    grid->addWidget(columnLabel, 2, 0);
    grid->addWidget(columns_, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    errorName_->setMinimumWidth(errorName_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* change = named(new QPushButton(tr("Change Error File")), "button", idChange);
    auto* remove = named(new QPushButton(tr("Remove Error Bars")), "button", idRemove);
    buttons->addButton(change, QDialogButtonBox::ActionRole);
    buttons->addButton(remove, QDialogButtonBox::ActionRole);
    change->setAutoDefault(false);
    remove->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &ErrorBarDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ErrorBarDialog::reject);
    connect(change, &QPushButton::clicked, this, &ErrorBarDialog::changeErrorFile);
    connect(remove, &QPushButton::clicked, this, &ErrorBarDialog::removeErrorBars);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    showErrorFile();
}

void ErrorBarDialog::showErrorFile()
{
    errorName_->setText(errorFile_ ? errorFile_->GetFileName().GetFileName() : QString());
    columns_->clear();
    const int n = errorFile_ ? errorFile_->GetNumColumns() : 0;
    for (int i = 1; i <= n; ++i)
        columns_->addItem(errorFile_->ColumnLabel(i));
    columns_->setCurrentIndex(errorColumn_ >= 1 && errorColumn_ <= n ? errorColumn_ - 1 : -1);
}

void ErrorBarDialog::changeErrorFile()
{
    const QString path = filelist::AskDataFileName();
    if (path.isEmpty())
        return;
    ColumnFile* file = files_.FindByPath(path);
    if (!file) {
        auto read = std::make_unique<ColumnFile>(path);
        // A failure leaves the dialog with the file it had; an exception must not cross the
        // event loop, so it is reported here.
        try {
            if (read->ReadFile() == 0) {
                Prompter::instance().message(loadString(Str::NotDataFile), path,
                                             Prompter::Icon::Exclamation);
                return;
            }
        } catch (const std::exception& error) {
            if (!reportDataFileError(error, *read))
                return;
        }
        file = read.release();
        files_.AddUnique(file);
    }
    errorFile_ = file;
    errorColumn_ = file->GetNumColumns();
    showErrorFile();
}

void ErrorBarDialog::removeErrorBars()
{
    errorFile_ = nullptr;
    QDialog::accept();
}

void ErrorBarDialog::accept()
{
    if (columns_->currentIndex() >= 0)
        errorColumn_ = columns_->currentIndex() + 1;
    QDialog::accept();
}
