#pragma once

#include "page/ObjectSequence.h"
#include "platform/Persistent.h"

// A list that refers to page objects without owning them: a selection, a link group, the
// axes or traces picked out of the page. The document's own page list is a PageList.
class visiblelist : public Persistent, public ObjectSequence
{
    PV_DECLARE_SERIAL(visiblelist)

public:
    visiblelist() = default;
    visiblelist(const visiblelist& other) = default; // same pointers, same order
    visiblelist& operator=(const visiblelist& other) = default;

    // Writes count and object references; reading appends references (ownership is decided by
    // whoever reads the list).
    void Serialize(Archive& ar) override;

    void append(visibleobject* obj) { items.append(obj); }
    void clear() { items.clear(); }
    void AddUnique(visibleobject* obj);
    bool Remove(visibleobject* obj);
    // `next` takes obj's place in the list; false when obj is not in it.
    bool ReplaceMember(visibleobject* obj, visibleobject* next);
};
