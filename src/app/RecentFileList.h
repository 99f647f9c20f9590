#pragma once

#include <QString>
#include <QStringList>

class Profile;

// The most recently opened or saved documents, newest first, kept in the profile's section
// "Recent File List" under File1, File2, ...
class RecentFileList
{
public:
    explicit RecentFileList(int size);

    void read(const Profile& profile);
    void write(Profile& profile) const;

    // Puts the path first; an entry for the same file moves up instead of appearing twice.
    void add(const QString& path);
    void remove(int index);
    const QStringList& files() const { return files_; }
    int size() const { return size_; }

    // The menu line of entry index (0-based): "&1 ~/plots/run.pvn", long paths shortened in
    // the middle, "&" in the path shown as itself.
    static QString menuLine(int index, const QString& path);

private:
    int size_;
    QStringList files_;
};
