#pragma once

#include "axes/AxisEditors.h"

class Axis;
class QWidget;

// The axes' dialogs as modal windows over the program's active window. The application
// installs one at start-up (AxisEditors::setInstance).
class AxisDialogs : public AxisEditors
{
public:
    int formatAxes(Axis& axis, DocumentServices* doc) override;
    int formatTicks(Axis& axis) override;
    int chooseLabelFont(Axis& axis) override;
    int editTitle(AxisTitle& title) override;
    visibleobject* chooseAxis(const StringObMap& axes) override;
};

// The label font command: the font chooser on the axis's label font and colour; on OK the
// axis takes the chosen font, size and colour. Nonzero when confirmed.
int chooseAxisLabelFont(Axis& axis, QWidget* parent);
