#pragma once

#include "ole/OleEditors.h"

// The embedded objects' dialogs as modal windows over the program's active window. The
// application installs one at start-up.
class OleDialogs : public OleEditors
{
public:
    int formatObject(VisibleOLE& object) override;
    int editLabel(TextLabel& label) override;
    InsertChoice chooseInsert() override;
};
