#include "page/PageList.h"

#include <utility>

PageList::~PageList()
{
    DeleteAll();
}

visibleobject* PageList::Add(std::unique_ptr<visibleobject> obj)
{
    Q_ASSERT(!obj || !items.contains(obj.get()));
    if (!obj)
        return nullptr;
    items.append(obj.get());
    return obj.release();
}

std::unique_ptr<visibleobject> PageList::Take(visibleobject* obj)
{
    if (!obj || !items.removeOne(obj))
        return nullptr;
    return std::unique_ptr<visibleobject>(obj);
}

std::unique_ptr<visibleobject> PageList::Replace(visibleobject* old,
                                                 std::unique_ptr<visibleobject> replacement)
{
    const qsizetype at = old ? items.indexOf(old) : -1;
    if (at < 0) {
        Add(std::move(replacement));
        return nullptr;
    }
    if (!replacement)
        return Take(old);
    items[at] = replacement.release();
    return std::unique_ptr<visibleobject>(old);
}

void PageList::DeleteAll()
{
    // Take the pointers first: a destructor must never see a half-emptied list.
    const QList<visibleobject*> doomed = std::exchange(items, {});
    for (visibleobject* obj : doomed)
        std::unique_ptr<visibleobject>{obj}.reset();
}

void PageList::CollectReplacements(visibleobject* obj)
{
    // A member's ReleaseReference may take other members off the list (an axis deletes its
    // title), so the walk goes over a copy and skips what has left; replacements appended on
    // the way are asked as well.
    const QList<visibleobject*> before = items;
    QList<visibleobject*> added;
    auto ask = [&](visibleobject* candidate) {
        if (std::unique_ptr<visibleobject> replacement{candidate->ReleaseReference(obj)})
            added.append(Add(std::move(replacement)));
    };
    for (visibleobject* candidate : before) {
        if (items.contains(candidate))
            ask(candidate);
    }
    for (qsizetype i = 0; i < added.size(); ++i)
        ask(added.at(i));
}
