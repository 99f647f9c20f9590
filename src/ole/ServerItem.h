#pragma once

#include "page/visiblelist.h"
#include "platform/Rect.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <memory>

class Archive;
class DeviceContext;
class ObjectSequence;
class PageView;
class PlotDocument;

// The picture of a plot that other programs are given: the whole page, or a chosen set of its
// objects (a link item). Its name is what another document would link to; a link item's objects
// are kept by the document as a link group under that name, so the link survives saving.
class ServerItem
{
public:
    // Fixed margin added right and bottom of the objects' bounds, pixels.
    static constexpr int margin = 50;

    // The item for the whole page.
    explicit ServerItem(PlotDocument& doc);
    // The item for the objects (copied); an empty list stands for the whole page.
    ServerItem(PlotDocument& doc, const ObjectSequence& objects);
    ServerItem(const ServerItem&) = delete;
    ServerItem& operator=(const ServerItem&) = delete;

    // The item a selection is offered through: the one of a link group with the same members,
    // else a new item whose objects become a link group under its name.
    static std::unique_ptr<ServerItem> forSelection(PlotDocument& doc,
                                                    const ObjectSequence& selection);
    // The item for the link group of that name; null when the document has no such group.
    static std::unique_ptr<ServerItem> linkedItem(PlotDocument& doc, const QString& name);

    const QString& name() const { return name_; }
    bool isLink() const { return link_; }
    const visiblelist& objects() const { return objects_; }
    // The objects' bounds in client pixels (the page extent for the whole page); empty for a
    // link item whose objects have all been deleted.
    const Rect& bounds() const { return bounds_; }
    // The size of the picture in HIMETRIC (0.01 mm): the bounds with the margin.
    QSize extent() const;

    // Draws the objects for the picture: the context's window is the bounds in logical units,
    // its viewport the extent.
    void draw(DeviceContext& dc) const;
    // The document as far as the item's objects need it, moved so that their lower-left corner
    // lies at (1, 1) inch, then the item's own list. The page on screen is left exactly as it
    // was, also when writing raises.
    void serialize(Archive& ar);
    // A whole plot document file in memory, written through serialize.
    QByteArray transferDocument();

    // After the document changed: objects deleted from it leave the item (and its link group),
    // and the bounds are computed again.
    void update();

private:
    ServerItem(PlotDocument& doc, const ObjectSequence& objects, QString name, bool link);
    // The next "pvn%d" that the document does not use yet.
    static QString nextName(const PlotDocument& doc);
    // Objects the picture shows: the item's own, or the page.
    const ObjectSequence& shown() const;
    // The view whose client pixels the objects' rectangles are in.
    const PageView* pixelView() const;
    void computeBounds();
    // Keeps the objects as a link group under the item's name.
    void registerLink();
    // True when obj is written with the item's objects: one of them, or one they depend on.
    bool isNeeded(const visibleobject* obj) const;

    PlotDocument& doc_;
    visiblelist objects_; // refers to page objects, owns none
    bool link_ = false;
    QString name_;
    Rect bounds_;
};
