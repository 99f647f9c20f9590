#include "axes/AxisTitle.h"

#include "axes/Axis.h"
#include "axes/AxisEditors.h"
#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"
#include "platform/Settings.h"

#include <cmath>
#include <memory>

PV_IMPLEMENT_SERIAL(AxisTitle, visibleobject, 0)

namespace {

// The platform's clipping flag for turned text.
constexpr uint8_t clipLhAngles = 16;

// Points to thousandths of an inch, rounded half away from zero.
int pointsToThousandths(int points)
{
    const long long num = static_cast<long long>(points) * 1000;
    return int(num >= 0 ? (num + 36) / 72 : (num - 36) / 72);
}

int truncated(double v)
{
    // Held well inside the int range: the page is never a million inches wide.
    constexpr double limit = 1e9;
    if (std::isnan(v))
        return 0;
    return int(std::trunc(std::fmax(-limit, std::fmin(limit, v))));
}

} // namespace

LogFont AxisTitle::defaultFont()
{
    const DefaultSettings& s = defaultSettings();
    LogFont f;
    f.lfHeight = -pointsToThousandths(s.titleSize);
    f.lfClipPrecision = clipLhAngles;
    f.setFaceName(s.titleFace);
    return f;
}

AxisTitle::AxisTitle() : font(defaultFont()), distance(defaultSettings().titleSpacing)
{
    x = 1.0f;
    y = 1.0f;
}

AxisTitle::AxisTitle(PageView* v, Axis* a) : AxisTitle()
{
    view = v;
    AttachTo(a);
}

AxisTitle::~AxisTitle()
{
    if (axis && axis->title == this)
        axis->title = nullptr;
}

std::unique_ptr<visibleobject> AxisTitle::createFor(Axis& axis)
{
    auto title = std::make_unique<AxisTitle>(axis.GetView(), &axis);
    title->SetDocument(axis.document());
    // A column named by its file's header line names the axis too.
    if (DocumentServices* doc = axis.document())
        title->text = doc->GetAxisColumnName(&axis);
    return title;
}

void AxisTitle::Serialize(Archive& ar)
{
    visibleobject::Serialize(ar);
    if (ar.isStoring()) {
        ar.writeObject(axis);
        ar.writeString(text);
        ar.writeFloat(distance);
        font.write(ar);
        ar.writeDword(color);
        return;
    }
    axis = ar.readObject<Axis>();
    text = ar.readString();
    distance = ar.readFloat();
    font.read(ar);
    color = ar.readDword();
}

void AxisTitle::SetDefaultName()
{
    if (!axis) {
        visibleobject::SetDefaultName();
        return;
    }
    name = axis->GetName() + QStringLiteral(" Title");
}

void AxisTitle::AttachTo(Axis* a)
{
    axis = a;
    Reposition();
    if (axis)
        font.lfEscapement = -10 * axis->angle;
    SetDefaultName();
}

void AxisTitle::Reposition()
{
    if (!axis)
        return;
    const double half = axis->length / 2.0;
    x = float(axis->dirX * half + axis->x - distance * axis->dirY);
    y = float(axis->dirY * half + axis->y - distance * axis->dirX);
}

void AxisTitle::measure(DeviceContext& dc, int& x0, int& y0, int& w, int& h) const
{
    x0 = Axis::toLogical(x);
    y0 = Axis::toLogical(y);
    const QSize extent = dc.getTextExtent(text);
    w = extent.width();
    h = extent.height();
}

void AxisTitle::drawText(DeviceContext& dc) const
{
    int x0, y0, w, h;
    measure(dc, x0, y0, w, h);
    const double dirX = axis ? axis->dirX : 1.0;
    const double dirY = axis ? axis->dirY : 0.0;
    const ColorRef previous = dc.setTextColor(color);
    // The reference point is the top-left of the unturned text cell: below a horizontal axis
    // the text hangs from the anchor, beside a vertical one it ends at the anchor.
    dc.textOut(truncated(x0 - (dirY * h + dirX * w / 2.0)), truncated(y0 - dirY * w / 2.0), text);
    dc.setTextColor(previous);
}

void AxisTitle::Draw(DeviceContext& dc)
{
    Reposition();
    ComputeRect();
    dc.saveDC();
    const LogFont previous = dc.selectFont(font);
    drawText(dc);
    dc.selectFont(previous);
    dc.restoreDC();
}

void AxisTitle::Print(DeviceContext& dc, PrintInfo&)
{
    dc.saveDC();
    dc.selectFont(font);
    drawText(dc);
    dc.restoreDC();
}

void AxisTitle::ComputeRect()
{
    std::unique_ptr<DeviceContext> dc = view ? view->clientDC() : nullptr;
    if (!dc) {
        rect = Rect{};
        return;
    }
    view->PrepareDC(*dc);
    dc->selectFont(font);
    int x0, y0, w, h;
    measure(*dc, x0, y0, w, h);
    const double dirX = axis ? axis->dirX : 1.0;
    const double dirY = axis ? axis->dirY : 0.0;
    const int left = truncated(x0 - dirX * w / 2.0 - dirY * h);
    const int right = truncated(x0 + dirX * w / 2.0);
    const int top = truncated(y0 + dirY * w / 2.0);
    const int bottom = truncated(y0 - dirY * w / 2.0 - dirX * h);
    const QPoint topLeft = dc->LPtoDP(QPoint(left, top));
    const QPoint bottomRight = dc->LPtoDP(QPoint(right, bottom));
    rect = Rect{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()}.normalized();
}

int AxisTitle::EditProperties()
{
    AxisEditors* editors = AxisEditors::instance();
    const int result = editors ? editors->editTitle(*this) : 0;
    Reposition();
    ComputeRect();
    return result ? 1 : 0;
}

visibleobject* AxisTitle::ReleaseReference(visibleobject* other)
{
    if (other && other == axis)
        axis = nullptr;
    return nullptr;
}

void AxisTitle::CopyTitle(const AxisTitle& other)
{
    CopyAttributes(other);
    font = other.font;
    text = other.text;
    distance = other.distance;
    color = other.color;
}

void AxisTitle::unlinkOneSided(std::span<Persistent* const> objects)
{
    for (Persistent* obj : objects) {
        if (!obj || !obj->isKindOf(&Axis::classRecord))
            continue;
        auto* a = static_cast<Axis*>(obj);
        const visibleobject* t = a->title;
        if (t && (!t->isKindOf(&classRecord) || static_cast<const AxisTitle*>(t)->axis != a))
            a->title = nullptr;
    }
    for (Persistent* obj : objects) {
        if (!obj || !obj->isKindOf(&classRecord))
            continue;
        auto* t = static_cast<AxisTitle*>(obj);
        if (t->axis && t->axis->title != t)
            t->axis = nullptr;
    }
}
