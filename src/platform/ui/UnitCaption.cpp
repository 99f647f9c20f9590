#include "platform/ui/UnitCaption.h"

#include "platform/Settings.h"

#include <QLabel>
#include <QVariant>

namespace {
constexpr const char* baseCaptionProperty = "plotvaneBaseCaption";
}

void applyUnitCaption(QLabel* label, int units)
{
    if (!label)
        return;
    QVariant base = label->property(baseCaptionProperty);
    if (!base.isValid()) {
        base = label->text();
        label->setProperty(baseCaptionProperty, base);
    }
    label->setText(unitCaption(base.toString(), units));
}
