#pragma once

#include "view/ViewInteraction.h"

#include <QList>
#include <QPoint>
#include <Qt>
#include <functional>

class QDrag;
class QMenu;
class StringObMap;
class visibleobject;
struct Rect;

// The mouse and keyboard of a graph view: a click picks the smallest object under the mouse,
// a band selects what it encloses (or stays as the focus rectangle), a drag inside the
// selection moves it (and, once it leaves the view, carries it to other views or programs),
// a drag on a handle resizes the one object, a double click edits the
// object and the right button opens the object's menu or its dialog.
class GraphInteraction : public ViewInteraction
{
public:
    // Shows a context menu at a global point and answers the chosen command id, 0 for none.
    // Tests replace it; the default runs the menu modally.
    using MenuRunner = std::function<int(QMenu& menu, QPoint globalPos)>;
    // Runs a drag of the selection offering the actions and answers what the target did with
    // it. Tests replace it; the default runs the drag modally, copying unless the target asks
    // for a move.
    using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions actions)>;

    // The command ids of the axis and the trace menus, in menu order; empty for any other
    // menu id.
    static QList<int> contextMenuCommands(int menuId);

    void mousePress(PageScrollView& view, QMouseEvent& event) override;
    void mouseMove(PageScrollView& view, QMouseEvent& event) override;
    void mouseRelease(PageScrollView& view, QMouseEvent& event) override;
    void mouseDoubleClick(PageScrollView& view, QMouseEvent& event) override;
    void contextMenu(PageScrollView& view, QContextMenuEvent& event) override;
    void keyPress(PageScrollView& view, QKeyEvent& event) override;
    // The view's own drag dropped back onto it moves the selection to the drop point.
    void drop(PageScrollView& view, QDropEvent& event) override;

    // The source's part once a drag has ended with the target's action: a move onto another
    // view or program deletes the originals; a copy, a cancelled drag or a move within the
    // view leaves them. The moving state ends in every case.
    void finishDrag(PageScrollView& view, Qt::DropAction result);

    // Clears the selection and selects the smallest object under p together with every object
    // of exactly the same rectangle; nothing under p leaves the selection empty.
    static void pick(PageScrollView& view, QPoint p);
    // Every object whose rectangle lies entirely inside the band.
    static void selectEnclosed(PageScrollView& view, const Rect& band);

    MenuRunner runMenu;
    DragRunner runDrag;

private:
    void beginBand(PageScrollView& view, QPoint p);
    void endStates(PageScrollView& view, QPoint p);
    // Moves the selection by d pixels and its focus rectangle with it; false when nothing moved.
    static bool moveSelection(PageScrollView& view, QPoint d);
    // The object a command or dialog acts on: the only candidate, or the one the Format
    // Object dialog chooses; null on Cancel or when it left the page.
    static visibleobject* chooseCandidate(PageScrollView& view, const StringObMap& candidates);
    static void editObject(PageScrollView& view, visibleobject* obj);
    void startDrag(PageScrollView& view);
    // The selection moved since the button went down.
    bool moved_ = false;
    // Where the button went down on the selection: a drag carries it from there.
    QPoint pressPoint_;
    // A drag of the selection is running, and whether it came back onto this view.
    bool dragging_ = false;
    bool droppedOnSelf_ = false;
};
