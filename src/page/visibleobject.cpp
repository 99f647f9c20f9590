#include "page/visibleobject.h"

#include "platform/Archive.h"

PV_IMPLEMENT_SERIAL(visibleobject, Location, 0)

void visibleobject::Serialize(Archive& ar)
{
    Location::Serialize(ar);
    if (ar.isStoring())
        ar.writeString(name);
    else
        name = ar.readString();
}

void visibleobject::MoveBy(float dx, float dy)
{
    x += dx;
    y += dy;
    ComputeRect();
}

int visibleobject::HitHandle(int, int)
{
    return 0;
}

void visibleobject::SetDefaultName()
{
    name = QStringLiteral("Untitled");
}

void visibleobject::Draw(DeviceContext&) {}

void visibleobject::Print(DeviceContext&, PrintInfo&) {}

void visibleobject::DrawMetafile(DeviceContext& dc)
{
    Draw(dc);
}

void visibleobject::ComputeRect() {}

void visibleobject::Relayout()
{
    ComputeRect();
}

void visibleobject::CopyAttributes(const visibleobject& other)
{
    Assign(other);
    name = other.name;
    rect = other.rect;
}

int visibleobject::EditProperties()
{
    return 0;
}

int visibleobject::Activate()
{
    return EditProperties();
}

bool visibleobject::IsIndependentOf(const visibleobject*) const
{
    return true;
}

visibleobject* visibleobject::ReleaseReference(visibleobject*)
{
    return nullptr;
}

void visibleobject::CopyToClipboard() {}

int visibleobject::DrawSelection(DeviceContext&, Rect&)
{
    return 0;
}

int visibleobject::EraseSelection(DeviceContext&)
{
    return 0;
}

Rect visibleobject::ScaleTo(int, int)
{
    return rect;
}

void visibleobject::EndScale() {}

int visibleobject::GetMenuId() const
{
    return 0;
}

int visibleobject::OnMenuCommand(int)
{
    return 1;
}
