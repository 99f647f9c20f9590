#pragma once

#include "platform/Persistent.h"

class PageView;

// Where an object sits on the page: its reference point in inches from the bottom-left corner
// of the page, y up, and the view whose mapping its device rectangle was computed for.
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

    float x = 0.0f;           // inches
    float y = 0.0f;           // inches
    PageView* view = nullptr; // not owned
};
