#include "axes/YAxis.h"

PV_IMPLEMENT_SERIAL(YAxis, Axis, 0)

namespace {
int nameCounter = 1;

const AxisOrientation vertical{.angle = 90,
                               .dirX = 0.0,
                               .dirY = 1.0,
                               .unreadLength = 4.0f,
                               .newLength = &DefaultSettings::yAxisLength,
                               .namePrefix = "Y-Axis ",
                               .nameCounter = &nameCounter,
                               .inwardTickAngle = 0,
                               .outwardTickAngle = 180,
                               .labelsLeft = true};
} // namespace

YAxis::YAxis() : OrientedAxis(vertical) {}

YAxis::YAxis(PageView* v) : OrientedAxis(vertical, v) {}

YAxis::YAxis(PageView* v, double s, double e, float len, float px, float py)
    : OrientedAxis(vertical, v, s, e, len, px, py)
{}

int YAxis::nextNameNumber()
{
    return nameCounter;
}
