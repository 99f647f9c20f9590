#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"
#include "platform/Persistent.h"

struct DefaultSettings;

// The tick and label settings of one axis, held by value in the axis and written in place
// after the axis's own fields (no class tag). On a logarithmic axis firstTick is the exponent
// of the first labelled tick, tickSpacing is in decades and labelInterval is the number of
// subdivisions of a major step.
class tickstruct : public Persistent
{
    PV_DECLARE_SERIAL(tickstruct)

public:
    // Stored as a word; a value outside these is kept as read and labels it like Auto.
    enum class Format : int { Auto = 1, Decimal = 2, Exponential = 3 };

    tickstruct() = default;
    tickstruct(const tickstruct&) = default;
    tickstruct& operator=(const tickstruct&) = default;

    void Serialize(Archive& ar) override;
    virtual void CopyTicks(const tickstruct& other);

    // The label font of new axes: the LabelSize and LabelFace settings, black.
    void SetFontFromSettings(const DefaultSettings& settings);
    static LogFont labelFontFor(const DefaultSettings& settings);

    double firstTick = 0.0;        // data value (logarithmic: exponent) of tick 0
    double tickSpacing = 0.0;      // data units (logarithmic: decades) between neighbouring ticks
    int labelInterval = 2;         // every labelInterval-th tick is major and labelled
    int tickAngle = 0;             // degrees counter-clockwise from the page's x direction
    float majorTickLength = 0.15f; // inches
    float minorTickLength = 0.1f;  // inches
    float labelOffsetX = 0.1f;     // inches from the tick point
    float labelOffsetY = 0.1f;     // inches from the tick point
    Format labelFormat = Format::Auto;
    int decimalDigits = 0; // used when autoDigits is off and the format is not Auto
    bool autoDigits = true;
    bool autoTicks = true;
    bool showLabels = true;
    // No face and height 0 until an axis constructor or a file sets it: the device's default.
    LogFont labelFont;
    int labelPointSize = 0; // tenths of a point, as the font chooser reports it
    ColorRef labelColor = 0;
};
