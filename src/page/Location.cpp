#include "page/Location.h"

#include "page/PageView.h"
#include "platform/Archive.h"

PV_IMPLEMENT_SERIAL(Location, Persistent, 0)

void Location::Serialize(Archive& ar)
{
    // Positions travel as raw 4-byte blocks; a short read keeps what was there.
    if (ar.isStoring()) {
        ar.write(&x, sizeof x);
        ar.write(&y, sizeof y);
    } else {
        doc = ar.document();
        ar.read(&x, sizeof x);
        ar.read(&y, sizeof y);
    }
}

DocumentServices* Location::document() const
{
    if (view && view->document())
        return view->document();
    return doc;
}

void Location::Assign(const Location& other)
{
    x = other.x;
    y = other.y;
    view = other.view;
}
