#include "page/ObjectSequence.h"

#include "page/PageView.h"
#include "platform/Archive.h"
#include "platform/StringObMap.h"

bool ObjectSequence::contains(const visibleobject* obj) const
{
    return items.contains(obj);
}

int ObjectSequence::indexOf(const visibleobject* obj) const
{
    return int(items.indexOf(obj));
}

visibleobject* ObjectSequence::GetAt(int n) const
{
    if (n < 1 || n > items.size())
        return nullptr;
    return items.at(n - 1);
}

void ObjectSequence::DrawAll(DeviceContext& dc) const
{
    for (visibleobject* obj : items)
        obj->Draw(dc);
}

void ObjectSequence::SetViewAll(PageView* view) const
{
    for (visibleobject* obj : items)
        obj->SetView(view);
}

void ObjectSequence::RelayoutAll() const
{
    for (visibleobject* obj : items)
        obj->Relayout();
}

void ObjectSequence::MoveAllBy(float dx, float dy) const
{
    for (visibleobject* obj : items)
        obj->MoveBy(dx, dy);
}

Rect ObjectSequence::Bounds() const
{
    Rect r;
    for (visibleobject* obj : items)
        r = r.united(obj->GetRect());
    return r;
}

Rect ObjectSequence::PageExtent() const
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

std::unique_ptr<StringObMap> ObjectSequence::DependentsOf(const visibleobject* obj) const
{
    auto map = std::make_unique<StringObMap>();
    for (visibleobject* candidate : items) {
        if (!candidate->IsIndependentOf(obj))
            map->insert(candidate->GetName(), candidate);
    }
    return map;
}

bool ObjectSequence::SameMembers(const ObjectSequence& other) const
{
    if (items.size() != other.items.size())
        return false;
    for (visibleobject* obj : other.items) {
        if (!items.contains(obj))
            return false;
    }
    return true;
}

void ObjectSequence::WriteReferences(Archive& ar) const
{
    ar.writeCount(uint32_t(items.size()));
    for (visibleobject* obj : items)
        ar.writeObject(obj);
}
