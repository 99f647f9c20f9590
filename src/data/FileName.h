#pragma once

#include "platform/Persistent.h"

#include <QString>

// The name of a data file, kept as directory and file name so that a document moved to another
// directory can look for its data files beside it. Paths are split at their last '/' and joined
// with '/'; '\' splits too only in a path written on another system (one that starts with a
// drive letter, or holds no '/' at all). Paths compare as exact strings.
class FileName : public Persistent
{
    PV_DECLARE_SERIAL(FileName)

public:
    FileName() = default;
    explicit FileName(const QString& path) { SetPath(path); }
    FileName(const FileName& other)
        : Persistent(), fileName_(other.fileName_), directory_(other.directory_)
    {}
    FileName& operator=(const FileName& other);

    void SetPath(const QString& path);
    // directory + '/' + file name, or the file name alone when there is no directory.
    QString GetFullPath() const;
    // Drops one trailing separator, except from a root directory ("/").
    void SetDirectory(const QString& directory);
    const QString& GetFileName() const { return fileName_; }
    const QString& GetDirectory() const { return directory_; }
    void Clear();

    // The record: directory, then file name.
    void Serialize(Archive& ar) override;

private:
    QString fileName_;
    QString directory_;
};
