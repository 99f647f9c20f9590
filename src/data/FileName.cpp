#include "data/FileName.h"

#include "platform/Archive.h"

#include <algorithm>

PV_IMPLEMENT_SERIAL(FileName, Persistent, 0)

namespace {
bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}
} // namespace

FileName& FileName::operator=(const FileName& other)
{
    fileName_ = other.fileName_;
    directory_ = other.directory_;
    return *this;
}

void FileName::SetPath(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (cut < 0) {
        directory_.clear();
        fileName_ = path;
        return;
    }
    fileName_ = path.mid(cut + 1);
    // A file in the root keeps the root as its directory, or its path would become relative.
    directory_ = cut == 0 ? path.left(1) : path.left(cut);
}

QString FileName::GetFullPath() const
{
    if (directory_.isEmpty())
        return fileName_;
    if (directory_.size() == 1 && isSeparator(directory_[0]))
        return directory_ + fileName_;
    return directory_ + u'/' + fileName_;
}

void FileName::SetDirectory(const QString& directory)
{
    directory_ = directory;
    if (directory_.size() > 1 && isSeparator(directory_.back()))
        directory_.chop(1);
}

void FileName::Clear()
{
    fileName_.clear();
    directory_.clear();
}

void FileName::Serialize(Archive& ar)
{
    if (ar.isStoring()) {
        ar.writeString(directory_);
        ar.writeString(fileName_);
    } else {
        directory_ = ar.readString();
        fileName_ = ar.readString();
    }
}
