#pragma once

#include "platform/Installed.h"

class VisibleOLE;
struct TextLabel;

// The dialogs embedded objects open. The ole dialog library implements it and the application
// installs it at start-up; tests install scripted editors. With none installed an operation
// that needs a dialog answers 0 and changes nothing.
class OleEditors
{
public:
    // What Insert New Object makes.
    enum class InsertChoice { Cancel, FromFile, TextLabel };

    virtual ~OleEditors() = default;

    // Format OLE Object: position, angle and scales; on OK the object takes them. Nonzero when
    // confirmed.
    virtual int formatObject(VisibleOLE& object) = 0;
    // The text label editor; on OK the label takes the values. Nonzero when confirmed.
    virtual int editLabel(TextLabel& label) = 0;
    // The small chooser of Insert New Object.
    virtual InsertChoice chooseInsert() = 0;

    static OleEditors* instance() { return Installed<OleEditors>::get(); }
};
