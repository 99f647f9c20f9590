#pragma once

#include "axes/Axis.h"

// A vertical axis (angle 90): labels end left of it, ticks point right into the plot or left.
class YAxis : public Axis
{
    PV_DECLARE_SERIAL(YAxis)

public:
    // For the archive's factory.
    YAxis();
    // A trace's new axis: the YAxisLength setting and the label font of the settings; the
    // tick record keeps its defaults until the first AutoRange.
    explicit YAxis(PageView* view);
    // A memory trace's axis over [start, end], laid out and with automatic ticks.
    YAxis(PageView* view, double start, double end, float length, float x, float y);
    YAxis(const YAxis& other) = default;

    // "Y-Axis " and the next number of a program-wide counter that no object of the document
    // uses.
    void SetDefaultName() override;
    void AutoTicks() override;

    // The number the next default name tries.
    static int nextNameNumber();
};
