#pragma once

class PageScrollView;
class DeviceContext;
class QContextMenuEvent;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QMouseEvent;

// The mouse, keyboard and drag-and-drop behaviour of a graph view: selecting, moving and
// resizing objects, the rubber band, readouts and drops. The view owns one and hands it every
// input event; the defaults do nothing, so a view without interaction only shows its page.
// Handlers work on the view's state (focus rectangle, selection, flags) and ask for repaints
// with update(); everything drawn over the page is painted from that state in paintOverlay.
class ViewInteraction
{
public:
    virtual ~ViewInteraction() = default;

    // Points are client pixels of the view's viewport.
    virtual void mousePress(PageScrollView& /*view*/, QMouseEvent& /*event*/) {}
    virtual void mouseMove(PageScrollView& /*view*/, QMouseEvent& /*event*/) {}
    virtual void mouseRelease(PageScrollView& /*view*/, QMouseEvent& /*event*/) {}
    virtual void mouseDoubleClick(PageScrollView& /*view*/, QMouseEvent& /*event*/) {}
    virtual void contextMenu(PageScrollView& /*view*/, QContextMenuEvent& /*event*/) {}
    virtual void keyPress(PageScrollView& /*view*/, QKeyEvent& /*event*/) {}

    // Drops from other programs and from views; the event is ignored unless a handler
    // accepts it.
    virtual void dragEnter(PageScrollView& /*view*/, QDragEnterEvent& /*event*/) {}
    virtual void dragMove(PageScrollView& /*view*/, QDragMoveEvent& /*event*/) {}
    virtual void dragLeave(PageScrollView& /*view*/, QDragLeaveEvent& /*event*/) {}
    virtual void drop(PageScrollView& /*view*/, QDropEvent& /*event*/) {}

    // Called at the end of painting, after the page and the selection marks, with the context
    // in plain device pixels (text mapping): rubber band, readout markers and the like.
    virtual void paintOverlay(PageScrollView& /*view*/, DeviceContext& /*dc*/) {}
    // The selection has just been replaced (by the view or a handler).
    virtual void selectionChanged(PageScrollView& /*view*/) {}
};
