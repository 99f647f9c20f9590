#include "page/DocumentServices.h"

namespace {
DocumentServices* currentDocument = nullptr;
}

DocumentServices* DocumentServices::current()
{
    return currentDocument;
}

void DocumentServices::setCurrent(DocumentServices* doc)
{
    currentDocument = doc;
}
