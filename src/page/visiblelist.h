#pragma once

#include "page/visibleobject.h"

#include <QList>
#include <memory>

class PageView;

// An ordered list of page objects; list order is drawing order. The document's page list owns
// its objects (DeleteAll); every other list (a selection, a link group) only refers to them.
class visiblelist : public Persistent
{
    PV_DECLARE_SERIAL(visiblelist)

public:
    using const_iterator = QList<visibleobject*>::const_iterator;

    visiblelist() = default;
    visiblelist(const visiblelist& other) = default; // same pointers, same order
    visiblelist& operator=(const visiblelist& other) = default;

    // Writes count and object references; reading appends references (ownership is decided by
    // whoever reads the list).
    void Serialize(Archive& ar) override;

    int count() const { return int(items.size()); }
    bool isEmpty() const { return items.isEmpty(); }
    visibleobject* at(int i) const { return items.at(i); }
    visibleobject* first() const { return items.isEmpty() ? nullptr : items.first(); }
    visibleobject* last() const { return items.isEmpty() ? nullptr : items.last(); }
    bool contains(const visibleobject* obj) const;
    int indexOf(const visibleobject* obj) const;
    void append(visibleobject* obj) { items.append(obj); }
    void clear() { items.clear(); } // forgets the objects, never deletes them
    const_iterator begin() const { return items.cbegin(); }
    const_iterator end() const { return items.cend(); }
    const QList<visibleobject*>& objects() const { return items; }

    void AddUnique(visibleobject* obj);
    bool Remove(visibleobject* obj);
    void DeleteAll();
    // 1-based; null past the end.
    visibleobject* GetAt(int n) const;
    void DrawAll(DeviceContext& dc) const;
    void SetViewAll(PageView* view) const;
    void RelayoutAll() const;
    void MoveAllBy(float dx, float dy) const;
    Rect Bounds() const;
    Rect PageExtent() const;
    // Name -> object for every object that refers to `obj`.
    std::unique_ptr<StringObMap> DependentsOf(const visibleobject* obj) const;
    void CollectReplacements(visibleobject* obj);
    bool SameMembers(const visiblelist& other) const;

private:
    QList<visibleobject*> items;
};
