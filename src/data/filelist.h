#pragma once

#include "data/ColumnFile.h"
#include "platform/Persistent.h"

#include <QString>
#include <memory>
#include <vector>

class StringObMap;

// The document's data files: every ColumnFile a trace or an error bar plots from, each read once
// and shared. The list owns its files; traces only refer to them. A file is listed at most once.
// A file that could not be found at its path is missing (ColumnFile::IsMissing); one that is
// there but could not be read is not.
class filelist : public Persistent
{
    PV_DECLARE_SERIAL(filelist)

public:
    filelist() = default;
    ~filelist() override;
    filelist(const filelist&) = delete;
    filelist& operator=(const filelist&) = delete;

    // The record: count, then every file as an object reference. Loading appends the files read
    // (each reads its text file at once) and owns them.
    void Serialize(Archive& ar) override;

    // Appends the file unless it is listed already; the list then owns it.
    void AddUnique(ColumnFile* file);
    // Takes the file off the list without deleting it (the caller owns it then); false when it
    // was not listed.
    bool RemoveFile(ColumnFile* file);
    // Takes every file of the path map off the list and deletes it. Files of the map that the
    // list does not hold are left alone.
    void RemoveAndDelete(const StringObMap& paths);
    // Deletes every file.
    void DeleteAll();

    // The first file whose full path equals the path exactly, or null.
    ColumnFile* FindByPath(const QString& path) const;
    bool NoneMissing() const;
    // Full path -> file (values not owned by the map).
    std::unique_ptr<StringObMap> MissingFiles() const;
    std::unique_ptr<StringObMap> AllPaths() const;

    // Looks for every missing file under its own name in the directory and reads it there.
    // The files keep their new paths whether or not they were found; false when any is still
    // missing. A file found there that cannot be read in full keeps what was read and its read
    // state, for the document to report.
    bool RelocateIn(const QString& directory);
    // Asks the user for the file's new place and reads it from there; false on cancel or when
    // the chosen file cannot be opened. An exception of the read passes out.
    static bool LocateFile(ColumnFile* file);

    // The data-file open dialog: the chosen full path, empty on cancel.
    static QString AskDataFileName();
    // The chooser of File > Import Data..., which also offers the text files other programs write.
    static QString AskImportFileName();

    int count() const { return int(files_.size()); }
    bool isEmpty() const { return files_.empty(); }
    ColumnFile* at(int i) const { return files_.at(size_t(i)).get(); }
    bool contains(const ColumnFile* file) const;

private:
    std::vector<std::unique_ptr<ColumnFile>> files_;
};
