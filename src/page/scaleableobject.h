#pragma once

#include "page/visibleobject.h"

#include <QPoint>
#include <array>

// A page object that can be resized with four sizing handles, squares of 6 x 6 pixels lying
// inside its rectangle at the middle of each side.
class scaleableobject : public visibleobject
{
    PV_DECLARE_SERIAL(scaleableobject)

public:
    enum class Handle { Top, Bottom, Left, Right };
    static constexpr int handleSize = 6;

    scaleableobject() = default;
    // The grabbed handle point belongs to one drag and is not copied.
    scaleableobject(const scaleableobject& other) : visibleobject(other) {}
    scaleableobject& operator=(const scaleableobject& other)
    {
        visibleobject::operator=(other);
        return *this;
    }

    void Serialize(Archive& ar) override;
    int HitHandle(int x, int y) override;
    int DrawSelection(DeviceContext& dc, Rect& out) override;
    int EraseSelection(DeviceContext& dc) override;
    virtual void CopyScaleable(const scaleableobject& other);

    // The handle squares of a rectangle, in the order they are tested.
    static std::array<Rect, 4> handleRects(const Rect& r);
    // The point of the side a handle grabs.
    static QPoint handlePoint(const Rect& r, Handle h);

    QPoint grabbed; // device units; written by HitHandle, followed by ScaleTo
};
