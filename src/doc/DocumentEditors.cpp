#include "doc/DocumentEditors.h"

namespace {
DocumentEditors* installed = nullptr;
}

DocumentEditors* DocumentEditors::instance()
{
    return installed;
}

void DocumentEditors::setInstance(DocumentEditors* editors)
{
    installed = editors;
}
