#pragma once

#include "platform/Persistent.h"

class DocumentServices;
class PageView;

// Where an object sits on the page: its reference point in inches from the bottom-left corner
// of the page, y up, the view whose mapping its device rectangle was computed for, and the
// document it belongs to.
class Location : public Persistent
{
    PV_DECLARE_SERIAL(Location)

public:
    Location() = default;
    Location(const Location&) = default;
    Location& operator=(const Location&) = default;

    void Serialize(Archive& ar) override;
    virtual void Assign(const Location& other);

    PageView* GetView() const { return view; }
    void SetView(PageView* v) { view = v; }
    // The document of the object's view, else the one it was read into or added to; may be null.
    DocumentServices* document() const;
    void SetDocument(DocumentServices* d) { doc = d; }

    float x = 0.0f;                  // inches
    float y = 0.0f;                  // inches
    PageView* view = nullptr;        // not owned
    DocumentServices* doc = nullptr; // not owned; objects without a view ask it
};
