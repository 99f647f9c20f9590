#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

class PlotDocument;

// Keeps the data files of a document in step with the files on disk while it is on. A file
// that changes is looked at a moment after the first change (so at most a few times a
// second however often the writer writes); rows appended to it are read on from where the
// last read ended, and a file replaced, shrunk or rewritten is read again whole. The traces
// keep their look and the axes their settings; axes with automatic range follow the data. A
// file that vanishes keeps its last data until it is back.
class FileFollower : public QObject
{
    Q_OBJECT

public:
    // Milliseconds from the first change of a file to the look at it.
    static constexpr int delay = 250;

    // doc must outlive the follower's use; the follower never deletes anything of it.
    explicit FileFollower(PlotDocument& doc, QObject* parent = nullptr);

    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }
    // Watches the document's files as they are now: called when files may have been added.
    void watchFiles();
    // Brings every file up to date at once and repaints what changed; true when data changed.
    bool update();
    // The full paths of the followed files not found at their places, in list order.
    const QStringList& missingFiles() const { return missing_; }

Q_SIGNALS:
    void missingFilesChanged(const QStringList& paths);
    // A file could not be read again: the reader's message for it.
    void readFailed(const QString& message, const QString& path);

private:
    void changed();

    PlotDocument& doc_;
    QFileSystemWatcher watcher_;
    QTimer timer_;
    QStringList missing_;
    bool enabled_ = false;
};
