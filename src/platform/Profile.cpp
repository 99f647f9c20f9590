#include "platform/Profile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <climits>

namespace {

QString keyPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

// The framework's profile integer: optional white space and sign, then decimal digits.
int parseProfileInt(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

} // namespace

Profile::Profile() : Profile(path()) {}

Profile::Profile(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{}

Profile::~Profile() = default;

QString Profile::path()
{
    const QString fromEnvironment = qEnvironmentVariable("PLOTVANE_PROFILE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("plotvane.ini"));
}

QString Profile::fileName() const
{
    return settings_->fileName();
}

bool Profile::contains(const QString& section, const QString& key) const
{
    return settings_->contains(keyPath(section, key));
}

QString Profile::getString(const QString& section, const QString& key,
                           const QString& defaultValue) const
{
    const QVariant value = settings_->value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with unquoted commas comes back as a list; the profile has no lists.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

int Profile::getInt(const QString& section, const QString& key, int defaultValue) const
{
    if (!contains(section, key))
        return defaultValue;
    return parseProfileInt(getString(section, key));
}

void Profile::writeString(const QString& section, const QString& key, const QString& value)
{
    settings_->setValue(keyPath(section, key), value);
}

void Profile::writeInt(const QString& section, const QString& key, int value)
{
    settings_->setValue(keyPath(section, key), value);
}

bool Profile::flush()
{
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}
