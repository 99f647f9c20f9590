#include "platform/ui/FormatObjectDialog.h"
#include "page/visibleobject.h"
#include "platform/StringObMap.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FormatObjectDialogTest : public ::testing::Test
{
protected:
    FormatObjectDialogTest()
    {
        const char* names[] = {"Y-Axis 1", "1-run.dat", "X-Axis 1", ""};
        for (int i = 0; i < 4; ++i) {
            objects[i].SetName(names[i]);
            map.insert(names[i], &objects[i]);
        }
    }
    QStringList lines(const FormatObjectDialog& dialog) const
    {
        QStringList out;
        for (int i = 0; i < dialog.list()->count(); ++i)
            out.append(dialog.list()->item(i)->text());
        return out;
    }
    QPushButton* button(FormatObjectDialog& dialog, const QString& text) const
    {
        for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
            if (b->text() == text)
                return b;
        }
        return nullptr;
    }

    visibleobject objects[4];
    StringObMap map;
};

TEST_F(FormatObjectDialogTest, ListsEveryNameSortedAndOkTakesTheSelectedLine)
{
    FormatObjectDialog dialog(map);
    EXPECT_EQ(dialog.windowTitle(), "Format Object");
    EXPECT_EQ(lines(dialog), (QStringList{"", "1-run.dat", "X-Axis 1", "Y-Axis 1"}));
    dialog.list()->setCurrentRow(2);
    QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenObject(), &objects[2]);
}

TEST_F(FormatObjectDialogTest, OkWithoutASelectedLineChoosesNothing)
{
    FormatObjectDialog dialog(map);
    dialog.list()->clearSelection();
    dialog.list()->setCurrentItem(nullptr);
    QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenObject(), nullptr);
}

TEST_F(FormatObjectDialogTest, DoubleClickActsAsOk)
{
    FormatObjectDialog dialog(map, "Select Axis...", "Axes:", true);
    EXPECT_EQ(lines(dialog), (QStringList{"1-run.dat", "X-Axis 1", "Y-Axis 1"}));
    dialog.show();
    QListWidgetItem* item = dialog.list()->item(2);
    const QPoint p = dialog.list()->visualItemRect(item).center();
    QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {}, p);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenObject(), &objects[0]);
}

} // namespace
