#include "ole/ServerItem.h"
#include "axes/Axis.h"
#include "doc/DocTestSupport.h"
#include "traces/Trace.h"
#include "view/ViewTestSupport.h"

#include <cmath>

namespace {

class ServerItemTest : public DocFixture
{
protected:
    void SetUp() override
    {
        open(writeFile("run.dat", "1 10\n2 20\n3 30\n"));
        ASSERT_EQ(traceCount(), 1);
        trace = traceAt(0);
        window.ResetView();
    }
    static visiblelist listOf(std::initializer_list<visibleobject*> objects)
    {
        visiblelist list;
        for (visibleobject* obj : objects)
            list.append(obj);
        return list;
    }
    static int number(const ServerItem& item) { return item.name().mid(3).toInt(); }

    TestWindow window{&doc};
    Trace* trace = nullptr;
};

TEST_F(ServerItemTest, NamesCountOnAndSkipThoseTheDocumentLinksTo)
{
    const int first = number(ServerItem(doc));
    doc.RegisterLinkGroup(QStringLiteral("pvn%1").arg(first + 1), visiblelist());
    doc.RegisterLinkGroup(QStringLiteral("pvn%1").arg(first + 2), visiblelist());
    const ServerItem next(doc);
    EXPECT_EQ(next.name(), QStringLiteral("pvn%1").arg(first + 3));

    // A selection copied again is offered under the name of its link group.
    const visiblelist axes = listOf({trace->GetXAxis(), trace->GetYAxis()});
    const std::unique_ptr<ServerItem> linked = ServerItem::forSelection(doc, axes);
    ASSERT_NE(doc.GetLinkGroup(linked->name()), nullptr);
    EXPECT_TRUE(doc.GetLinkGroup(linked->name())->SameMembers(axes));
    EXPECT_EQ(ServerItem::forSelection(doc, listOf({trace->GetYAxis(), trace->GetXAxis()}))->name(),
              linked->name());
}

TEST_F(ServerItemTest, ExtentIsTheBoundsAndAFiftyPixelMarginInHimetric)
{
    window.setResolution(120.0f, 120.0f);
    window.ResetView();
    const auto himetric = [](int pixels) { return int(std::lround(pixels * 2540.0 / 120.0)); };
    Axis* axis = trace->GetXAxis();
    const ServerItem one(doc, listOf({axis}));
    EXPECT_EQ(one.bounds(), axis->GetRect());
    EXPECT_EQ(one.extent(), QSize(himetric(axis->GetRect().width() + 50),
                                  himetric(axis->GetRect().height() + 50)));

    const ServerItem page(doc);
    const Rect extent = doc.GetObjects().PageExtent();
    EXPECT_EQ(page.bounds(), extent);
    EXPECT_EQ(page.extent(), QSize(himetric(extent.width() + 50), himetric(extent.height() + 50)));
}

TEST_F(ServerItemTest, DeletedObjectsLeaveTheItemAndItsLinkGroupOnTheNextUpdate)
{
    Axis* mirror = trace->MirrorYAxis();
    ASSERT_NE(mirror, nullptr);
    mirror->OnMenuCommand(Axis::TitleCommand);
    visibleobject* title = mirror->GetTitle();
    ASSERT_NE(title, nullptr);
    window.ResetView();
    const std::unique_ptr<ServerItem> item =
        ServerItem::forSelection(doc, listOf({trace, mirror, title}));

    doc.DeleteObject(trace);
    item->update();
    EXPECT_EQ(item->objects().objects(), (QList<visibleobject*>{mirror, title}));
    EXPECT_EQ(item->bounds(), mirror->GetRect().united(title->GetRect()));

    // The axis takes its title with it.
    doc.DeleteObject(mirror);
    EXPECT_TRUE(doc.GetLinkGroup(item->name())->isEmpty());
    item->update();
    EXPECT_TRUE(item->objects().isEmpty());
    EXPECT_TRUE(item->isLink());
    EXPECT_TRUE(item->bounds().isEmpty());
}

} // namespace
