#include "page/visiblelist.h"

#include "platform/Archive.h"

PV_IMPLEMENT_SERIAL(visiblelist, Persistent, 0)

void visiblelist::Serialize(Archive& ar)
{
    if (ar.isStoring()) {
        WriteReferences(ar);
    } else {
        const uint32_t n = ar.readCount(2);
        for (uint32_t i = 0; i < n; ++i)
            items.append(ar.readObject<visibleobject>());
    }
}

void visiblelist::AddUnique(visibleobject* obj)
{
    if (!items.contains(obj))
        items.append(obj);
}

bool visiblelist::Remove(visibleobject* obj)
{
    return items.removeOne(obj);
}

bool visiblelist::ReplaceMember(visibleobject* obj, visibleobject* next)
{
    const qsizetype i = items.indexOf(obj);
    if (i < 0)
        return false;
    items[i] = next;
    return true;
}
