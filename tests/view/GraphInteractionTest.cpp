#include "ViewTestSupport.h"

#include "axes/XAxis.h"
#include "data/ColumnFile.h"
#include "doc/DocumentEditors.h"
#include "page/scaleableobject.h"
#include "traces/Trace.h"
#include "view/GraphInteraction.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A box that answers with a menu id and counts what it is asked to do.
class MenuBox : public Box
{
public:
    MenuBox(float x, float y, int menuId) : Box(x, y, 0.5f, 0.5f), menuId_(menuId) {}
    int GetMenuId() const override { return menuId_; }
    int OnMenuCommand(int id) override
    {
        commands.append(id);
        return 1;
    }
    int EditProperties() override
    {
        ++edits;
        return 1;
    }
    QList<int> commands;
    int edits = 0;

private:
    int menuId_;
};

class PickFirst : public DocumentEditors
{
public:
    visibleobject* chooseObject(const StringObMap& objects) override
    {
        ++asked;
        return dynamic_cast<visibleobject*>(objects.begin()->value);
    }
    visibleobject* chooseDataSet(const StringObMap&) override { return nullptr; }
    int asked = 0;
};

class GraphInteractionTest : public ::testing::Test
{
protected:
    Box* addBox(float x, float y, float w, float h)
    {
        return static_cast<Box*>(doc.GetObjects().Add(std::make_unique<Box>(x, y, w, h)));
    }
    XAxis* addAxis()
    {
        // Three inches long with its origin one inch in from the bottom-left corner.
        auto axis = std::make_unique<XAxis>(nullptr, 0.0, 10.0, 3.0f, 1.0f, 1.0f);
        return static_cast<XAxis*>(doc.GetObjects().Add(std::move(axis)));
    }
    static QPoint centre(const Rect& r) { return {r.left + r.width() / 2, r.top + r.height() / 2}; }
    void click(TestWindow& view, QPoint p)
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    }
    // Button down at `from`, two moves with the button held, button up at `to`.
    void drag(TestWindow& view, QPoint from, QPoint to)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, from);
        for (QPoint p : {(from + to) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, p, view.viewport()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &move);
        }
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, to);
    }

    PlotDocument doc; // outlives the views
};

TEST_F(GraphInteractionTest, ClickOnEmptyPageClearsSelectionAndFocus)
{
    Box* box = addBox(1, 1, 1, 1);
    TestWindow view(&doc);
    click(view, centre(box->GetRect()));
    ASSERT_TRUE(view.hasSelection());
    EXPECT_EQ(view.focusRect(), box->GetRect());

    click(view, {350, 20});
    EXPECT_FALSE(view.hasSelection());
    EXPECT_TRUE(view.focusRect().isEmpty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(GraphInteractionTest, ClickPicksTheSmallerOfOverlappingObjects)
{
    Box* big = addBox(0.5f, 0.5f, 2, 2);
    Box* small = addBox(1, 1, 0.5f, 0.5f);
    TestWindow view(&doc);
    click(view, centre(small->GetRect()));
    ASSERT_TRUE(view.hasSelection());
    ASSERT_EQ(view.selection()->count(), 1);
    EXPECT_EQ(view.selection()->at(0), small);
    // Outside the small one the big one is picked.
    click(view, {big->GetRect().left + 2, big->GetRect().top + 2});
    ASSERT_TRUE(view.hasSelection());
    EXPECT_EQ(view.selection()->at(0), big);
}

TEST_F(GraphInteractionTest, ClickSelectsEveryObjectOfTheSameRectangle)
{
    Box* a = addBox(1, 1, 1, 0.5f);
    Box* b = addBox(1, 1, 1, 0.5f);
    TestWindow view(&doc);
    click(view, centre(a->GetRect()));
    ASSERT_TRUE(view.hasSelection());
    ASSERT_EQ(view.selection()->count(), 2);
    EXPECT_TRUE(view.selection()->contains(a));
    EXPECT_TRUE(view.selection()->contains(b));
    // The shared rectangle is the focus, so a drag inside it moves both.
    EXPECT_EQ(view.focusRect(), a->GetRect());
}

TEST_F(GraphInteractionTest, BandEnclosingNothingStaysAsTheFocusRectangle)
{
    addBox(0.2f, 0.2f, 0.5f, 0.5f);
    TestWindow view(&doc);
    drag(view, {200, 20}, {300, 120});
    EXPECT_FALSE(view.hasSelection());
    // What Data Zoom asks for: a focus rectangle and no selection.
    EXPECT_EQ(view.focusRect(), (Rect{200, 20, 300, 120}));
    EXPECT_EQ(view.interactionState().banding, 0);
}

TEST_F(GraphInteractionTest, BandSelectsOnlyWhatItEnclosesWhole)
{
    Box* inside = addBox(1, 1, 0.5f, 0.5f);
    Box* also = addBox(2, 1, 0.5f, 0.5f);
    Box* across = addBox(2.9f, 1, 1, 0.5f);
    TestWindow view(&doc);
    const Rect band = inside->GetRect().united(also->GetRect());
    drag(view, {band.left - 3, band.top - 3}, {band.right + 3, band.bottom + 3});
    ASSERT_TRUE(view.hasSelection());
    EXPECT_EQ(view.selection()->count(), 2);
    EXPECT_FALSE(view.selection()->contains(across));
    EXPECT_EQ(view.focusRect(),
              (Rect{band.left - 3, band.top - 3, band.right + 3, band.bottom + 3}));
}

TEST_F(GraphInteractionTest, DraggingAnAxisMovesItByThePixelDistanceInInches)
{
    XAxis* axis = addAxis();
    TestWindow view(&doc);
    const QPoint grip = centre(axis->GetRect()) + QPoint(20, 0); // clear of the handles
    click(view, grip);
    ASSERT_TRUE(view.hasSelection());
    ASSERT_FALSE(doc.IsModified());

    // 96 pixels per inch: 48 right and 24 up are half an inch right and a quarter inch up.
    drag(view, grip, grip + QPoint(48, -24));
    EXPECT_FLOAT_EQ(axis->x, 1.5f);
    EXPECT_FLOAT_EQ(axis->y, 1.25f);
    EXPECT_FLOAT_EQ(axis->length, 3.0f);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.interactionState().moving, 0);
}

TEST_F(GraphInteractionTest, DraggingTheRightHandleLengthensTheAxis)
{
    XAxis* axis = addAxis();
    TestWindow view(&doc);
    click(view, centre(axis->GetRect()) + QPoint(20, 0));
    ASSERT_TRUE(view.hasSelection());

    const Rect handle =
        scaleableobject::handleRects(axis->GetRect())[size_t(scaleableobject::Handle::Right)];
    const QPoint grip = centre(handle);
    QMouseEvent hover(QEvent::MouseMove, grip, view.viewport()->mapToGlobal(grip), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &hover);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::SizeHorCursor);
    // The side follows the mouse: an inch past the old end makes the axis an inch longer.
    drag(view, grip, {axis->GetRect().right + 96, grip.y()});
    EXPECT_NEAR(axis->length, 4.0f, 1e-5);
    EXPECT_FLOAT_EQ(axis->x, 1.0f);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.interactionState().resizing, 0);
    EXPECT_EQ(view.focusRect(), axis->GetRect());
}

TEST_F(GraphInteractionTest, ArrowKeysMoveTheSelectionAndCtrlASelectsAll)
{
    Box* a = addBox(1, 1, 0.5f, 0.5f);
    Box* b = addBox(2, 2, 0.5f, 0.5f);
    TestWindow view(&doc);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(view.hasSelection());
    EXPECT_EQ(view.selection()->count(), 2);

    // Shift moves by ten pixels: ten ninety-sixths of an inch.
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_FLOAT_EQ(a->x, 1.0f + 10.0f / 96.0f);
    EXPECT_FLOAT_EQ(b->y, 2.0f + 1.0f / 96.0f);
    EXPECT_TRUE(doc.IsModified());

    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.hasSelection());
}

TEST_F(GraphInteractionTest, RightClickOnAnAxisRoutesTheMenuChoiceToIt)
{
    auto* axis =
        static_cast<MenuBox*>(doc.GetObjects().Add(std::make_unique<MenuBox>(1, 1, Axis::MenuId)));
    axis->SetName("X1");
    TestWindow view(&doc);
    auto* interaction = dynamic_cast<GraphInteraction*>(&view.interaction());
    ASSERT_NE(interaction, nullptr);
    QStringList texts;
    interaction->runMenu = [&](QMenu& menu, QPoint) {
        for (QAction* a : menu.actions())
            texts.append(a->text());
        return menu.actions().at(2)->data().toInt();
    };
    const QPoint p = centre(axis->GetRect());
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, view.viewport()->mapToGlobal(p));
    QApplication::sendEvent(view.viewport(), &event);

    EXPECT_EQ(texts, (QStringList{"&Settings...", "&Ticks...", "&Font...", "T&itle..."}));
    EXPECT_EQ(axis->commands, QList<int>{Axis::FontCommand});
    EXPECT_EQ(axis->edits, 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(view.interactionState().menuCandidates);
}

TEST_F(GraphInteractionTest, RightClickWithoutAMenuAsksWhichOfTwoAndEditsIt)
{
    PickFirst chooser;
    DocumentEditors::setInstance(&chooser);
    auto* a = static_cast<MenuBox*>(doc.GetObjects().Add(std::make_unique<MenuBox>(1, 1, 0)));
    auto* b = static_cast<MenuBox*>(doc.GetObjects().Add(std::make_unique<MenuBox>(1, 1, 0)));
    a->SetName("A");
    b->SetName("B");
    TestWindow view(&doc);
    const QPoint p = centre(a->GetRect());
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, view.viewport()->mapToGlobal(p));
    QApplication::sendEvent(view.viewport(), &event);
    DocumentEditors::setInstance(nullptr);

    EXPECT_EQ(chooser.asked, 1);
    EXPECT_EQ(a->edits + b->edits, 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(GraphInteractionTest, DoubleClickEditsTheObject)
{
    auto* box = static_cast<MenuBox*>(doc.GetObjects().Add(std::make_unique<MenuBox>(1, 1, 0)));
    TestWindow view(&doc);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, centre(box->GetRect()));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, centre(box->GetRect()));
    EXPECT_EQ(box->edits, 1);
    EXPECT_TRUE(doc.IsModified());
}

// The regions the viewport is asked to paint.
class PaintRegions : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion region;
};

// A step of moving an axis repaints the axis and the trace drawn on it where they were and
// where they go, and leaves the rest of the page alone.
TEST_F(GraphInteractionTest, MovingAnAxisRepaintsItAndItsTraceOnly)
{
    QTemporaryDir dir;
    Trace* trace = addSquaresTrace(doc, dir.path());
    ASSERT_NE(trace, nullptr);
    Box* far = addBox(8, 6, 0.5f, 0.5f);
    TestWindow view(&doc, 1000, 800);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    auto list = std::make_unique<visiblelist>();
    list->append(trace->GetXAxis());
    view.SetSelection(std::move(list));
    QApplication::processEvents();
    const Rect axisBefore = trace->GetXAxis()->GetRect();
    const Rect traceBefore = trace->GetRect();

    PaintRegions paints;
    view.viewport()->installEventFilter(&paints);
    const QPoint from(axisBefore.left + axisBefore.width() / 3,
                      axisBefore.top + axisBefore.height() / 2);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    const QPoint to = from + QPoint(30, -20);
    QMouseEvent move(QEvent::MouseMove, to, view.viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    QApplication::processEvents();
    view.viewport()->removeEventFilter(&paints);

    const Rect traceAfter = trace->GetRect();
    ASSERT_NE(traceAfter, traceBefore);
    for (const Rect& r : {axisBefore, trace->GetXAxis()->GetRect(), traceBefore, traceAfter})
        EXPECT_TRUE((QRegion(r.left, r.top, r.width(), r.height()) - paints.region).isEmpty());
    // Label glyphs hang past the box they are measured by: a strip below the old box goes too.
    EXPECT_TRUE(
        (QRegion(axisBefore.left, axisBefore.bottom, axisBefore.width(), 12) - paints.region)
            .isEmpty());
    EXPECT_FALSE(paints.region.contains(centre(far->GetRect())));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace
