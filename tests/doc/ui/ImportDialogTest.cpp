#include "doc/ui/ImportDialog.h"

#include <QComboBox>
#include <QFile>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList column(const QTableWidget* table, int c)
{
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out.append(table->item(r, c) ? table->item(r, c)->text() : QString());
    return out;
}

QStringList headings(const QTableWidget* table)
{
    QStringList out;
    for (int c = 0; c < table->columnCount(); ++c)
        out.append(table->horizontalHeaderItem(c)->text());
    return out;
}

// The preview follows every change of the settings, and OK hands them on as shown.
TEST(ImportDialog, PreviewFollowsTheSettings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("export.csv");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# logger 7\ntime,volts\n1,4\n2,5\n");
    f.close();

    ImportDialog dialog(path, ImportSettings());
    QTableWidget* table = dialog.previewTable();
    EXPECT_EQ(column(table, 1), (QStringList{"comment", "text, skipped", "data", "data"}));
    EXPECT_EQ(headings(table), (QStringList{"Line", "Read as", "1", "2"}));

    const QList<QSpinBox*> spins = dialog.findChildren<QSpinBox*>();
    ASSERT_EQ(spins.size(), 2);
    spins[1]->setValue(2); // the header line
    auto* delimiter = dialog.findChild<QComboBox*>();
    delimiter->setCurrentIndex(delimiter->findText("Comma"));
    EXPECT_EQ(column(table, 1), (QStringList{"skipped", "column names", "data", "data"}));
    EXPECT_EQ(headings(table), (QStringList{"Line", "Read as", "1 (time)", "2 (volts)"}));
    EXPECT_EQ(column(table, 2).mid(2), (QStringList{"1", "2"}));
    EXPECT_EQ(dialog.settings().headerLine, 2);
    EXPECT_EQ(dialog.settings().delimiter, ImportSettings::Delimiter::comma);
}

} // namespace
