#include "axes/AxisEditors.h"

namespace {
AxisEditors* installedEditors = nullptr;
}

AxisEditors* AxisEditors::instance()
{
    return installedEditors;
}

void AxisEditors::setInstance(AxisEditors* editors)
{
    installedEditors = editors;
}
