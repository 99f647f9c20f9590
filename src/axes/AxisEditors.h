#pragma once

#include "platform/Installed.h"

class Axis;
class AxisTitle;
class DocumentServices;
class StringObMap;
class visibleobject;

// The dialogs that axis operations open. The axes' dialog library implements it and the
// application installs it at start-up; tests install scripted editors. With none installed an
// operation that needs a dialog answers 0 and changes nothing.
class AxisEditors
{
public:
    virtual ~AxisEditors() = default;

    // Format Axes for the axis of a document (the document may be null); nonzero when confirmed.
    virtual int formatAxes(Axis& axis, DocumentServices* doc) = 0;
    // Format Ticks and Labels; nonzero when confirmed.
    virtual int formatTicks(Axis& axis) = 0;
    // The label font chooser; on OK it sets the axis's label font and colour; nonzero when
    // confirmed.
    virtual int chooseLabelFont(Axis& axis) = 0;
    // The Axis Title dialog; nonzero when confirmed.
    virtual int editTitle(AxisTitle& title) = 0;
    // Select Axis over name -> axis; the chosen axis, or null on Cancel or with no line chosen.
    virtual visibleobject* chooseAxis(const StringObMap& axes) = 0;

    // The installed editors (not owned), or null.
    static AxisEditors* instance() { return Installed<AxisEditors>::get(); }
    static void setInstance(AxisEditors* editors) { Installed<AxisEditors>::install(editors); }
};
