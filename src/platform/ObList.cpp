#include "platform/ObList.h"

namespace obList {

uint32_t readCount(Archive& ar)
{
    return ar.readCount(minElementBytes);
}

void writeCount(Archive& ar, size_t count)
{
    if (count > 0xFFFFFFFFu)
        throw ArchiveException(ArchiveException::Cause::generic,
                               QStringLiteral("list of %1 elements").arg(count));
    ar.writeCount(uint32_t(count));
}

void checkElement(const Persistent* element, bool storing)
{
    if (!element)
        throw ArchiveException(storing ? ArchiveException::Cause::generic
                                       : ArchiveException::Cause::badIndex,
                               QStringLiteral("null element in an object list"));
}

} // namespace obList
