#pragma once

#include <QString>

class Profile;

// The user's defaults for new objects: new axes, titles and traces take their look from here,
// new views their scale, and every dialog that shows lengths its units. Lengths are page
// units (inches) whatever the units shown in dialogs.
struct DefaultSettings
{
    float xAxisLength = 6.0f;
    float yAxisLength = 4.0f;
    int labelSize = 12; // points
    QString labelFace = QStringLiteral("Arial");
    float labelSpacing = 0.1f; // distance of labels from their axis
    int titleSize = 18;        // points
    QString titleFace = QStringLiteral("Arial");
    unsigned int symbolChar = 108; // character code in symbolFace
    QString symbolFace = QStringLiteral("Wingdings");
    int symbolSize = 10;       // points
    float titleSpacing = 0.4f; // distance of a title from its axis
    int tickDir = 0;           // 0 = in, 1 = out
    int units = 0;             // 0 = inch, 1 = cm
    float originX = 1.0f;      // where the axes of a new trace cross, from the page origin
    float originY = 1.0f;
    float scale = 1.0f; // initial scale of a new view

    // Fills every field from the section Settings; absent keys keep the defaults above.
    void read(const Profile& profile);
    // Writes all sixteen keys; false when the profile file could not be written.
    bool write(Profile& profile) const;

    bool operator==(const DefaultSettings&) const = default;
};

namespace Settings {
inline const QString section = QStringLiteral("Settings");
constexpr int inch = 0;
constexpr int cm = 1;
// The stored font record has room for 31 characters of a face name.
constexpr int maxFaceLength = 31;
} // namespace Settings

// The one record of the running program, read at start-up and changed by the Defaults command.
DefaultSettings& defaultSettings();

// Lengths between page units (inches) and the units dialogs show (units 1 = cm).
float toDisplay(float inches, int units);
float fromDisplay(float shown, int units);

// A length label with the unit suffix " (cm):" or " (in.):" appended.
QString unitCaption(const QString& label, int units);
