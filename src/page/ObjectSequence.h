#pragma once

#include "page/visibleobject.h"

#include <QList>
#include <memory>

class PageView;

// Page objects in order (list order is drawing order) and what can be asked of all of them.
// Whether the objects are owned is up to the derived list: the document's page list owns them,
// every other list (a selection, a link group) only refers to them.
class ObjectSequence
{
public:
    using const_iterator = QList<visibleobject*>::const_iterator;

    int count() const { return int(items.size()); }
    bool isEmpty() const { return items.isEmpty(); }
    visibleobject* at(int i) const { return items.at(i); }
    visibleobject* first() const { return items.isEmpty() ? nullptr : items.first(); }
    visibleobject* last() const { return items.isEmpty() ? nullptr : items.last(); }
    bool contains(const visibleobject* obj) const;
    int indexOf(const visibleobject* obj) const;
    const_iterator begin() const { return items.cbegin(); }
    const_iterator end() const { return items.cend(); }
    const QList<visibleobject*>& objects() const { return items; }

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
    bool SameMembers(const ObjectSequence& other) const;
    // The record of a list: the count, then a reference to every object.
    void WriteReferences(Archive& ar) const;

protected:
    ObjectSequence() = default;
    ObjectSequence(const ObjectSequence&) = default;
    ObjectSequence& operator=(const ObjectSequence&) = default;
    ~ObjectSequence() = default;

    QList<visibleobject*> items;
};
