#include "app/CommandTable.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "axes/XAxis.h"
#include "doc/DocumentCommands.h"
#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "doc/UndoHistory.h"
#include "page/scaleableobject.h"
#include "platform/Profile.h"
#include "platform/ScriptedPrompter.h"
#include "traces/Trace.h"
#include "view/DataCursorDialog.h"
#include "view/GraphView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class UndoCommandsTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        QFile::remove(Profile::path());
        frame.show();
        child = frame.openFile(QStringLiteral(PLOTVANE_EXAMPLES "/damped-oscillation.dat"));
        ASSERT_NE(child, nullptr);
        view = child->view();
        for (visibleobject* obj : doc().GetObjects()) {
            if (obj->isKindOf(&XAxis::classRecord))
                axis = static_cast<XAxis*>(obj);
        }
        ASSERT_NE(axis, nullptr);
    }
    void TearDown() override
    {
        QApplication::clipboard()->clear();
        QFile::remove(Profile::path());
    }

    PlotDocument& doc() { return child->document(); }
    // The record once the view has painted the page, as the user sees it.
    QByteArray record()
    {
        view->viewport()->repaint();
        return documentContents(doc());
    }
    QString text(int id)
    {
        frame.updateCommands();
        return frame.action(id)->isEnabled() ? frame.action(id)->text() : QString();
    }
    static QPoint centre(const Rect& r) { return {r.left + r.width() / 2, r.top + r.height() / 2}; }
    void select(visibleobject* obj)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre(obj->GetRect()));
    }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from);
        for (QPoint p : {(from + to) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, p, view->viewport()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &move);
        }
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    }
    void zoom()
    {
        // The trace's plot area is known once it has been drawn.
        view->viewport()->repaint();
        view->ClearSelection();
        const Rect plot = doc().FirstTrace()->GetRect();
        const QPoint c = centre(plot);
        view->setFocusRect(Rect{c.x() - 30, c.y() - 20, c.x() + 30, c.y() + 20});
        frame.onCommand(Cmd::DataZoom);
    }

    ScriptedPrompter prompter;
    PrompterScope scope{&prompter};
    MainWindow frame;
    PlotChild* child = nullptr;
    GraphView* view = nullptr;
    XAxis* axis = nullptr;
};

struct FrameChange
{
    const char* name;
    const char* step;
    std::function<void(UndoCommandsTest&)> change;
    std::function<void(UndoCommandsTest&)> before = {};
};

void PrintTo(const FrameChange& c, std::ostream* os)
{
    *os << c.name;
}

class EveryFrameChange : public UndoCommandsTest, public ::testing::WithParamInterface<FrameChange>
{};

TEST_P(EveryFrameChange, IsOneStepThatUndoAndRedoRestore)
{
    if (GetParam().before)
        GetParam().before(*this);
    const QByteArray before = record();
    const int objects = doc().GetObjects().count();
    GetParam().change(*this);
    const QByteArray after = record();
    ASSERT_NE(after, before);
    EXPECT_EQ(text(FrameCmd::EditUndo), QStringLiteral("&Undo ") + GetParam().step);
    EXPECT_EQ(text(FrameCmd::EditRedo), QString());

    // Readouts and the selection hold objects that the page is about to lose.
    select(axis);
    if (doc().HoldsTrace())
        DataCursorDialog::open(*view);
    frame.onCommand(FrameCmd::EditUndo);
    EXPECT_EQ(record(), before);
    EXPECT_EQ(doc().GetObjects().count(), objects);
    EXPECT_TRUE(DataCursorDialog::readouts(*view).isEmpty());
    EXPECT_FALSE(view->hasSelection());
    EXPECT_EQ(text(FrameCmd::EditRedo), QStringLiteral("&Redo ") + GetParam().step);

    frame.onCommand(FrameCmd::EditRedo);
    EXPECT_EQ(record(), after);
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryFrameChange,
    ::testing::Values(FrameChange{"MouseMove", "Move",
                                  [](UndoCommandsTest& t) {
                                      t.select(t.axis);
                                      const QPoint c = UndoCommandsTest::centre(t.axis->GetRect());
                                      t.drag(c, c + QPoint(30, 20));
                                  }},
                      FrameChange{"Resize", "Resize",
                                  [](UndoCommandsTest& t) {
                                      t.select(t.axis);
                                      const auto handles =
                                          scaleableobject::handleRects(t.axis->GetRect());
                                      const QPoint grip = UndoCommandsTest::centre(
                                          handles[size_t(scaleableobject::Handle::Right)]);
                                      t.drag(grip, grip + QPoint(40, 0));
                                  }},
                      FrameChange{"ArrowKeysMergeIntoOneStep", "Move",
                                  [](UndoCommandsTest& t) {
                                      t.select(t.axis);
                                      for (int i = 0; i < 3; ++i) {
                                          QTest::keyClick(t.view, Qt::Key_Right);
                                          t.frame.updateCommands();
                                      }
                                      QTest::keyClick(t.view, Qt::Key_Down, Qt::ShiftModifier);
                                  }},
                      FrameChange{"Delete", "Delete",
                                  [](UndoCommandsTest& t) {
                                      t.select(t.doc().FirstTrace());
                                      t.frame.onCommand(FrameCmd::EditDelete);
                                  }},
                      FrameChange{"Paste", "Paste",
                                  [](UndoCommandsTest& t) {
                                      t.select(t.axis);
                                      t.frame.onCommand(FrameCmd::EditCopy);
                                      t.frame.onCommand(FrameCmd::EditPaste);
                                  }},
                      FrameChange{"Zoom", "Data Zoom", [](UndoCommandsTest& t) { t.zoom(); }},
                      FrameChange{"Unzoom", "Data Unzoom",
                                  [](UndoCommandsTest& t) { t.frame.onCommand(Cmd::DataUnzoom); },
                                  [](UndoCommandsTest& t) { t.zoom(); }}),
    [](const ::testing::TestParamInfo<FrameChange>& info) { return info.param.name; });

TEST_F(UndoCommandsTest, EmptyHistoryShowsPlainGreyedLines)
{
    frame.updateCommands();
    for (int id : {int(FrameCmd::EditUndo), int(FrameCmd::EditRedo)}) {
        EXPECT_FALSE(frame.action(id)->isEnabled()) << id;
        EXPECT_EQ(frame.action(id)->text(), CommandTable::text(id)) << id;
    }
    EXPECT_EQ(CommandTable::text(FrameCmd::EditRedo), QStringLiteral("&Redo"));
}

} // namespace
