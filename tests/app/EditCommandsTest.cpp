#include "app/CommandTable.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "doc/PlotDocument.h"
#include "page/visiblelist.h"
#include "platform/Profile.h"
#include "platform/ScriptedPrompter.h"
#include "view/DataCursorDialog.h"
#include "view/GraphView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <gtest/gtest.h>

TEST(EditCommandsTest, FollowTheSelectionAndTheClipboard)
{
    QFile::remove(Profile::path());
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    QApplication::clipboard()->clear();
    MainWindow frame;
    PlotChild* child = frame.openFile(QStringLiteral(PLOTVANE_EXAMPLES "/damped-oscillation.dat"));
    ASSERT_NE(child, nullptr);
    PlotDocument& doc = child->document();
    const int objects = doc.GetObjects().count();
    const auto enabled = [&](int id) {
        frame.updateCommands();
        return frame.action(id)->isEnabled();
    };
    for (int id :
         {FrameCmd::EditDelete, FrameCmd::EditCopy, FrameCmd::EditCut, FrameCmd::EditPaste})
        EXPECT_FALSE(enabled(id)) << id;

    visibleobject* trace = doc.FirstTrace();
    auto list = std::make_unique<visiblelist>();
    list->append(trace);
    child->view()->SetSelection(std::move(list));
    for (int id : {FrameCmd::EditDelete, FrameCmd::EditCopy, FrameCmd::EditCut})
        EXPECT_TRUE(enabled(id)) << id;

    frame.onCommand(FrameCmd::EditCopy);
    EXPECT_TRUE(enabled(FrameCmd::EditPaste));
    // Readouts go before the objects they may read.
    DataCursorDialog::open(*child->view());
    frame.onCommand(FrameCmd::EditDelete);
    EXPECT_TRUE(DataCursorDialog::readouts(*child->view()).isEmpty());
    EXPECT_EQ(doc.GetObjects().count(), objects - 1);
    EXPECT_FALSE(enabled(FrameCmd::EditDelete));
    // The trace comes back on axes of its own, copied with it.
    frame.onCommand(FrameCmd::EditPaste);
    EXPECT_EQ(doc.GetObjects().count(), objects + 2);
    EXPECT_TRUE(doc.HoldsTrace());
    EXPECT_TRUE(prompter.texts().isEmpty());
    QApplication::clipboard()->clear();
    QFile::remove(Profile::path());
}
