#include "axes/OrientedAxis.h"

#include "page/DocumentServices.h"

OrientedAxis::OrientedAxis(const AxisOrientation& o) : orientation(o)
{
    length = o.unreadLength;
    angle = o.angle;
    dirX = o.dirX;
    dirY = o.dirY;
}

OrientedAxis::OrientedAxis(const AxisOrientation& o, PageView* v) : OrientedAxis(o)
{
    view = v;
    length = defaultSettings().*o.newLength;
    // Not yet rescaled: the scale a first Rescale would give the default limits.
    scale = length / (end - start);
    ticks.SetFontFromSettings(defaultSettings());
}

OrientedAxis::OrientedAxis(const AxisOrientation& o, PageView* v, double s, double e, float len,
                           float px, float py)
    : OrientedAxis(o)
{
    x = px;
    y = py;
    view = v;
    start = s;
    end = e;
    length = len;
    if (e != s)
        scale = length / (e - s);
    logScale = false;
    ComputeRect();
    AutoTicks();
    autoRange = true;
    ticks.SetFontFromSettings(defaultSettings());
}

void OrientedAxis::SetDefaultName()
{
    DocumentServices* doc = document();
    const QString prefix = QString::fromLatin1(orientation.namePrefix);
    int& counter = *orientation.nameCounter;
    do {
        name = prefix + QString::number(counter++);
    } while (doc && doc->IsNameInUse(name, this));
}

void OrientedAxis::AutoTicks()
{
    Axis::AutoTicks();
    if (!ticks.autoTicks)
        return;
    const DefaultSettings& s = defaultSettings();
    ticks.tickAngle = s.tickDir == 0 ? orientation.inwardTickAngle : orientation.outwardTickAngle;
    if (orientation.labelsLeft) {
        ticks.labelOffsetX = -s.labelSpacing;
        ticks.labelOffsetY = 0.0f;
    } else {
        ticks.labelOffsetX = 0.0f;
        ticks.labelOffsetY = -s.labelSpacing;
    }
}
