#include "axes/YAxis.h"

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
    initForView(v, defaultSettings().yAxisLength);
}

YAxis::YAxis(PageView* v, double s, double e, float len, float px, float py) : YAxis()
{
    initForRange(v, s, e, len, px, py);
}

void YAxis::SetDefaultName()
{
    takeDefaultName(QStringLiteral("Y-Axis "), nameCounter);
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
