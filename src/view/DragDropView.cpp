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

namespace {

// Objects in the program's own format are copied or moved as the keys say; anything else
// dropped is taken as its source proposes.
template <typename Event> void acceptDrop(Event* event)
{
    if (ViewClipboard::canPaste(event->mimeData())) {
        const Qt::DropAction action =
            ViewClipboard::dropAction(event->possibleActions(), event->modifiers());
        if (action != Qt::IgnoreAction) {
            event->setDropAction(action);
            event->accept();
        }
    } else if (ViewClipboard::canDrop(event->mimeData())) {
        event->acceptProposedAction();
    }
}

} // namespace

void DragDropView::dragEnterEvent(QDragEnterEvent* event)
{
    event->ignore();
    interaction().dragEnter(*this, *event);
    // Data files and objects from other programs, where the interaction took nothing.
    if (!event->isAccepted())
        acceptDrop(event);
}

void DragDropView::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
    interaction().dragMove(*this, *event);
    if (!event->isAccepted())
        acceptDrop(event);
}

void DragDropView::dragLeaveEvent(QDragLeaveEvent* event)
{
    interaction().dragLeave(*this, *event);
}

void DragDropView::dropEvent(QDropEvent* event)
{
    event->ignore();
    interaction().drop(*this, *event);
    if (event->isAccepted())
        return;
    acceptDrop(event);
    if (!event->isAccepted())
        return;
    // A drop that failed must not let a moving source delete its originals.
    event->ignore();
    if (ViewClipboard::drop(*this, *event->mimeData(), event->position().toPoint()))
        event->accept();
}
