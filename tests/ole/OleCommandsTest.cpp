#include "ole/OleCommands.h"
#include "ole/OleEditors.h"
#include "ole/OleTestSupport.h"
#include "ole/VisibleOLE.h"
#include "platform/ScriptedPrompter.h"
#include "view/ViewTestSupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Dialogs that answer as told and count what was asked.
class ScriptedOleEditors : public OleEditors
{
public:
    int formatObject(VisibleOLE&) override { return ++formats, 0; }
    int editLabel(TextLabel& label) override
    {
        ++labels;
        label.text = text;
        return 1;
    }
    InsertChoice chooseInsert() override { return choice; }

    QString text = QStringLiteral("Edited");
    InsertChoice choice = InsertChoice::Cancel;
    int formats = 0;
    int labels = 0;
};

class OleCommandsTest : public ::testing::Test
{
protected:
    VisibleOLE* only() const
    {
        return doc.GetObjects().count() == 1 ? dynamic_cast<VisibleOLE*>(doc.GetObjects().GetAt(1))
                                             : nullptr;
    }

    ScriptedPrompter prompter;
    PrompterScope prompterScope{&prompter};
    ScriptedOleEditors editors;
    Installed<OleEditors>::Scope editorsScope{&editors};
    PlotDocument doc;
    TestWindow view{&doc};
    QTemporaryDir dir;
};

TEST_F(OleCommandsTest, LabelGoesToTheClickWithItsEditorShownAndADoubleClickOpensItAgain)
{
    EXPECT_FALSE(OleCommands::canInsertLabel(view));
    view.setFocusRect(Rect{60, 50, 60, 50});
    ASSERT_TRUE(OleCommands::canInsertLabel(view));
    ASSERT_TRUE(OleCommands::insertLabel(view));
    VisibleOLE* obj = only();
    ASSERT_TRUE(obj);
    EXPECT_EQ(editors.labels, 1);
    EXPECT_EQ(obj->item()->label()->text, QStringLiteral("Edited"));
    EXPECT_EQ(obj->GetRect().left, 60);
    EXPECT_EQ(obj->GetRect().top, 50);
    EXPECT_TRUE(doc.IsModified());

    editors.text = QStringLiteral("Again");
    const Rect r = obj->GetRect();
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {},
                       QPoint(r.left + r.width() / 2, r.top + r.height() / 2));
    EXPECT_EQ(editors.labels, 2);
    EXPECT_EQ(editors.formats, 0);
    EXPECT_EQ(obj->item()->label()->text, QStringLiteral("Again"));
}

TEST_F(OleCommandsTest, FileThatIsNoPictureShowsTheCreateFailure)
{
    const QString path = dir.filePath(QStringLiteral("data.dat"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1 2\n3 4\n");
    f.close();
    editors.choice = OleEditors::InsertChoice::FromFile;
    prompter.pushFileName(path);
    EXPECT_FALSE(OleCommands::insertNewObject(view));
    EXPECT_EQ(doc.GetObjects().count(), 0);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error createing new object!")});
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
