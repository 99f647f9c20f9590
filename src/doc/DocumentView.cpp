#include "doc/DocumentView.h"

namespace {
DocumentView* activeView = nullptr;
}

DocumentView* DocumentView::active()
{
    return activeView;
}

void DocumentView::setActive(DocumentView* view)
{
    activeView = view;
}
