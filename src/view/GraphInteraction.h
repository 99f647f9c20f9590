#pragma once

#include "view/ViewInteraction.h"

#include <QList>
#include <QPoint>
#include <functional>

class QMenu;
class StringObMap;
class visibleobject;
struct Rect;

// The mouse and keyboard of a graph view: a click picks the smallest object under the mouse,
// a band selects what it encloses (or stays as the focus rectangle), a drag inside the
// selection moves it, a drag on a handle resizes the one object, a double click edits the
// object and the right button opens the object's menu or its dialog.
class GraphInteraction : public ViewInteraction
{
public:
    // Shows a context menu at a global point and answers the chosen command id, 0 for none.
    // Tests replace it; the default runs the menu modally.
    using MenuRunner = std::function<int(QMenu& menu, QPoint globalPos)>;

    // The command ids of the axis and the trace menus, in menu order; empty for any other
    // menu id.
    static QList<int> contextMenuCommands(int menuId);

    void mousePress(PageScrollView& view, QMouseEvent& event) override;
    void mouseMove(PageScrollView& view, QMouseEvent& event) override;
    void mouseRelease(PageScrollView& view, QMouseEvent& event) override;
    void mouseDoubleClick(PageScrollView& view, QMouseEvent& event) override;
    void contextMenu(PageScrollView& view, QContextMenuEvent& event) override;
    void keyPress(PageScrollView& view, QKeyEvent& event) override;

    // Clears the selection and selects the smallest object under p together with every object
    // of exactly the same rectangle; nothing under p leaves the selection empty.
    static void pick(PageScrollView& view, QPoint p);
    // Every object whose rectangle lies entirely inside the band.
    static void selectEnclosed(PageScrollView& view, const Rect& band);

    MenuRunner runMenu;

private:
    void beginBand(PageScrollView& view, QPoint p);
    void endStates(PageScrollView& view, QPoint p);
    // Moves the selection by d pixels and its focus rectangle with it; false when nothing moved.
    static bool moveSelection(PageScrollView& view, QPoint d);
    // The object a command or dialog acts on: the only candidate, or the one the Format
    // Object dialog chooses; null on Cancel or when it left the page.
    static visibleobject* chooseCandidate(PageScrollView& view, const StringObMap& candidates);
    static void editObject(PageScrollView& view, visibleobject* obj);
    // The selection moved since the button went down.
    bool moved_ = false;
};
