#include "traces/TraceEditors.h"

namespace {
TraceEditors* installedEditors = nullptr;
}

TraceEditors* TraceEditors::instance()
{
    return installedEditors;
}

void TraceEditors::setInstance(TraceEditors* editors)
{
    installedEditors = editors;
}
