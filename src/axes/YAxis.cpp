#include "axes/YAxis.h"

#include "page/DocumentServices.h"
#include "platform/Settings.h"

PV_IMPLEMENT_SERIAL(YAxis, Axis, 0)

namespace {
// Program-wide and never reset, so no name is handed out twice while the program runs.
int nameCounter = 1;
} // namespace

YAxis::YAxis()
{
    length = 4.0f; // the record overwrites it
    angle = 90;
    dirX = 0.0;
    dirY = 1.0;
}

YAxis::YAxis(PageView* v) : YAxis()
{
    view = v;
    length = defaultSettings().yAxisLength;
    // Not yet rescaled: the scale a first Rescale would give the default limits.
    scale = length / (end - start);
    ticks.SetFontFromSettings(defaultSettings());
}

YAxis::YAxis(PageView* v, double s, double e, float len, float px, float py) : YAxis()
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

void YAxis::SetDefaultName()
{
    DocumentServices* doc = document();
    do {
        name = QStringLiteral("Y-Axis ") + QString::number(nameCounter++);
    } while (doc && doc->IsNameInUse(name, this));
}

void YAxis::AutoTicks()
{
    Axis::AutoTicks();
    if (!ticks.autoTicks)
        return;
    const DefaultSettings& s = defaultSettings();
    ticks.tickAngle = s.tickDir == 0 ? 0 : 180;
    ticks.labelOffsetX = -s.labelSpacing;
    ticks.labelOffsetY = 0.0f;
}

int YAxis::nextNameNumber()
{
    return nameCounter;
}
