#pragma once

#include "page/ObjectSequence.h"

#include <memory>

// The document's page list: it owns every object on it, each once. Objects come on as
// std::unique_ptr and leave as std::unique_ptr, so taking an object off the page and deleting
// it are separate steps, and an object can be put back or swapped for another in its place.
class PageList : public ObjectSequence
{
public:
    PageList() = default;
    ~PageList();
    PageList(const PageList&) = delete;
    PageList& operator=(const PageList&) = delete;

    // Appends; returns the object, now owned by the list.
    visibleobject* Add(std::unique_ptr<visibleobject> obj);
    // Takes the object off the list; null when it is not on it.
    std::unique_ptr<visibleobject> Take(visibleobject* obj);
    // Puts `replacement` where `old` is and hands `old` back. When `old` is not on the list the
    // replacement is appended and null comes back.
    std::unique_ptr<visibleobject> Replace(visibleobject* old,
                                           std::unique_ptr<visibleobject> replacement);
    void DeleteAll();
    // Every object drops or replaces its references to obj; replacements are appended and
    // asked as well.
    void CollectReplacements(visibleobject* obj);
};
