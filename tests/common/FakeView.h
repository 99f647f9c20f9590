#pragma once

#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "page/visibleobject.h"
#include "platform/DeviceContext.h"
#include "platform/RecordingDC.h"

#include <QList>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

// A view of a fixed client area and page mapping, over any kind of page view.
template <class View> class FixedMappingView : public View
{
public:
    void PrepareDC(DeviceContext& dc) const override
    {
        dc.setPageMapping(ppiX, ppiY, scale,
                          QPoint(client.left - scrollPosX, client.bottom - scrollPosY));
    }
    std::unique_ptr<DeviceContext> clientDC() const override
    {
        return std::make_unique<RecordingDC>();
    }
    Rect clientRect() const override { return client; }
    int scrollX() const override { return scrollPosX; }
    int scrollY() const override { return scrollPosY; }
    float pixelsPerInchX() const override { return ppiX; }
    float pixelsPerInchY() const override { return ppiY; }
    float viewScale() const override { return scale; }
    Rect focusRect() const override { return focus; }
    bool hasSelection() const override { return selected; }

    Rect client{0, 0, 800, 600};
    int scrollPosX = 0;
    int scrollPosY = 0;
    float ppiX = 96.0f;
    float ppiY = 96.0f;
    float scale = 1.0f;
    Rect focus;
    bool selected = false;
};

// A view for page objects under test.
class FakeView : public FixedMappingView<PageView>
{
public:
    DocumentServices* document() const override { return doc; }

    DocumentServices* doc = nullptr;
};

// A document that records what page objects ask of it.
class FakeDocument : public DocumentServices
{
public:
    bool GetAxisDataRange(const visibleobject*, double& min, double& max) override
    {
        if (!hasRange)
            return false;
        min = rangeMin;
        max = rangeMax;
        return true;
    }
    bool IsNameInUse(const QString& name, const visibleobject* ignore) const override
    {
        for (const visibleobject* obj : objects) {
            if (obj != ignore && obj->GetName() == name)
                return true;
        }
        return false;
    }
    void AddObject(std::unique_ptr<visibleobject> obj) override
    {
        objects.append(obj.get());
        owned.push_back(std::move(obj));
    }
    std::unique_ptr<visibleobject> RemoveObject(visibleobject* obj) override
    {
        objects.removeOne(obj);
        const auto it = std::find_if(owned.begin(), owned.end(),
                                     [obj](const auto& held) { return held.get() == obj; });
        if (it == owned.end())
            return nullptr;
        std::unique_ptr<visibleobject> taken = std::move(*it);
        owned.erase(it);
        return taken;
    }
    void MarkChanged() override { ++changes; }
    void UpdateAllViews(UpdateHint hint, visibleobject* obj) override
    {
        updates.append({hint, obj});
    }
    void UpdateAllViewsRect(const Rect& r) override { rectUpdates.append(r); }
    PageView* GetActiveView() override { return activeView; }

    bool hasRange = false;
    double rangeMin = 0;
    double rangeMax = 0;
    QList<visibleobject*> objects; // in page order
    std::vector<std::unique_ptr<visibleobject>> owned;
    int changes = 0;
    QList<std::pair<DocumentServices::UpdateHint, visibleobject*>> updates;
    QList<Rect> rectUpdates;
    PageView* activeView = nullptr;
};
