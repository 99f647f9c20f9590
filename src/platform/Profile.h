#pragma once

#include <QString>
#include <memory>

class QSettings;

// The program's private profile: an INI file read and written section by section, the way the
// framework's profile functions did it. The file is plotvane.ini in the user's configuration
// directory ($XDG_CONFIG_HOME, usually ~/.config), or the file named by PLOTVANE_PROFILE.
class Profile
{
public:
    // Opens the profile named by path().
    Profile();
    explicit Profile(const QString& fileName);
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    static QString path();
    QString fileName() const;

    bool contains(const QString& section, const QString& key) const;
    // The stored text, or defaultValue when the key is absent.
    QString getString(const QString& section, const QString& key,
                      const QString& defaultValue = {}) const;
    // The stored integer, or defaultValue when the key is absent. Like the framework, a value
    // that does not start with a number reads as 0, and a number followed by other text is
    // taken up to where the digits end; values beyond the int range are clamped.
    int getInt(const QString& section, const QString& key, int defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInt(const QString& section, const QString& key, int value);
    // Writes pending changes to the file; false when the file could not be written or read.
    bool flush();

private:
    std::unique_ptr<QSettings> settings_;
};
