#pragma once

#include "platform/Rect.h"

#include <memory>

class DeviceContext;
class DocumentServices;

// What a page object needs of the view that shows it: the page mapping and the client area.
// The graph view implements it; tests use a small fake.
class PageView
{
public:
    virtual ~PageView() = default;

    // Sets the screen page mapping (0.001 inch, y up) on a device context.
    virtual void PrepareDC(DeviceContext& dc) const = 0;
    // A device context for measuring text and converting coordinates outside painting.
    virtual std::unique_ptr<DeviceContext> clientDC() const = 0;
    virtual Rect clientRect() const = 0;
    // Scroll position in pixels (x grows to the right, y = 0 at the bottom).
    virtual int scrollX() const = 0;
    virtual int scrollY() const = 0;
    virtual float pixelsPerInchX() const = 0;
    virtual float pixelsPerInchY() const = 0;
    virtual float viewScale() const = 0;
    // The rubber-band focus rectangle in client pixels; null when there is none.
    virtual Rect focusRect() const = 0;
    virtual bool hasSelection() const = 0;
    // The document shown (not owned).
    virtual DocumentServices* document() const = 0;
};
