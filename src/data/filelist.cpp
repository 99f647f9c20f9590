#include "data/filelist.h"

#include "data/FileName.h"
#include "platform/Archive.h"
#include "platform/ObList.h"
#include "platform/Prompter.h"
#include "platform/StringObMap.h"
#include "platform/Strings.h"

#include <algorithm>
#include <utility>

PV_IMPLEMENT_SERIAL(filelist, Persistent, 0)

filelist::~filelist()
{
    DeleteAll();
}

void filelist::Serialize(Archive& ar)
{
    if (ar.isStoring())
        writeObList(ar, files_);
    else
        readObList(ar, files_);
}

void filelist::AddUnique(ColumnFile* file)
{
    if (file && !contains(file))
        files_.emplace_back(file);
}

bool filelist::contains(const ColumnFile* file) const
{
    return std::any_of(files_.begin(), files_.end(),
                       [file](const std::unique_ptr<ColumnFile>& f) { return f.get() == file; });
}

bool filelist::RemoveFile(ColumnFile* file)
{
    const auto it =
        std::find_if(files_.begin(), files_.end(),
                     [file](const std::unique_ptr<ColumnFile>& f) { return f.get() == file; });
    if (it == files_.end())
        return false;
    // Given up, not deleted: the caller owns the file now.
    (void)it->release();
    files_.erase(it);
    return true;
}

void filelist::RemoveAndDelete(const StringObMap& paths)
{
    for (const StringObMap::Entry& entry : paths) {
        auto* file = static_cast<ColumnFile*>(entry.value);
        // A file the list does not own is somebody else's to delete.
        if (RemoveFile(file))
            delete file;
    }
}

void filelist::DeleteAll()
{
    // Emptied first, so that nothing destroyed can find a half-emptied list.
    const std::vector<std::unique_ptr<ColumnFile>> doomed = std::exchange(files_, {});
}

ColumnFile* filelist::FindByPath(const QString& path) const
{
    for (const auto& file : files_) {
        if (file->GetFullPath() == path)
            return file.get();
    }
    return nullptr;
}

bool filelist::NoneMissing() const
{
    return std::none_of(files_.begin(), files_.end(),
                        [](const std::unique_ptr<ColumnFile>& f) { return f->IsMissing(); });
}

std::unique_ptr<StringObMap> filelist::MissingFiles() const
{
    auto map = std::make_unique<StringObMap>();
    for (const auto& file : files_) {
        if (file->IsMissing())
            map->insert(file->GetFullPath(), file.get());
    }
    return map;
}

std::unique_ptr<StringObMap> filelist::AllPaths() const
{
    auto map = std::make_unique<StringObMap>();
    for (const auto& file : files_)
        map->insert(file->GetFullPath(), file.get());
    return map;
}

bool filelist::RelocateIn(const QString& directory)
{
    bool result = true;
    for (const auto& file : files_) {
        if (!file->IsMissing())
            continue;
        FileName moved(file->GetFullPath());
        moved.SetDirectory(directory);
        file->SetPath(moved.GetFullPath());
        file->ReadFileRecorded();
        if (file->IsMissing())
            result = false;
    }
    return result;
}

bool filelist::LocateFile(ColumnFile* file)
{
    if (!file)
        return false;
    // The chooser starts in the file's directory and offers its old name.
    const QString chosen = Prompter::instance().openFileName(
        QString(), file->GetFullPath(), loadString(Str::AnyFileFilter), QString());
    if (chosen.isEmpty())
        return false;
    file->SetPath(chosen);
    return file->ReadFile() != 0;
}

QString filelist::AskDataFileName()
{
    return Prompter::instance().openFileName(QString(), QString(), loadString(Str::DataFileFilter),
                                             QStringLiteral("dat"));
}

QString filelist::AskImportFileName()
{
    return Prompter::instance().openFileName(QString(), QString(),
                                             loadString(Str::ImportFileFilter), QString());
}
