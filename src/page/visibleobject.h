#pragma once

#include "page/Location.h"
#include "platform/Rect.h"

#include <QString>

class DeviceContext;
class StringObMap;

// Printing state handed to Print (page number and the like); filled in by the view.
struct PrintInfo
{
    int currentPage = 1;
};

// The common base of everything drawn on a page: a name, the device rectangle in client pixels
// of its view, and the operations through which documents and views handle objects without
// knowing their kind. Defaults do nothing or answer "no".
class visibleobject : public Location
{
    PV_DECLARE_SERIAL(visibleobject)

public:
    visibleobject() = default;
    visibleobject(const visibleobject&) = default;
    visibleobject& operator=(const visibleobject&) = default;

    void Serialize(Archive& ar) override;

    // dx, dy in inches.
    virtual void MoveBy(float dx, float dy);
    // Device point of the view; nonzero when a sizing handle is under it.
    virtual int HitHandle(int x, int y);
    virtual void SetDefaultName();
    virtual void Draw(DeviceContext& dc);
    virtual void Print(DeviceContext& dc, PrintInfo& info);
    virtual void DrawMetafile(DeviceContext& dc);
    virtual void ComputeRect();
    virtual void Relayout();
    virtual void CopyAttributes(const visibleobject& other);
    // Nonzero when the user confirmed the object's dialog.
    virtual int EditProperties();
    // What a double click on the object does; nonzero when the document changed. The object's
    // dialog unless the object has a better action (an embedded label opens its editor).
    virtual int Activate();
    // False when this object refers to the other one.
    virtual bool IsIndependentOf(const visibleobject* other) const;
    // Called before `other` is deleted: drop or replace references to it. A replacement the
    // object had to create is returned for the caller to append to the page list (caller owns).
    virtual visibleobject* ReleaseReference(visibleobject* other);
    virtual void CopyToClipboard();
    // Nonzero when the object drew its own selection marks; `out` receives its rectangle.
    virtual int DrawSelection(DeviceContext& dc, Rect& out);
    // Nonzero when the view shall also draw its inverted outline over the rectangle.
    virtual int EraseSelection(DeviceContext& dc);
    // Device point where the grabbed handle is now; returns the new rectangle.
    virtual Rect ScaleTo(int x, int y);
    virtual void EndScale();
    virtual int GetMenuId() const;
    // Nonzero when the document changed.
    virtual int OnMenuCommand(int commandId);

    const Rect& GetRect() const { return rect; }
    void GetRect(Rect& out) const { out = rect; }
    const QString& GetName() const { return name; }
    void SetName(const QString& n) { name = n; }

    Rect rect;    // client pixels of `view`; a cache, never stored
    QString name; // unique within a document
};
