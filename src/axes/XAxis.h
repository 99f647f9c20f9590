#pragma once

#include "axes/Axis.h"

// A horizontal axis (angle 0): labels hang below it, ticks point up into the plot or down.
class XAxis : public Axis
{
    PV_DECLARE_SERIAL(XAxis)

public:
    // For the archive's factory.
    XAxis();
    // A trace's new axis: the XAxisLength setting and the label font of the settings; the
    // tick record keeps its defaults until the first AutoRange.
    explicit XAxis(PageView* view);
    // A memory trace's axis over [start, end], laid out and with automatic ticks.
    XAxis(PageView* view, double start, double end, float length, float x, float y);
    XAxis(const XAxis& other) = default;

    // "X-Axis " and the next number of a program-wide counter that no object of the document
    // uses.
    void SetDefaultName() override;
    void AutoTicks() override;

    // The number the next default name tries.
    static int nextNameNumber();
};
