#include "ole/ServerItem.h"

#include "doc/DocumentFile.h"
#include "doc/DocumentView.h"
#include "doc/PlotDocument.h"
#include "platform/Archive.h"
#include "platform/CompoundFile.h"
#include "platform/DeviceContext.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Pixels to HIMETRIC at the screen's resolution.
int himetric(int pixels, float ppi)
{
    if (ppi <= 0.0f)
        ppi = 96.0f;
    return int(std::lround(double(pixels) * 2540.0 / double(ppi)));
}

Rect withMargin(const Rect& r)
{
    return Rect{r.left, r.top, r.right + ServerItem::margin, r.bottom + ServerItem::margin};
}

// The lower-left corner of a rectangle in client pixels as a page position, as the focus
// rectangle's is taken; (1, 1) without a view, so that nothing is moved then.
void lowerLeftInches(const PageView* view, const Rect& r, float& x, float& y)
{
    x = 1.0f;
    y = 1.0f;
    if (!view || r.isEmpty())
        return;
    const float sx = view->pixelsPerInchX() * view->viewScale();
    const float sy = view->pixelsPerInchY() * view->viewScale();
    if (sx <= 0.0f || sy <= 0.0f)
        return;
    x = float(r.left + view->scrollX()) / sx;
    y = float(view->clientRect().height() - r.bottom - view->scrollY()) / sy;
}

// Everything the transfer changes on the page, put back when it ends however it ends: the
// objects taken off, the page order, the positions to the bit and the link groups' members
// (writing a document purges them of objects not on the page).
class PageRestorer
{
public:
    explicit PageRestorer(PlotDocument& doc) : doc_(doc), order_(doc.GetObjects().objects())
    {
        for (visibleobject* obj : order_)
            positions_.emplace_back(obj->x, obj->y);
        for (const StringObMap::Entry& entry : doc.GetLinkGroups()) {
            auto* group = static_cast<visiblelist*>(entry.value);
            groups_.emplace_back(group, *group);
        }
    }
    ~PageRestorer()
    {
        PageList& page = doc_.GetObjects();
        if (moved_)
            page.MoveAllBy(-dx_, -dy_);
        std::vector<std::unique_ptr<visibleobject>> all;
        all.reserve(order_.size());
        for (visibleobject* obj : order_) {
            std::unique_ptr<visibleobject> owned = page.Take(obj);
            for (auto& away : away_) {
                if (away.get() == obj)
                    owned = std::move(away);
            }
            all.push_back(std::move(owned));
        }
        for (std::size_t i = 0; i < all.size(); ++i) {
            visibleobject* obj = page.Add(std::move(all[i]));
            if (obj && (obj->x != positions_[i].first || obj->y != positions_[i].second)) {
                obj->x = positions_[i].first;
                obj->y = positions_[i].second;
                obj->ComputeRect();
            }
        }
        for (auto& [group, members] : groups_)
            *group = members;
    }
    PageRestorer(const PageRestorer&) = delete;
    PageRestorer& operator=(const PageRestorer&) = delete;

    void takeOff(visibleobject* obj) { away_.push_back(doc_.GetObjects().Take(obj)); }
    void moveBy(float dx, float dy)
    {
        doc_.GetObjects().MoveAllBy(dx, dy);
        moved_ = true;
        dx_ = dx;
        dy_ = dy;
    }

private:
    PlotDocument& doc_;
    const QList<visibleobject*> order_;
    std::vector<std::pair<float, float>> positions_;
    std::vector<std::pair<visiblelist*, visiblelist>> groups_;
    std::vector<std::unique_ptr<visibleobject>> away_;
    bool moved_ = false;
    float dx_ = 0.0f, dy_ = 0.0f;
};

} // namespace

ServerItem::ServerItem(PlotDocument& doc) : ServerItem(doc, visiblelist(), nextName(doc), false) {}

ServerItem::ServerItem(PlotDocument& doc, const ObjectSequence& objects)
    : ServerItem(doc, objects, nextName(doc), !objects.isEmpty())
{}

ServerItem::ServerItem(PlotDocument& doc, const ObjectSequence& objects, QString name, bool link)
    : doc_(doc), link_(link), name_(std::move(name))
{
    for (visibleobject* obj : objects)
        objects_.append(obj);
    computeBounds();
}

std::unique_ptr<ServerItem> ServerItem::forSelection(PlotDocument& doc,
                                                     const ObjectSequence& selection)
{
    const QString known = doc.FindLinkGroup(selection);
    if (!known.isEmpty())
        return linkedItem(doc, known);
    auto item = std::make_unique<ServerItem>(doc, selection);
    item->registerLink();
    return item;
}

std::unique_ptr<ServerItem> ServerItem::linkedItem(PlotDocument& doc, const QString& name)
{
    const visiblelist* group = doc.GetLinkGroup(name);
    if (!group)
        return nullptr;
    std::unique_ptr<ServerItem> item(new ServerItem(doc, *group, name, true));
    item->registerLink();
    return item;
}

QString ServerItem::nextName(const PlotDocument& doc)
{
    // Program-wide, and counted on after every attempt, so no two items share a name.
    static unsigned counter = 0;
    for (;;) {
        const QString name = QStringLiteral("pvn%1").arg(int(counter++));
        if (!doc.GetLinkGroup(name))
            return name;
    }
}

const PageView* ServerItem::pixelView() const
{
    for (const visibleobject* obj : shown()) {
        if (const PageView* view = obj->GetView())
            return view;
    }
    return doc_.FirstView();
}

const ObjectSequence& ServerItem::shown() const
{
    if (link_)
        return objects_;
    return doc_.GetObjects();
}

void ServerItem::computeBounds()
{
    bounds_ = link_ ? objects_.Bounds() : doc_.GetObjects().PageExtent();
}

QSize ServerItem::extent() const
{
    const Rect r = withMargin(bounds_);
    const PageView* view = pixelView();
    const float ppiX = view ? view->pixelsPerInchX() : 96.0f;
    const float ppiY = view ? view->pixelsPerInchY() : 96.0f;
    return QSize(himetric(r.width(), ppiX), himetric(r.height(), ppiY));
}

void ServerItem::draw(DeviceContext& dc) const
{
    const Rect r = withMargin(bounds_);
    QPoint topLeft(r.left, r.top), bottomRight(r.right, r.bottom);
    if (const PageView* view = pixelView()) {
        const std::unique_ptr<DeviceContext> client = view->clientDC();
        view->PrepareDC(*client);
        topLeft = client->DPtoLP(topLeft);
        bottomRight = client->DPtoLP(bottomRight);
    }
    const QSize size = extent();
    dc.saveDC();
    dc.setMapModeAnisotropic();
    dc.setWindowOrg(topLeft.x(), topLeft.y());
    dc.setWindowExt(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y());
    dc.setViewportOrg(0, 0);
    dc.setViewportExt(size.width(), size.height());
    for (visibleobject* obj : shown())
        obj->DrawMetafile(dc);
    dc.restoreDC();
}

bool ServerItem::isNeeded(const visibleobject* obj) const
{
    for (const visibleobject* member : objects_) {
        if (member == obj || !member->IsIndependentOf(obj))
            return true;
    }
    return false;
}

void ServerItem::serialize(Archive& ar)
{
    {
        PageRestorer restorer(doc_);
        if (link_) {
            const QList<visibleobject*> page = doc_.GetObjects().objects();
            for (visibleobject* obj : page) {
                if (!isNeeded(obj))
                    restorer.takeOff(obj);
            }
        }
        float x = 1.0f, y = 1.0f;
        lowerLeftInches(pixelView(), doc_.GetObjects().Bounds(), x, y);
        restorer.moveBy(1.0f - x, 1.0f - y);
        writeDocument(doc_, ar);
    }
    objects_.Serialize(ar);
}

QByteArray ServerItem::transferDocument()
{
    Archive ar;
    ar.setDocument(&doc_);
    // Embedded objects travel with their bytes, as in a saved file.
    ar.setCarriesSideStorages(true);
    serialize(ar);
    CompoundFileWriter container;
    writeContainer(container, ar);
    return container.toBytes();
}

void ServerItem::update()
{
    if (link_) {
        const PageList& page = doc_.GetObjects();
        visiblelist* group = doc_.GetLinkGroup(name_);
        const QList<visibleobject*> members = objects_.objects();
        for (visibleobject* obj : members) {
            if (page.contains(obj))
                continue;
            objects_.Remove(obj);
            if (group)
                group->Remove(obj);
        }
    }
    computeBounds();
}

void ServerItem::registerLink()
{
    // Registering the same members again would change nothing but the modified flag.
    const visiblelist* group = doc_.GetLinkGroup(name_);
    if (link_ && !(group && group->SameMembers(objects_)))
        doc_.RegisterLinkGroup(name_, objects_);
}
