#pragma once

#include "axes/Axis.h"
#include "platform/Settings.h"

// The constants that set a horizontal axis apart from a vertical one.
struct AxisOrientation
{
    int angle; // degrees counter-clockwise from the page's x direction
    double dirX;
    double dirY;
    float unreadLength;                // inches, until the record overwrites it
    float DefaultSettings::*newLength; // the setting that gives a trace's new axis its length
    const char* namePrefix;
    int* nameCounter;     // program-wide, never reset
    int inwardTickAngle;  // ticks pointing into the plot
    int outwardTickAngle; // and away from it
    bool labelsLeft;      // else the labels hang below the axis
};

// The body of XAxis and YAxis, which differ only in their orientation. Not a stored class: the
// archive knows its objects by the names of those two.
class OrientedAxis : public Axis
{
public:
    OrientedAxis(const OrientedAxis& other) = default;

    // The prefix and the next number of the orientation's counter that no object of the
    // document uses.
    void SetDefaultName() override;
    void AutoTicks() override;

protected:
    // For the archive's factory.
    explicit OrientedAxis(const AxisOrientation& orientation);
    // A trace's new axis: the length setting and the label font of the settings; the tick record
    // keeps its defaults until the first AutoRange.
    OrientedAxis(const AxisOrientation& orientation, PageView* view);
    // A memory trace's axis over [start, end], laid out and with automatic ticks.
    OrientedAxis(const AxisOrientation& orientation, PageView* view, double start, double end,
                 float length, float x, float y);

private:
    const AxisOrientation& orientation;
};
