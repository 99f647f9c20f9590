#include "doc/FileFollower.h"

#include "data/DataFileMessages.h"
#include "doc/PlotDocument.h"

#include <QFileInfo>
#include <QSet>
#include <exception>

FileFollower::FileFollower(PlotDocument& doc, QObject* parent) : QObject(parent), doc_(doc)
{
    timer_.setSingleShot(true);
    timer_.setInterval(delay);
    connect(&timer_, &QTimer::timeout, this, [this] { update(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &FileFollower::changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FileFollower::changed);
}

void FileFollower::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on) {
        watchFiles();
        // What changed while nobody looked is read now.
        update();
        return;
    }
    timer_.stop();
    const QStringList files = watcher_.files(), directories = watcher_.directories();
    if (!files.isEmpty())
        watcher_.removePaths(files);
    if (!directories.isEmpty())
        watcher_.removePaths(directories);
    if (!missing_.isEmpty()) {
        missing_.clear();
        Q_EMIT missingFilesChanged(missing_);
    }
}

void FileFollower::watchFiles()
{
    if (!enabled_)
        return;
    const filelist& files = doc_.GetFiles();
    QSet<QString> wanted;
    for (int i = 0; i < files.count(); ++i) {
        const QString path = files.at(i)->GetFullPath();
        if (path.isEmpty())
            continue;
        // A file replaced by rename, or deleted and written again, shows in its directory; the
        // watch on the file itself goes with the old file.
        wanted.insert(path);
        wanted.insert(QFileInfo(path).absolutePath());
    }
    QStringList watched = watcher_.files() + watcher_.directories();
    for (const QString& path : std::as_const(watched)) {
        if (!wanted.contains(path))
            watcher_.removePath(path);
    }
    for (const QString& path : std::as_const(wanted)) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            watcher_.addPath(path);
    }
}

void FileFollower::changed()
{
    if (enabled_ && !timer_.isActive())
        timer_.start();
}

bool FileFollower::update()
{
    if (!enabled_)
        return false;
    timer_.stop();
    watchFiles();
    QSet<const ColumnFile*> changedFiles;
    QStringList missing;
    const filelist& files = doc_.GetFiles();
    for (int i = 0; i < files.count(); ++i) {
        ColumnFile* file = files.at(i);
        if (file->GetFullPath().isEmpty())
            continue;
        try {
            switch (file->Follow()) {
            case ColumnFile::FollowResult::missing:
                missing.append(file->GetFullPath());
                break;
            case ColumnFile::FollowResult::appended:
            case ColumnFile::FollowResult::reread:
                changedFiles.insert(file);
                break;
            case ColumnFile::FollowResult::unchanged:
                break;
            }
        } catch (const ReadCancelled&) {
            // Left as it was, to be read at its next change.
        } catch (const std::exception& e) {
            // A parse error leaves the rows before it; any other failure the data held.
            changedFiles.insert(file);
            Q_EMIT readFailed(dataFileMessage(e, *file).text, file->GetFullPath());
        }
    }
    if (!changedFiles.isEmpty()) {
        const std::unique_ptr<visiblelist> traces = doc_.GetTraces();
        for (visibleobject* obj : *traces) {
            auto* trace = static_cast<Trace*>(obj);
            if (changedFiles.contains(trace->GetFile()) ||
                changedFiles.contains(trace->GetErrorFile()))
                trace->DropPoints();
        }
        doc_.UpdateAllViews(DocumentServices::UpdateHint::All, nullptr);
    }
    if (missing != missing_) {
        missing_ = missing;
        Q_EMIT missingFilesChanged(missing_);
    }
    return !changedFiles.isEmpty();
}
