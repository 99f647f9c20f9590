#include "axes/XAxis.h"

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
    initForView(v, defaultSettings().xAxisLength);
}

XAxis::XAxis(PageView* v, double s, double e, float len, float px, float py) : XAxis()
{
    initForRange(v, s, e, len, px, py);
}

void XAxis::SetDefaultName()
{
    takeDefaultName(QStringLiteral("X-Axis "), nameCounter);
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
