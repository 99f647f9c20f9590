#include "app/CommandTable.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "doc/DocumentCommands.h"
#include "doc/PlotDocument.h"
#include "log/OutDoc.h"
#include "log/OutWin.h"
#include "log/OutputLog.h"
#include "platform/LogSink.h"
#include "platform/Profile.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LogWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(Profile::path());
        Prompter::setInstance(&prompter);
        frame.show();
        plot = frame.newDocument();
    }
    void TearDown() override
    {
        Prompter::setInstance(nullptr);
        QFile::remove(Profile::path());
    }

    QStringList visibleMenus() const
    {
        QStringList titles;
        const QList<QAction*> top = frame.menuBar()->actions();
        for (QAction* a : top) {
            if (a->isVisible())
                titles.append(a->text());
        }
        return titles;
    }
    // The window titles the Window menu lists.
    QStringList windowList() const
    {
        QMenu* menu = nullptr;
        const QList<QAction*> top = frame.menuBar()->actions();
        for (QAction* a : top) {
            if (a->text() == QStringLiteral("&Window"))
                menu = a->menu();
        }
        Q_EMIT menu->aboutToShow();
        QStringList titles;
        const QList<QAction*> lines = menu->actions();
        for (QAction* a : lines) {
            if (a->isCheckable())
                titles.append(a->text());
        }
        return titles;
    }

    ScriptedPrompter prompter;
    MainWindow frame;
    PlotChild* plot = nullptr;
};

} // namespace

TEST_F(LogWindowTest, ReportsGoToOneLogThatStaysHiddenUntilShown)
{
    LogSink::append(QStringLiteral("first"));
    OutputLog& log = frame.log();
    ASSERT_TRUE(log.exists());
    EXPECT_TRUE(log.frame()->isHidden());
    EXPECT_EQ(frame.activeChild(), plot);
    EXPECT_EQ(windowList(), QStringList{QStringLiteral("&1 VanePlot1")});

    frame.onCommand(FrameCmd::LogWindow);
    EXPECT_FALSE(log.frame()->isHidden());
    EXPECT_TRUE(log.isActive());
    EXPECT_EQ(frame.activeChild(), nullptr);
    EXPECT_EQ(windowList(),
              (QStringList{QStringLiteral("&1 VanePlot1"), QStringLiteral("&2 Log")}));

    // Closing hides it and gives the plot window back; the next report joins the same lines.
    OutDoc* doc = log.document();
    EXPECT_FALSE(log.frame()->close());
    EXPECT_TRUE(log.frame()->isHidden());
    EXPECT_EQ(frame.activeChild(), plot);
    LogSink::append(QStringLiteral("second"));
    EXPECT_TRUE(log.frame()->isHidden());
    EXPECT_EQ(frame.activeChild(), plot);
    frame.onCommand(FrameCmd::LogWindow);
    EXPECT_TRUE(log.isActive());
    EXPECT_EQ(log.document(), doc);
    EXPECT_EQ(doc->lines(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));

    // File Close of the log's menu hides it the same way.
    frame.onCommand(FrameCmd::FileClose);
    EXPECT_TRUE(log.frame()->isHidden());
    EXPECT_EQ(frame.activeChild(), plot);
    EXPECT_EQ(frame.plotChildren().size(), 1);

    // With no plot window left, the hidden log is not the active window either.
    frame.onCommand(FrameCmd::LogWindow);
    EXPECT_TRUE(plot->close());
    frame.onCommand(FrameCmd::LogWindow);
    frame.onCommand(FrameCmd::FileClose);
    EXPECT_FALSE(frame.log().isActive());
    EXPECT_EQ(visibleMenus().size(), 7);
}

TEST_F(LogWindowTest, ActiveLogHasItsOwnMenusAndCommands)
{
    frame.onCommand(FrameCmd::LogWindow);
    frame.updateCommands();
    EXPECT_EQ(visibleMenus(), (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                           QStringLiteral("&Window"), QStringLiteral("&Help")}));
    const int disabled[] = {FrameCmd::FileSave, FrameCmd::Print,     FrameCmd::EditCopy,
                            FrameCmd::EditCut,  FrameCmd::EditPaste, FrameCmd::EditDelete,
                            FrameCmd::EditUndo, Cmd::OpenDataFile};
    for (int id : disabled) {
        EXPECT_FALSE(frame.action(id)->isEnabled()) << id;
    }
    for (int id : {FrameCmd::FileSaveAs, FrameCmd::FileClose, FrameCmd::LogWindow})
        EXPECT_TRUE(frame.action(id)->isEnabled()) << id;

    LogSink::append(QStringLiteral("a = 1"));
    LogSink::append(QStringLiteral("b = 2"));
    OutWin* view = frame.log().view();
    view->setSelection({4, 0}, {1, 1});
    frame.updateCommands();
    ASSERT_TRUE(frame.action(FrameCmd::EditCopy)->isEnabled());
    frame.onCommand(FrameCmd::EditCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1\r\nb"));

    // Back on the plot, its menus return.
    frame.mdiArea()->setActiveSubWindow(plot);
    frame.updateCommands();
    EXPECT_EQ(visibleMenus().size(), 7);
    EXPECT_TRUE(frame.action(FrameCmd::FileSave)->isEnabled());
}

TEST_F(LogWindowTest, SaveAsWritesTheLinesAndReportsAFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fit.txt"));
    LogSink::append(QStringLiteral("one"));
    LogSink::append(QStringLiteral("two"));
    frame.onCommand(FrameCmd::LogWindow);
    prompter.pushFileName(path);
    frame.onCommand(FrameCmd::FileSaveAs);
    ASSERT_EQ(prompter.records().size(), 1u);
    const ScriptedPrompter::Record& asked = prompter.records()[0];
    EXPECT_EQ(asked.kind, ScriptedPrompter::Record::Kind::SaveFile);
    EXPECT_TRUE(asked.directory.endsWith(QStringLiteral("/Output.txt")));
    EXPECT_EQ(Prompter::qtFilter(asked.filter),
              QStringLiteral("Text Files (*.txt);;All Files (*)"));
    EXPECT_EQ(asked.defaultExt, QStringLiteral("txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("one\r\ntwo\r\n"));
    EXPECT_TRUE(plot->document().GetPathName().isEmpty()) << "the plot is not saved";

    prompter.clear();
    const QString bad = dir.filePath(QStringLiteral("missing/fit.txt"));
    prompter.pushFileName(bad);
    frame.onCommand(FrameCmd::FileSaveAs);
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts()[0].contains(bad)) << prompter.texts()[0].toStdString();
}

TEST_F(LogWindowTest, StartUpLeavesTheLogBehindTheMaximisedPlot)
{
    frame.createLog();
    ASSERT_TRUE(frame.log().exists());
    EXPECT_FALSE(frame.log().frame()->isHidden());
    EXPECT_EQ(frame.activeChild(), plot);
    EXPECT_TRUE(plot->isMaximized());
    EXPECT_EQ(frame.log().frame()->previousChild(), plot);
}

TEST_F(LogWindowTest, ClosingTheFrameClosesTheLogOnlyWhenItCloses)
{
    LogSink::append(QStringLiteral("kept"));
    plot->document().SetModifiedFlag(true);
    prompter.pushAnswer(Prompter::Answer::Cancel);
    EXPECT_FALSE(frame.close());
    ASSERT_TRUE(frame.log().exists());
    EXPECT_EQ(frame.log().document()->lines(), QStringList{QStringLiteral("kept")});

    prompter.pushAnswer(Prompter::Answer::No);
    EXPECT_TRUE(frame.close());
    EXPECT_FALSE(frame.log().exists());
    EXPECT_EQ(prompter.texts().size(), 2) << "the log asks nothing";
}
