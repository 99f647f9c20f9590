#include "data/FileName.h"

#include "platform/Archive.h"

#include <algorithm>

PV_IMPLEMENT_SERIAL(FileName, Persistent, 0)

namespace {

// A path written on another system: it starts with a drive letter ("Z:") or holds a backslash
// and no '/'. There a backslash separates directories too; in any other path it is an ordinary
// character of a file name.
bool isForeign(const QString& path)
{
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter() && path[0].unicode() < 0x80)
        return true;
    return path.contains(u'\\') && !path.contains(u'/');
}

bool isSeparator(QChar c, bool foreign)
{
    return c == u'/' || (foreign && c == u'\\');
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
    const qsizetype cut = isForeign(path)
                              ? std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'))
                              : path.lastIndexOf(u'/');
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
    if (directory_.size() == 1 && isSeparator(directory_[0], isForeign(directory_)))
        return directory_ + fileName_;
    return directory_ + u'/' + fileName_;
}

void FileName::SetDirectory(const QString& directory)
{
    directory_ = directory;
    if (directory_.size() > 1 && isSeparator(directory_.back(), isForeign(directory_)))
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
