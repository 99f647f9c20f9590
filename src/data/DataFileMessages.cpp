#include "data/DataFileMessages.h"

#include "platform/Exceptions.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"

#include <new>

namespace {

DataFileMessage make(int stringId, const QString& caption, const QString& argument = {},
                     bool keepFile = false)
{
    DataFileMessage m;
    m.stringId = stringId;
    m.argument = argument;
    m.text =
        argument.isNull() ? loadString(stringId) : fillPlaceholder(loadString(stringId), argument);
    m.caption = caption;
    m.keepFile = keepFile;
    return m;
}

DataFileMessage invalidFile(const ColumnFile& file)
{
    // The number is the count of rows kept, not a line of the file.
    if (file.GetNumPoints() > 0)
        return make(Str::ParseErrorAtLine, file.GetFullPath(),
                    QString::number(long(file.GetNumPoints())), true);
    return make(Str::NotDataFile, file.GetFullPath());
}

DataFileMessage memoryError()
{
    return make(Str::MemoryError, loadString(Str::ErrorCaption));
}

} // namespace

DataFileMessage dataFileMessage(const std::exception& error, const ColumnFile& file)
{
    if (const auto* e = dynamic_cast<const FileException*>(&error)) {
        switch (e->cause()) {
        case FileException::Cause::accessDenied:
            return make(Str::NotDataFile, file.GetFullPath());
        case FileException::Cause::invalidFile:
            return invalidFile(file);
        default:
            return make(Str::FileError, file.GetFullPath());
        }
    }
    if (dynamic_cast<const MemoryException*>(&error) || dynamic_cast<const std::bad_alloc*>(&error))
        return memoryError();
    if (dynamic_cast<const ResourceException*>(&error))
        return make(Str::ResourceError, loadString(Str::ErrorCaption));
    return make(Str::FileError, file.GetFullPath());
}

DataFileMessage cannotOpenMessage(const ColumnFile& file)
{
    return make(Str::NotDataFile, file.GetFullPath());
}

DataFileMessage dataFileMessage(const ColumnFile& file)
{
    switch (file.GetReadState()) {
    case ColumnFile::ReadState::notRead:
    case ColumnFile::ReadState::cannotOpen:
        return cannotOpenMessage(file);
    case ColumnFile::ReadState::read: {
        DataFileMessage m;
        m.keepFile = true;
        return m;
    }
    case ColumnFile::ReadState::notDataFile:
    case ColumnFile::ReadState::parseError:
        return invalidFile(file);
    case ColumnFile::ReadState::fileError:
        return make(Str::FileError, file.GetFullPath());
    case ColumnFile::ReadState::memoryError:
        return memoryError();
    }
    return make(Str::FileError, file.GetFullPath());
}

bool showDataFileMessage(const DataFileMessage& message)
{
    if (message.stringId != 0)
        ShowFileMessage(message.stringId, message.caption, message.argument);
    return message.keepFile;
}

bool reportDataFileError(const std::exception& error, const ColumnFile& file)
{
    return showDataFileMessage(dataFileMessage(error, file));
}
