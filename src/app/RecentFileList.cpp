#include "app/RecentFileList.h"

#include "platform/Profile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString section = QStringLiteral("Recent File List");
constexpr int longestShownPath = 60;

QString entryKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

QString normalized(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

RecentFileList::RecentFileList(int size) : size_(size) {}

void RecentFileList::read(const Profile& profile)
{
    files_.clear();
    for (int i = 0; i < size_; ++i) {
        const QString path = profile.getString(section, entryKey(i));
        if (!path.isEmpty() && !files_.contains(path))
            files_.append(path);
    }
}

void RecentFileList::write(Profile& profile) const
{
    for (int i = 0; i < size_; ++i)
        profile.writeString(section, entryKey(i), i < files_.size() ? files_[i] : QString());
    profile.flush();
}

void RecentFileList::add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString entry = normalized(path);
    files_.removeAll(entry);
    files_.prepend(entry);
    while (files_.size() > size_)
        files_.removeLast();
}

void RecentFileList::remove(int index)
{
    if (index >= 0 && index < files_.size())
        files_.removeAt(index);
}

QString RecentFileList::menuLine(int index, const QString& path)
{
    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/") && shown.startsWith(home + QLatin1Char('/')))
        shown = QLatin1Char('~') + shown.mid(home.size());
    if (shown.size() > longestShownPath) {
        const qsizetype keep = (longestShownPath - 3) / 2;
        shown = shown.left(keep) + QStringLiteral("...") + shown.right(keep);
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
