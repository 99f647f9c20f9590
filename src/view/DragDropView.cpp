#include "view/DragDropView.h"

#include "view/ViewClipboard.h"
#include "view/ViewInteraction.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

DragDropView::DragDropView(PlotDocument* doc, QWidget* parent) : PageScrollView(doc, parent)
{
    // Drops arrive at the viewport, in client pixels, and come on to the handlers below.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

DragDropView::~DragDropView() = default;

void DragDropView::dragEnterEvent(QDragEnterEvent* event)
{
    event->ignore();
    interaction().dragEnter(*this, *event);
    // Data files and objects from other programs, where the interaction took nothing.
    if (!event->isAccepted() && ViewClipboard::canDrop(event->mimeData()))
        event->acceptProposedAction();
}

void DragDropView::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
    interaction().dragMove(*this, *event);
    if (!event->isAccepted() && ViewClipboard::canDrop(event->mimeData()))
        event->acceptProposedAction();
}

void DragDropView::dragLeaveEvent(QDragLeaveEvent* event)
{
    interaction().dragLeave(*this, *event);
}

void DragDropView::dropEvent(QDropEvent* event)
{
    event->ignore();
    interaction().drop(*this, *event);
    if (!event->isAccepted() &&
        ViewClipboard::drop(*this, *event->mimeData(), event->position().toPoint()))
        event->acceptProposedAction();
}
