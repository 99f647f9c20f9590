#include "axes/XAxis.h"

#include "page/DocumentServices.h"
#include "platform/Settings.h"

PV_IMPLEMENT_SERIAL(XAxis, Axis, 0)

namespace {
// Program-wide and never reset, so no name is handed out twice while the program runs.
int nameCounter = 1;
} // namespace

XAxis::XAxis()
{
    angle = 0;
    dirX = 1.0;
    dirY = 0.0;
}

XAxis::XAxis(PageView* v) : XAxis()
{
    view = v;
    length = defaultSettings().xAxisLength;
    // Not yet rescaled: the scale a first Rescale would give the default limits.
    scale = length / (end - start);
    ticks.SetFontFromSettings(defaultSettings());
}

XAxis::XAxis(PageView* v, double s, double e, float len, float px, float py) : XAxis()
{
    x = px;
    y = py;
    view = v;
    start = s;
    end = e;
    length = len;
    if (e != s)
        scale = length / (e - s);
    logScale = 0;
    ComputeRect();
    AutoTicks();
    autoRange = 1;
    ticks.SetFontFromSettings(defaultSettings());
}

void XAxis::SetDefaultName()
{
    DocumentServices* doc = document();
    do {
        name = QStringLiteral("X-Axis ") + QString::number(nameCounter++);
    } while (doc && doc->IsNameInUse(name, this));
}

void XAxis::AutoTicks()
{
    Axis::AutoTicks();
    if (!ticks.autoTicks)
        return;
    const DefaultSettings& s = defaultSettings();
    ticks.tickAngle = s.tickDir == 0 ? 90 : -90;
    ticks.labelOffsetX = 0.0f;
    ticks.labelOffsetY = -s.labelSpacing;
}

int XAxis::nextNameNumber()
{
    return nameCounter;
}
