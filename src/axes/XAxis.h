#pragma once

#include "axes/OrientedAxis.h"

// A horizontal axis (angle 0): labels hang below it, ticks point up into the plot or down.
class XAxis : public OrientedAxis
{
    PV_DECLARE_SERIAL(XAxis)

public:
    // For the archive's factory.
    XAxis();
    // A trace's new axis, named "X-Axis " and a number once SetDefaultName is called.
    explicit XAxis(PageView* view);
    XAxis(PageView* view, double start, double end, float length, float x, float y);

    // The number the next default name tries.
    static int nextNameNumber();
};
