#include "platform/Settings.h"

#include "platform/NumberFormat.h"
#include "platform/Profile.h"
#include "platform/Strings.h"

#include <cmath>

namespace {

constexpr float cmPerInch = 2.54f;

float readFloat(const Profile& profile, const QString& key, float defaultValue)
{
    if (!profile.contains(Settings::section, key))
        return defaultValue;
    const float value =
        static_cast<float>(NumberFormat::atof(profile.getString(Settings::section, key)));
    // "nan", "inf" and values beyond float range would reach axis and view arithmetic; they
    // are as unusable as any other malformed text.
    return std::isfinite(value) ? value : 0.0f;
}

int readInt(const Profile& profile, const QString& key, int defaultValue)
{
    return profile.getInt(Settings::section, key, defaultValue);
}

QString readFace(const Profile& profile, const QString& key, const QString& defaultValue)
{
    return profile.getString(Settings::section, key, defaultValue).left(Settings::maxFaceLength);
}

void writeFloat(Profile& profile, const QString& key, float value)
{
    profile.writeString(Settings::section, key, NumberFormat::printf("%f", value));
}

} // namespace

void DefaultSettings::read(const Profile& profile)
{
    const DefaultSettings defaults;
    xAxisLength = readFloat(profile, QStringLiteral("XAxisLength"), defaults.xAxisLength);
    yAxisLength = readFloat(profile, QStringLiteral("YAxisLength"), defaults.yAxisLength);
    labelSize = readInt(profile, QStringLiteral("LabelSize"), defaults.labelSize);
    labelFace = readFace(profile, QStringLiteral("LabelFace"), defaults.labelFace);
    labelSpacing = readFloat(profile, QStringLiteral("LabelSpacing"), defaults.labelSpacing);
    titleSize = readInt(profile, QStringLiteral("TitleSize"), defaults.titleSize);
    titleFace = readFace(profile, QStringLiteral("TitleFace"), defaults.titleFace);
    const int storedChar =
        readInt(profile, QStringLiteral("SymbolChar"), static_cast<int>(defaults.symbolChar));
    // A negative code would become a character code in the billions.
    symbolChar = storedChar < 0 ? defaults.symbolChar : static_cast<unsigned int>(storedChar);
    symbolFace = readFace(profile, QStringLiteral("SymbolFace"), defaults.symbolFace);
    symbolSize = readInt(profile, QStringLiteral("SymbolSize"), defaults.symbolSize);
    titleSpacing = readFloat(profile, QStringLiteral("TitleSpacing"), defaults.titleSpacing);
    tickDir = readInt(profile, QStringLiteral("TickDir"), defaults.tickDir);
    units = readInt(profile, QStringLiteral("Units"), defaults.units);
    originX = readFloat(profile, QStringLiteral("OriginX"), defaults.originX);
    originY = readFloat(profile, QStringLiteral("OriginY"), defaults.originY);
    scale = readFloat(profile, QStringLiteral("Scale"), defaults.scale);
}

bool DefaultSettings::write(Profile& profile) const
{
    const QString& s = Settings::section;
    writeFloat(profile, QStringLiteral("XAxisLength"), xAxisLength);
    writeFloat(profile, QStringLiteral("YAxisLength"), yAxisLength);
    writeFloat(profile, QStringLiteral("OriginX"), originX);
    writeFloat(profile, QStringLiteral("OriginY"), originY);
    profile.writeInt(s, QStringLiteral("LabelSize"), labelSize);
    profile.writeString(s, QStringLiteral("LabelFace"), labelFace);
    profile.writeInt(s, QStringLiteral("TitleSize"), titleSize);
    profile.writeString(s, QStringLiteral("TitleFace"), titleFace);
    writeFloat(profile, QStringLiteral("TitleSpacing"), titleSpacing);
    profile.writeString(s, QStringLiteral("SymbolChar"), QString::number(symbolChar));
    profile.writeInt(s, QStringLiteral("SymbolSize"), symbolSize);
    profile.writeString(s, QStringLiteral("SymbolFace"), symbolFace);
    profile.writeInt(s, QStringLiteral("TickDir"), tickDir);
    writeFloat(profile, QStringLiteral("LabelSpacing"), labelSpacing);
    profile.writeInt(s, QStringLiteral("Units"), units);
    writeFloat(profile, QStringLiteral("Scale"), scale);
    return profile.flush();
}

DefaultSettings& defaultSettings()
{
    static DefaultSettings settings;
    return settings;
}

float toDisplay(float inches, int units)
{
    return units == Settings::cm ? inches * cmPerInch : inches;
}

float fromDisplay(float shown, int units)
{
    return units == Settings::cm ? shown / cmPerInch : shown;
}

QString unitCaption(const QString& label, int units)
{
    const QString suffix = loadString(units == Settings::cm ? Str::UnitsCm : Str::UnitsInch);
    return label.left(70) + suffix.left(10);
}
