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

    TestWindow window{&doc};
    Trace* trace = nullptr;
};

TEST_F(ServerItemTest, NamesCountOnAndSkipThoseTheDocumentLinksTo)
{
    const int first = ServerItem(doc).name().mid(3).toInt();
    doc.RegisterLinkGroup(QStringLiteral("pvn%1").arg(first + 1), visiblelist());
    doc.RegisterLinkGroup(QStringLiteral("pvn%1").arg(first + 2), visiblelist());
    EXPECT_EQ(ServerItem(doc).name(), QStringLiteral("pvn%1").arg(first + 3));
}

TEST_F(ServerItemTest, ExtentIsTheBoundsAndAFiftyPixelMarginInHimetric)
{
    window.setResolution(120.0f, 120.0f);
    window.ResetView();
    const auto himetric = [](const Rect& r) {
        return QSize(int(std::lround((r.width() + 50) * 2540.0 / 120.0)),
                     int(std::lround((r.height() + 50) * 2540.0 / 120.0)));
    };
    const ServerItem axis(doc, listOf({trace->GetXAxis()}));
    EXPECT_EQ(axis.bounds(), trace->GetXAxis()->GetRect());
    EXPECT_EQ(axis.extent(), himetric(axis.bounds()));
    const ServerItem page(doc);
    EXPECT_EQ(page.bounds(), doc.GetObjects().PageExtent());
    EXPECT_EQ(page.extent(), himetric(page.bounds()));
}

TEST_F(ServerItemTest, DeletedObjectsLeaveTheItemAndItsLinkGroupOnTheNextUpdate)
{
    Axis* mirror = trace->MirrorYAxis();
    mirror->OnMenuCommand(Axis::TitleCommand);
    visibleobject* title = mirror->GetTitle();
    window.ResetView();
    const auto item = ServerItem::forSelection(doc, listOf({trace, mirror, title}));

    doc.DeleteObject(trace);
    item->update();
    EXPECT_EQ(item->objects().objects(), (QList<visibleobject*>{mirror, title}));
    EXPECT_EQ(item->bounds(), mirror->GetRect().united(title->GetRect()));
    // The axis takes its title with it; the item stands for nothing rather than the page.
    doc.DeleteObject(mirror);
    EXPECT_TRUE(doc.GetLinkGroup(item->name())->isEmpty());
    item->update();
    EXPECT_TRUE(item->objects().isEmpty());
    EXPECT_TRUE(item->bounds().isEmpty());
}

} // namespace
