#include "page/visiblelist.h"

#include "page/PageView.h"
#include "platform/Archive.h"
#include "platform/StringObMap.h"

#include <QSet>
#include <utility>

PV_IMPLEMENT_SERIAL(visiblelist, Persistent, 0)

void visiblelist::Serialize(Archive& ar)
{
    if (ar.isStoring()) {
        ar.writeCount(uint32_t(items.size()));
        for (visibleobject* obj : items)
            ar.writeObject(obj);
    } else {
        const uint32_t n = ar.readCount(2);
        for (uint32_t i = 0; i < n; ++i)
            items.append(ar.readObject<visibleobject>());
    }
}

bool visiblelist::contains(const visibleobject* obj) const
{
    return items.contains(obj);
}

int visiblelist::indexOf(const visibleobject* obj) const
{
    return int(items.indexOf(obj));
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

void visiblelist::DeleteAll()
{
    // Take the pointers first: a destructor must never see a half-emptied list. An object
    // listed twice is deleted once.
    const QList<visibleobject*> doomed = std::exchange(items, {});
    QSet<visibleobject*> deleted;
    for (visibleobject* obj : doomed) {
        if (!deleted.contains(obj)) {
            deleted.insert(obj);
            delete obj;
        }
    }
}

visibleobject* visiblelist::GetAt(int n) const
{
    if (n < 1 || n > items.size())
        return nullptr;
    return items.at(n - 1);
}

void visiblelist::DrawAll(DeviceContext& dc) const
{
    for (visibleobject* obj : items)
        obj->Draw(dc);
}

void visiblelist::SetViewAll(PageView* view) const
{
    for (visibleobject* obj : items)
        obj->SetView(view);
}

void visiblelist::RelayoutAll() const
{
    for (visibleobject* obj : items)
        obj->Relayout();
}

void visiblelist::MoveAllBy(float dx, float dy) const
{
    for (visibleobject* obj : items)
        obj->MoveBy(dx, dy);
}

Rect visiblelist::Bounds() const
{
    Rect r;
    for (visibleobject* obj : items)
        r = r.united(obj->GetRect());
    return r;
}

Rect visiblelist::PageExtent() const
{
    if (items.isEmpty())
        return {};
    Rect r = Bounds();
    // The page origin always belongs to the extent, so scrolling reaches the page corner.
    if (PageView* view = items.first()->GetView()) {
        const Rect client = view->clientRect();
        const int ox = client.left - view->scrollX();
        const int oy = client.bottom - view->scrollY();
        r = r.united(Rect{ox, oy - 1, ox + 1, oy});
    }
    return r;
}

std::unique_ptr<StringObMap> visiblelist::DependentsOf(const visibleobject* obj) const
{
    auto map = std::make_unique<StringObMap>();
    for (visibleobject* candidate : items) {
        if (!candidate->IsIndependentOf(obj))
            map->insert(candidate->GetName(), candidate);
    }
    return map;
}

void visiblelist::CollectReplacements(visibleobject* obj)
{
    // A member's ReleaseReference may take other members off the list (an axis deletes its
    // title), so the walk goes over a copy and skips what has left; replacements appended on
    // the way are asked as well.
    const QList<visibleobject*> before = items;
    QList<visibleobject*> added;
    auto ask = [&](visibleobject* candidate) {
        if (visibleobject* replacement = candidate->ReleaseReference(obj)) {
            items.append(replacement);
            added.append(replacement);
        }
    };
    for (visibleobject* candidate : before) {
        if (items.contains(candidate))
            ask(candidate);
    }
    for (qsizetype i = 0; i < added.size(); ++i)
        ask(added.at(i));
}

bool visiblelist::SameMembers(const visiblelist& other) const
{
    if (items.size() != other.items.size())
        return false;
    for (visibleobject* obj : other.items) {
        if (!items.contains(obj))
            return false;
    }
    return true;
}
