#pragma once

#include "platform/Rect.h"

#include <QString>
#include <memory>

class PageView;
class visibleobject;

// The narrow view a page object has of its document: data ranges, names, adding and removing
// objects, change notification. The plot document implements it; tests use a small fake.
class DocumentServices
{
public:
    // What a repaint covers: everything, one object's rectangle, or a given rectangle.
    enum class UpdateHint { All = 0, Object = 10, Area = 11 };

    virtual ~DocumentServices() = default;

    // Smallest minimum and largest maximum of the data of every trace plotted on the axis;
    // false (min and max untouched by any trace) when no trace uses it.
    virtual bool GetAxisDataRange(const visibleobject* axis, double& min, double& max) = 0;
    // The name the data file's header gives the column that the first trace on the axis plots
    // along it; empty where it gives none.
    virtual QString GetAxisColumnName(const visibleobject* axis)
    {
        (void)axis;
        return {};
    }
    virtual bool IsNameInUse(const QString& name, const visibleobject* ignore) const = 0;
    // The document takes the object onto its page.
    virtual void AddObject(std::unique_ptr<visibleobject> obj) = 0;
    // Takes the object off the page and hands it back; null when it is not on the page.
    virtual std::unique_ptr<visibleobject> RemoveObject(visibleobject* obj) = 0;
    virtual void MarkChanged() = 0;
    // Hint 10: repaint the object's rectangle in every view.
    virtual void UpdateAllViews(UpdateHint hint, visibleobject* obj) = 0;
    // Hint 11: repaint a rectangle in client pixels.
    virtual void UpdateAllViewsRect(const Rect& rect) = 0;
    virtual PageView* GetActiveView() = 0;
};
