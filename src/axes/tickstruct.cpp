#include "axes/tickstruct.h"

#include "platform/Archive.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cstdint>

PV_IMPLEMENT_SERIAL(tickstruct, Persistent, 0)

namespace {

// The record keeps 16 bits of these values; a larger setting would come back as another number.
int toWordRange(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

int readShort(Archive& ar)
{
    return int16_t(ar.readWord());
}

} // namespace

void tickstruct::Serialize(Archive& ar)
{
    if (ar.isStoring()) {
        ar.writeDouble(firstTick);
        ar.writeDouble(tickSpacing);
        ar.writeWord(uint16_t(labelInterval));
        ar.writeWord(uint16_t(tickAngle));
        ar.writeFloat(majorTickLength);
        ar.writeFloat(minorTickLength);
        ar.writeFloat(labelOffsetX);
        ar.writeFloat(labelOffsetY);
        // Digits and the auto-digits flag come before the format in the stored record.
        ar.writeWord(uint16_t(decimalDigits));
        ar.writeWord(uint16_t(autoDigits));
        ar.writeWord(uint16_t(labelFormat));
        ar.writeWord(uint16_t(autoTicks));
        ar.writeWord(uint16_t(showLabels));
        labelFont.write(ar);
        ar.writeWord(uint16_t(labelPointSize));
        ar.writeDword(labelColor);
    } else {
        firstTick = ar.readDouble();
        tickSpacing = ar.readDouble();
        labelInterval = readShort(ar);
        tickAngle = readShort(ar);
        majorTickLength = ar.readFloat();
        minorTickLength = ar.readFloat();
        labelOffsetX = ar.readFloat();
        labelOffsetY = ar.readFloat();
        decimalDigits = readShort(ar);
        autoDigits = readShort(ar) != 0;
        labelFormat = Format(readShort(ar));
        autoTicks = readShort(ar) != 0;
        showLabels = readShort(ar) != 0;
        labelFont.read(ar);
        labelPointSize = readShort(ar);
        labelColor = ar.readDword();
    }
}

void tickstruct::CopyTicks(const tickstruct& other)
{
    *this = other;
}

LogFont tickstruct::labelFontFor(const DefaultSettings& settings)
{
    LogFont font;
    // Points to thousandths of an inch, the quotient truncated before the sign change
    // (10 points give -138).
    font.lfHeight = toWordRange(-(int64_t(settings.labelSize) * 1000 / 72));
    font.setFaceName(settings.labelFace);
    return font;
}

void tickstruct::SetFontFromSettings(const DefaultSettings& settings)
{
    labelFont = labelFontFor(settings);
    labelPointSize = toWordRange(int64_t(settings.labelSize) * 10);
    labelColor = 0;
}
