#include "axes/XAxis.h"

PV_IMPLEMENT_SERIAL(XAxis, Axis, 0)

namespace {
int nameCounter = 1;

const AxisOrientation horizontal{.angle = 0,
                                 .dirX = 1.0,
                                 .dirY = 0.0,
                                 .unreadLength = 1.0f,
                                 .newLength = &DefaultSettings::xAxisLength,
                                 .namePrefix = "X-Axis ",
                                 .nameCounter = &nameCounter,
                                 .inwardTickAngle = 90,
                                 .outwardTickAngle = -90,
                                 .labelsLeft = false};
} // namespace

XAxis::XAxis() : OrientedAxis(horizontal) {}

XAxis::XAxis(PageView* v) : OrientedAxis(horizontal, v) {}

XAxis::XAxis(PageView* v, double s, double e, float len, float px, float py)
    : OrientedAxis(horizontal, v, s, e, len, px, py)
{}

int XAxis::nextNameNumber()
{
    return nameCounter;
}
