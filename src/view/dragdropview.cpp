#include "view/dragdropview.h"

#include "view/ViewInteraction.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

dragdropview::dragdropview(VaneDoc* doc, QWidget* parent) : PageScrollView(doc, parent)
{
    // Drops arrive at the viewport, in client pixels, and come on to the handlers below.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

dragdropview::~dragdropview() = default;

void dragdropview::dragEnterEvent(QDragEnterEvent* event)
{
    event->ignore();
    interaction().dragEnter(*this, *event);
}

void dragdropview::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
    interaction().dragMove(*this, *event);
}

void dragdropview::dragLeaveEvent(QDragLeaveEvent* event)
{
    interaction().dragLeave(*this, *event);
}

void dragdropview::dropEvent(QDropEvent* event)
{
    event->ignore();
    interaction().drop(*this, *event);
}
