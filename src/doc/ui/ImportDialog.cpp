#include "doc/ui/ImportDialog.h"

#include "data/ImportPreview.h"
#include "platform/Strings.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

using Delimiter = ImportSettings::Delimiter;
using Kind = LineReader::LineKind;

const std::pair<Delimiter, int> delimiterChoices[] = {
    {Delimiter::standard, Str::ImportDelimiterStandard},
    {Delimiter::blanks, Str::ImportDelimiterBlanks},
    {Delimiter::comma, Str::ImportDelimiterComma},
    {Delimiter::semicolon, Str::ImportDelimiterSemicolon},
    {Delimiter::tab, Str::ImportDelimiterTab},
    {Delimiter::automatic, Str::ImportDelimiterAutomatic},
};

int kindText(Kind kind)
{
    switch (kind) {
    case Kind::empty:
        return Str::ImportLineEmpty;
    case Kind::comment:
        return Str::ImportLineComment;
    case Kind::skipped:
        return Str::ImportLineSkipped;
    case Kind::header:
        return Str::ImportLineHeader;
    case Kind::curveBreak:
        return Str::ImportLineBreak;
    case Kind::text:
        return Str::ImportLineText;
    case Kind::data:
        return Str::ImportLineData;
    case Kind::stop:
        return Str::ImportLineStop;
    case Kind::tooLong:
        return Str::ImportLineTooLong;
    case Kind::notRead:
        break;
    }
    return Str::ImportLineNotRead;
}

QCheckBox* checkBox(int text, bool on)
{
    auto* box = new QCheckBox(loadString(text));
    box->setChecked(on);
    return box;
}

QString numberText(double v)
{
    return std::isnan(v) ? QString() : QString::number(v, 'g', 10);
}

} // namespace

ImportDialog::ImportDialog(const QString& path, const ImportSettings& s, QWidget* parent)
    : QDialog(parent), path_(path)
{
    setWindowTitle(loadString(Str::ImportDataTitle) + QStringLiteral(" - ") + path);

    comments_ = new QLineEdit(s.comments);
    firstLine_ = new QSpinBox;
    firstLine_->setRange(0, 1000000);
    firstLine_->setSpecialValueText(loadString(Str::ImportAutomatic));
    firstLine_->setValue(s.firstDataLine);
    headerLine_ = new QSpinBox;
    headerLine_->setRange(0, 1000000);
    headerLine_->setSpecialValueText(loadString(Str::ImportNoHeader));
    headerLine_->setValue(s.headerLine);
    delimiter_ = new QComboBox;
    for (const auto& [value, text] : delimiterChoices) {
        delimiter_->addItem(loadString(text), int(value));
        if (value == s.delimiter)
            delimiter_->setCurrentIndex(delimiter_->count() - 1);
    }
    missingValues_ = checkBox(Str::ImportMissingValues, s.missingValues);
    placeholders_ = new QLineEdit(s.placeholders.join(QLatin1Char(' ')));
    stripQuotes_ = checkBox(Str::ImportStripQuotes, s.stripQuotes);
    decimalComma_ = checkBox(Str::ImportDecimalComma, s.decimalComma);
    breakLines_ = checkBox(Str::ImportBreakLines, s.breakLines);
    QStringList dates;
    for (int c : s.dateColumns)
        dates.append(QString::number(c));
    dateColumns_ = new QLineEdit(dates.join(QLatin1Char(' ')));
    dateFormat_ = new QLineEdit(s.dateFormat);
    dateFormat_->setPlaceholderText(loadString(Str::ImportDateFormatHint));
    widestRow_ = checkBox(Str::ImportWidestRow, s.widestRow);

    auto* lines = new QFormLayout;
    lines->addRow(loadString(Str::ImportCommentsLabel), comments_);
    lines->addRow(loadString(Str::ImportFirstLineLabel), firstLine_);
    lines->addRow(loadString(Str::ImportHeaderLineLabel), headerLine_);
    lines->addRow(loadString(Str::ImportDelimiterLabel), delimiter_);
    lines->addRow(loadString(Str::ImportPlaceholdersLabel), placeholders_);
    lines->addRow(loadString(Str::ImportDateColumnsLabel), dateColumns_);
    lines->addRow(loadString(Str::ImportDateFormatLabel), dateFormat_);
    auto* checks = new QVBoxLayout;
    for (QCheckBox* box : {missingValues_, stripQuotes_, decimalComma_, breakLines_, widestRow_})
        checks->addWidget(box);
    checks->addStretch();
    auto* options = new QHBoxLayout;
    options->addLayout(lines);
    options->addLayout(checks);

    status_ = new QLabel(loadString(Str::ImportPreviewLabel));
    preview_ = new QTableWidget;
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->verticalHeader()->hide();
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 4);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(status_);
    layout->addWidget(preview_, 1);
    layout->addWidget(buttons);

    for (QLineEdit* edit : {comments_, placeholders_, dateColumns_, dateFormat_})
        connect(edit, &QLineEdit::textChanged, this, &ImportDialog::updatePreview);
    for (QSpinBox* spin : {firstLine_, headerLine_})
        connect(spin, &QSpinBox::valueChanged, this, &ImportDialog::updatePreview);
    connect(delimiter_, &QComboBox::currentIndexChanged, this, &ImportDialog::updatePreview);
    for (QCheckBox* box : {missingValues_, stripQuotes_, decimalComma_, breakLines_, widestRow_})
        connect(box, &QCheckBox::toggled, this, &ImportDialog::updatePreview);
    resize(820, 560);
    updatePreview();
}

ImportSettings ImportDialog::settings() const
{
    ImportSettings s;
    s.comments = comments_->text();
    s.firstDataLine = firstLine_->value();
    s.headerLine = headerLine_->value();
    s.delimiter = Delimiter(delimiter_->currentData().toInt());
    s.missingValues = missingValues_->isChecked();
    const QRegularExpression blanks(QStringLiteral("[\\s]+"));
    s.placeholders = placeholders_->text().split(blanks, Qt::SkipEmptyParts);
    s.stripQuotes = stripQuotes_->isChecked();
    s.decimalComma = decimalComma_->isChecked();
    s.breakLines = breakLines_->isChecked();
    for (const QString& c : dateColumns_->text().split(
             QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = c.toInt(&ok);
        if (ok && n >= 1 && n <= LineReader::maxColumns && !s.dateColumns.contains(n))
            s.dateColumns.append(n);
    }
    s.dateFormat = dateFormat_->text().trimmed();
    s.widestRow = widestRow_->isChecked();
    return s;
}

void ImportDialog::updatePreview()
{
    const ImportPreview p = previewImport(path_, settings(), previewLines);
    status_->setText(p.opened ? loadString(Str::ImportPreviewLabel)
                              : loadString(Str::ImportCannotRead));
    preview_->clear();
    preview_->setRowCount(int(p.lines.size()));
    preview_->setColumnCount(2 + p.numColumns);
    QStringList headings{loadString(Str::ImportPreviewLine), loadString(Str::ImportPreviewReadAs)};
    for (int c = 0; c < p.numColumns; ++c) {
        const QString name = p.names.value(c);
        headings.append(name.isEmpty() ? QString::number(c + 1)
                                       : QStringLiteral("%1 (%2)").arg(c + 1).arg(name));
    }
    preview_->setHorizontalHeaderLabels(headings);
    const QBrush skipped(palette().color(QPalette::Disabled, QPalette::Text));
    const QBrush stopped(QColor(0xF4, 0xC7, 0xC3));
    for (int r = 0; r < int(p.lines.size()); ++r) {
        const ImportPreview::Line& line = p.lines[size_t(r)];
        auto* number = new QTableWidgetItem(QString::number(line.number));
        auto* kind = new QTableWidgetItem(loadString(kindText(line.kind)));
        kind->setToolTip(line.text);
        preview_->setItem(r, 0, number);
        preview_->setItem(r, 1, kind);
        if (line.kind == Kind::data) {
            for (int c = 0; c < int(line.values.size()) && c < p.numColumns; ++c)
                preview_->setItem(r, 2 + c,
                                  new QTableWidgetItem(numberText(line.values[size_t(c)])));
            continue;
        }
        // The text of a line that gives no row spans the columns of values.
        auto* text = new QTableWidgetItem(line.text);
        if (p.numColumns > 0) {
            preview_->setItem(r, 2, text);
            if (p.numColumns > 1)
                preview_->setSpan(r, 2, 1, p.numColumns);
        } else {
            kind->setText(kind->text() + QStringLiteral(": ") + line.text);
            delete text;
            text = nullptr;
        }
        const bool ends =
            line.kind == Kind::stop || line.kind == Kind::tooLong || line.kind == Kind::notRead;
        for (QTableWidgetItem* item : {number, kind, text}) {
            if (!item)
                continue;
            if (ends)
                item->setBackground(stopped);
            else
                item->setForeground(skipped);
        }
    }
    preview_->resizeColumnToContents(0);
    preview_->resizeColumnToContents(1);
}
