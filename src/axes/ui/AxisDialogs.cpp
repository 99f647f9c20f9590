#include "axes/ui/AxisDialogs.h"

#include "axes/Axis.h"
#include "axes/ui/FormatAxesDialog.h"
#include "axes/ui/FormatTicksDialog.h"
#include "platform/Strings.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/FormatObjectDialog.h"

#include <QApplication>

int AxisDialogs::formatAxes(Axis& axis, DocumentServices* doc)
{
    FormatAxesDialog dialog(axis, doc, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int AxisDialogs::formatTicks(Axis& axis)
{
    FormatTicksDialog dialog(axis, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int AxisDialogs::chooseLabelFont(Axis& axis)
{
    return chooseAxisLabelFont(axis, QApplication::activeWindow());
}

int AxisDialogs::editTitle(AxisTitle&)
{
    return 0;
}

visibleobject* AxisDialogs::chooseAxis(const StringObMap& axes)
{
    FormatObjectDialog dialog(axes, QObject::tr("Select Axis..."), QObject::tr("Axes:"), true,
                              QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? static_cast<visibleobject*>(dialog.chosenObject())
                                              : nullptr;
}

int chooseAxisLabelFont(Axis& axis, QWidget* parent)
{
    tickstruct& ticks = axis.GetTicks();
    LogFont font = ticks.labelFont;
    font.lfWidth = 0;
    ColorRef color = ticks.labelColor;
    int pointSize = ticks.labelPointSize;
    if (!chooseFont(font, color, pointSize, parent))
        return 0;
    axis.SetLabelFont(font, pointSize);
    ticks.labelColor = color;
    return 1;
}
