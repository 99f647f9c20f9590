#include "common/FakeView.h"
#include "page/PageList.h"
#include "page/scaleableobject.h"
#include "page/visiblelist.h"
#include "platform/Archive.h"
#include "platform/RecordingDC.h"
#include "platform/StringObMap.h"

#include <gtest/gtest.h>
#include <optional>
#include <utility>

#include <cstring>

namespace {

// A scaleable object whose rectangle follows its position at a fixed size, as real kinds do.
class Box : public scaleableobject
{
    PV_DECLARE_SERIAL(Box)

public:
    void ComputeRect() override
    {
        ++computed;
        const int px = int(x * 100);
        rect = {px, 500 - int(y * 100) - 40, px + 60, 500 - int(y * 100)};
    }
    int computed = 0;
};
PV_IMPLEMENT_SERIAL(Box, scaleableobject, 0)

// An object that refers to others, like a trace to its axes.
class Follower : public visibleobject
{
public:
    bool IsIndependentOf(const visibleobject* other) const override
    {
        return !refs.contains(other);
    }
    visibleobject* ReleaseReference(visibleobject* other) override
    {
        released.append(other);
        if (takesAlong)
            takenAlong = takesAlong->second->Take(takesAlong->first);
        if (!refs.removeOne(other) || !makeReplacement)
            return nullptr;
        auto* replacement = new Follower;
        replacement->name = name + " replacement";
        created.append(replacement);
        return replacement;
    }
    QList<const visibleobject*> refs;
    QList<visibleobject*> released;
    bool makeReplacement = false;
    std::optional<std::pair<visibleobject*, PageList*>> takesAlong; // as an axis its title
    std::unique_ptr<visibleobject> takenAlong;
    static inline QList<visibleobject*> created;
};

visibleobject* named(visibleobject* obj, const char* name)
{
    obj->name = QString::fromLatin1(name);
    return obj;
}

} // namespace

TEST(VisibleList, GetAtCountsFromOne)
{
    visibleobject a, b;
    visiblelist list;
    list.append(&a);
    list.append(&b);
    EXPECT_EQ(list.GetAt(1), &a);
    EXPECT_EQ(list.GetAt(2), &b);
    EXPECT_EQ(list.GetAt(3), nullptr);
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(visiblelist().GetAt(1), nullptr);
}

TEST(VisibleList, BoundsUnitesRectanglesAndIgnoresEmptyOnes)
{
    visiblelist list;
    EXPECT_EQ(list.Bounds(), Rect{});
    visibleobject a, b, empty;
    a.rect = {10, 20, 110, 80};
    list.append(&a);
    EXPECT_EQ(list.Bounds(), a.rect);
    b.rect = {-5, 50, 40, 200};
    list.append(&empty);
    list.append(&b);
    EXPECT_EQ(list.Bounds(), (Rect{-5, 20, 110, 200}));
}

TEST(VisibleList, AddUniqueRemoveAndSameMembers)
{
    visibleobject a, b, c;
    visiblelist list;
    list.AddUnique(&a);
    list.AddUnique(&b);
    list.AddUnique(&a);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.GetAt(1), &a);

    visiblelist other;
    other.append(&b);
    other.append(&a);
    EXPECT_TRUE(list.SameMembers(other));
    other.append(&c);
    EXPECT_FALSE(list.SameMembers(other));
    EXPECT_TRUE(other.Remove(&c));
    EXPECT_FALSE(other.Remove(&c));
    EXPECT_TRUE(list.SameMembers(other));

    visiblelist copy(list);
    EXPECT_EQ(copy.objects(), list.objects());
}

TEST(VisibleList, PageExtentAddsThePageOrigin)
{
    FakeView view;
    view.client = {0, 0, 800, 600};
    view.scrollPosX = 20;
    view.scrollPosY = -30;
    visibleobject a;
    a.rect = {100, 100, 200, 150};
    visiblelist list;
    EXPECT_EQ(list.PageExtent(), Rect{});
    list.append(&a);
    list.SetViewAll(&view);
    // Origin at (0 - 20, 600 + 30).
    EXPECT_EQ(list.PageExtent(), (Rect{-20, 100, 200, 630}));
}

TEST(VisibleList, MoveByShiftsAndRecomputes)
{
    Box box;
    box.x = 1.0f;
    box.y = 1.0f;
    visiblelist list;
    list.append(&box);
    list.MoveAllBy(0.5f, -0.25f);
    EXPECT_FLOAT_EQ(box.x, 1.5f);
    EXPECT_FLOAT_EQ(box.y, 0.75f);
    EXPECT_EQ(box.computed, 1);
    EXPECT_EQ(box.rect, (Rect{150, 385, 210, 425}));
}

TEST(VisibleList, DependentsNameEveryObjectReferringToTheTarget)
{
    visibleobject axis;
    Follower t1, t2, other;
    named(&axis, "X Axis 1");
    named(&t1, "1-run.dat");
    named(&t2, "2-run.dat");
    named(&other, "other");
    t1.refs = {&axis};
    t2.refs = {&axis};
    visiblelist list;
    for (visibleobject* obj :
         {static_cast<visibleobject*>(&axis), static_cast<visibleobject*>(&t1),
          static_cast<visibleobject*>(&other), static_cast<visibleobject*>(&t2)})
        list.append(obj);

    auto deps = list.DependentsOf(&axis);
    EXPECT_EQ(deps->count(), 2);
    EXPECT_EQ(deps->value(QStringLiteral("1-run.dat")), &t1);
    EXPECT_EQ(deps->value(QStringLiteral("2-run.dat")), &t2);
    EXPECT_TRUE(list.DependentsOf(&t1)->isEmpty());
}

// Counts the objects alive, so that every one is seen deleted exactly once.
class Counted : public visibleobject
{
public:
    Counted() { ++alive; }
    ~Counted() override { --alive; }
    static inline int alive = 0;
};

TEST(PageList, OwnsEachObjectOnceAndHandsItBackWhenTakenOrReplaced)
{
    std::unique_ptr<visibleobject> replaced, taken;
    {
        PageList list;
        visibleobject* a = list.Add(std::make_unique<Counted>());
        visibleobject* b = list.Add(std::make_unique<Counted>());
        visibleobject* c = list.Add(std::make_unique<Counted>());
        auto d = std::make_unique<Counted>();
        visibleobject* dRaw = d.get();
        // The replacement takes the old object's place in the drawing order.
        replaced = list.Replace(b, std::move(d));
        EXPECT_EQ(replaced.get(), b);
        EXPECT_EQ(list.objects(), (QList<visibleobject*>{a, dRaw, c}));
        taken = list.Take(c);
        EXPECT_EQ(taken.get(), c);
        EXPECT_EQ(list.Take(c), nullptr);
        // Replacing what is not on the list only appends.
        Counted stranger;
        EXPECT_EQ(list.Replace(&stranger, std::make_unique<Counted>()), nullptr);
        EXPECT_EQ(list.count(), 3);
        EXPECT_EQ(Counted::alive, 6);
    }
    EXPECT_EQ(Counted::alive, 2); // what was handed back
    replaced.reset();
    taken.reset();
    EXPECT_EQ(Counted::alive, 0);
}

TEST(PageList, CollectReplacementsSkipsWhatLeavesAndMissesNoOne)
{
    visibleobject axis;
    PageList list;
    auto* title = static_cast<Follower*>(list.Add(std::make_unique<Follower>()));
    auto* holder = static_cast<Follower*>(list.Add(std::make_unique<Follower>()));
    auto* other = static_cast<Follower*>(list.Add(std::make_unique<Follower>()));
    holder->takesAlong = std::make_pair(static_cast<visibleobject*>(title), &list);
    list.CollectReplacements(&axis);
    EXPECT_EQ(title->released, QList<visibleobject*>{&axis}); // asked before it left
    EXPECT_EQ(other->released, QList<visibleobject*>{&axis}); // not skipped by the shift
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(holder->takenAlong.get(), title);
}

TEST(PageList, CollectReplacementsVisitsObjectsAppendedOnTheWay)
{
    PageList list;
    visibleobject* axis = list.Add(std::make_unique<visibleobject>());
    auto* trace = static_cast<Follower*>(list.Add(std::make_unique<Follower>()));
    trace->refs = {axis};
    trace->makeReplacement = true;
    Follower::created.clear();
    list.CollectReplacements(axis);
    ASSERT_EQ(list.count(), 3);
    ASSERT_EQ(Follower::created.size(), 1);
    auto* replacement = static_cast<Follower*>(list.GetAt(3));
    EXPECT_EQ(replacement, Follower::created.first());
    // The appended replacement was asked too.
    EXPECT_EQ(replacement->released, QList<visibleobject*>{axis});
    EXPECT_TRUE(trace->IsIndependentOf(axis));
}

struct HandleCase
{
    Rect rect;
    QPoint point;
    bool hit;
    QPoint grabbed;
};

class HandleHits : public ::testing::TestWithParam<HandleCase>
{};

TEST_P(HandleHits, RightAndBottomEdgesAreOutside)
{
    const HandleCase& c = GetParam();
    Box box;
    box.rect = c.rect;
    box.grabbed = {-1, -1};
    EXPECT_EQ(box.HitHandle(c.point.x(), c.point.y()), c.hit ? 1 : 0);
    if (c.hit)
        EXPECT_EQ(box.grabbed, c.grabbed);
    else
        EXPECT_EQ(box.grabbed, QPoint(-1, -1));
}

// Rectangle (10,20)-(110,80): middles at x = 60, y = 50.
INSTANTIATE_TEST_SUITE_P(
    ScaleableObject, HandleHits,
    ::testing::Values(HandleCase{{10, 20, 110, 80}, {57, 20}, true, {60, 20}},   // top, corner
                      HandleCase{{10, 20, 110, 80}, {62, 25}, true, {60, 20}},   // top, inside
                      HandleCase{{10, 20, 110, 80}, {63, 20}, false, {}},        // top, right edge
                      HandleCase{{10, 20, 110, 80}, {60, 26}, false, {}},        // top, bottom edge
                      HandleCase{{10, 20, 110, 80}, {60, 79}, true, {60, 80}},   // bottom
                      HandleCase{{10, 20, 110, 80}, {60, 80}, false, {}},        // below bottom
                      HandleCase{{10, 20, 110, 80}, {10, 47}, true, {10, 50}},   // left
                      HandleCase{{10, 20, 110, 80}, {16, 50}, false, {}},        // left, right edge
                      HandleCase{{10, 20, 110, 80}, {109, 52}, true, {110, 50}}, // right
                      HandleCase{{10, 20, 110, 80}, {110, 50}, false, {}},       // outside
                      HandleCase{{10, 20, 110, 80}, {30, 30}, false, {}}, // inside, no handle
                      // Only 6 tall: top and bottom squares coincide, the top wins.
                      HandleCase{{0, 0, 100, 6}, {50, 3}, true, {50, 0}},
                      // Never laid out: nothing to grab.
                      HandleCase{{0, 0, 0, 0}, {0, 0}, false, {}}));

TEST(ScaleableObject, SelectionMarksFrameAndFourHandles)
{
    Box box;
    box.rect = {10, 20, 110, 80};
    RecordingDC dc;
    Rect out;
    EXPECT_EQ(box.DrawSelection(dc, out), 1);
    EXPECT_EQ(out, box.rect);
    const QStringList lines = dc.lines();
    QStringList wanted = {"rect 10,20,110,80", "patblt 57,20,6,6 0x42", "patblt 57,74,6,6 0x42",
                          "patblt 10,47,6,6 0x42", "patblt 104,47,6,6 0x42"};
    for (const QString& w : wanted)
        EXPECT_TRUE(lines.contains(w)) << w.toStdString() << "\n" << lines.join('\n').toStdString();
    EXPECT_LT(lines.indexOf(wanted[0]), lines.indexOf(wanted[1]));
}

TEST(ScaleableObject, EraseSelectionRepaintsTheObjectInEveryView)
{
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    Box box;
    box.SetView(&view);
    RecordingDC dc;
    EXPECT_EQ(box.EraseSelection(dc), 1);
    ASSERT_EQ(doc.updates.size(), 1);
    EXPECT_EQ(doc.updates.first().first, DocumentServices::UpdateHint::Object);
    EXPECT_EQ(doc.updates.first().second, &box);
}

TEST(ScaleableObject, CopiesKeepPositionNameAndRectButNotTheGrab)
{
    FakeView view;
    Box a;
    a.x = 1.25f;
    a.y = -2.5f;
    a.name = "box";
    a.rect = {1, 2, 3, 4};
    a.view = &view;
    a.grabbed = {7, 8};
    Box b(a);
    EXPECT_EQ(b.x, a.x);
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.rect, a.rect);
    EXPECT_EQ(b.view, &view);
    EXPECT_NE(b.grabbed, a.grabbed);

    Box c;
    c.CopyScaleable(a);
    EXPECT_EQ(c.y, a.y);
    EXPECT_EQ(c.name, a.name);
    EXPECT_EQ(c.rect, a.rect);
}

TEST(VisibleList, RecordRoundTripKeepsOrderNamesAndExactPositions)
{
    Box a, b;
    a.x = 0.1f;
    a.y = -3.3333333f;
    a.name = QString(300, QChar('n'));
    b.x = 1e-30f;
    b.y = 12345.678f;
    b.name = "second";
    visiblelist list;
    list.append(&a);
    list.append(&b);
    list.append(&a); // the same object twice is written once, then by index

    Archive out;
    list.Serialize(out);
    const QByteArray bytes = out.data();
    // count 3; new class tag; Box record starts with the two raw floats.
    ASSERT_GE(bytes.size(), 9);
    EXPECT_EQ(bytes.left(4), QByteArray::fromHex("0300ffff"));

    Archive in(bytes);
    visiblelist loaded;
    loaded.Serialize(in);
    ASSERT_EQ(loaded.count(), 3);
    EXPECT_EQ(loaded.GetAt(1), loaded.GetAt(3));
    auto* la = static_cast<Box*>(loaded.GetAt(1));
    auto* lb = static_cast<Box*>(loaded.GetAt(2));
    for (auto [orig, copy] : {std::pair{&a, la}, std::pair{&b, lb}}) {
        EXPECT_EQ(std::memcmp(&orig->x, &copy->x, 4), 0);
        EXPECT_EQ(std::memcmp(&orig->y, &copy->y, 4), 0);
        EXPECT_EQ(copy->name, orig->name);
        // Not laid out yet: no view, no rectangle, nothing under the mouse.
        EXPECT_EQ(copy->GetView(), nullptr);
        EXPECT_TRUE(copy->GetRect().isNull());
        EXPECT_EQ(copy->HitHandle(0, 0), 0);
    }
}
