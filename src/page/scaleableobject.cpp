#include "page/scaleableobject.h"

#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "platform/DeviceContext.h"

PV_IMPLEMENT_SERIAL(scaleableobject, visibleobject, 0)

void scaleableobject::Serialize(Archive& ar)
{
    visibleobject::Serialize(ar);
}

std::array<Rect, 4> scaleableobject::handleRects(const Rect& r)
{
    const int midX = r.left + r.width() / 2;
    const int midY = r.top + r.height() / 2;
    const int half = handleSize / 2;
    return {{
        {midX - half, r.top, midX + half, r.top + handleSize},
        {midX - half, r.bottom - handleSize, midX + half, r.bottom},
        {r.left, midY - half, r.left + handleSize, midY + half},
        {r.right - handleSize, midY - half, r.right, midY + half},
    }};
}

QPoint scaleableobject::handlePoint(const Rect& r, Handle h)
{
    const int midX = r.left + r.width() / 2;
    const int midY = r.top + r.height() / 2;
    switch (h) {
    case Handle::Top:
        return {midX, r.top};
    case Handle::Bottom:
        return {midX, r.bottom};
    case Handle::Left:
        return {r.left, midY};
    case Handle::Right:
        break;
    }
    return {r.right, midY};
}

int scaleableobject::HitHandle(int x, int y)
{
    // An object no view has laid out yet has nothing to grab.
    if (rect.isNull())
        return 0;
    const auto handles = handleRects(rect);
    for (int i = 0; i < 4; ++i) {
        if (handles[i].contains(x, y)) {
            grabbed = handlePoint(rect, Handle(i));
            return 1;
        }
    }
    return 0;
}

int scaleableobject::DrawSelection(DeviceContext& dc, Rect& out)
{
    dc.saveDC();
    dc.setROP2(R2_COPYPEN);
    dc.selectStockPen(BLACK_PEN);
    dc.selectStockBrush(NULL_BRUSH);
    dc.rectangle(rect.left, rect.top, rect.right, rect.bottom);
    for (const Rect& h : handleRects(rect))
        dc.patBlt(h.left, h.top, handleSize, handleSize, BLACKNESS);
    dc.restoreDC();
    out = rect;
    return 1;
}

int scaleableobject::EraseSelection(DeviceContext&)
{
    if (view && view->document())
        view->document()->UpdateAllViews(DocumentServices::UpdateHint::Object, this);
    return 1;
}

void scaleableobject::CopyScaleable(const scaleableobject& other)
{
    CopyAttributes(other);
}
