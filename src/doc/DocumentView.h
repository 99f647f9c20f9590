#pragma once

#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "platform/Installed.h"

#include <QSize>

class visibleobject;

// What the plot document needs of a view beyond the page mapping: change notification, the
// reset after the page changed and the page size. The graph view implements it; a view
// registers with its document (DocumentBase::AddView) and the document only refers to it.
class DocumentView : public PageView
{
public:
    // hint 10 with obj: repaint obj's rectangle; hint 11 with rect: repaint that rectangle
    // (client pixels); any other hint: repaint everything.
    virtual void OnUpdate(DocumentServices::UpdateHint hint, visibleobject* obj,
                          const Rect* rect) = 0;
    // Adopts the page objects again, drops the selection, lays everything out and repaints.
    virtual void ResetView() = 0;
    // The printer page in screen pixels at view scale 1.
    virtual QSize pageSize() const = 0;
    // Every page object is about to be replaced by another state of the document (undo, redo):
    // whatever the view keeps of them goes now. A ResetView follows.
    virtual void pageReplaced() {}

    // The view of the active window of the program, or null; set by the main frame.
    static DocumentView* active() { return Installed<DocumentView>::get(); }
    static void setActive(DocumentView* view) { Installed<DocumentView>::install(view); }
};
