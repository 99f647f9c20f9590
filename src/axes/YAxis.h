#pragma once

#include "axes/OrientedAxis.h"

// A vertical axis (angle 90): labels end left of it, ticks point right into the plot or left.
class YAxis : public OrientedAxis
{
    PV_DECLARE_SERIAL(YAxis)

public:
    // For the archive's factory.
    YAxis();
    // A trace's new axis, named "Y-Axis " and a number once SetDefaultName is called.
    explicit YAxis(PageView* view);
    YAxis(PageView* view, double start, double end, float length, float x, float y);

    // The number the next default name tries.
    static int nextNameNumber();
};
