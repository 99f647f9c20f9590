#include "OleTestSupport.h"
#include "doc/DocTestSupport.h"
#include "doc/DocumentFile.h"
#include "ole/ClientItem.h"
#include "ole/DocumentTransfer.h"
#include "ole/ServerItem.h"
#include "ole/VisibleOLE.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "traces/Trace.h"
#include "view/ViewClipboard.h"
#include "view/ViewTestSupport.h"

#include <QMimeData>

// A page object whose record cannot be written.
class UnwritableObject : public visibleobject
{
    PV_DECLARE_SERIAL(UnwritableObject)

public:
    void Serialize(Archive&) override
    {
        throw ArchiveException(ArchiveException::Cause::generic, QStringLiteral("test"));
    }
};
PV_IMPLEMENT_SERIAL(UnwritableObject, visibleobject, 0)

namespace {

class TransferTest : public DocFixture, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        open(writeFile("run.dat", "1 10\n2 20\n3 30\n"));
        trace = traceAt(0);
        window.ResetView();
    }
    // Names, positions and rectangles of the page, in page order.
    static QStringList placesOf(const PlotDocument& d)
    {
        QStringList all;
        for (visibleobject* obj : d.GetObjects())
            all.append(QStringLiteral("%1 %2 %3 %4 %5")
                           .arg(obj->GetName())
                           .arg(obj->x, 0, 'g', 9)
                           .arg(obj->y, 0, 'g', 9)
                           .arg(obj->GetRect().left)
                           .arg(obj->GetRect().bottom));
        return all;
    }
    // The lower-left corner of a rectangle of a view as a page position.
    static QPointF lowerLeft(TestWindow& view, const Rect& r)
    {
        const Rect focus = view.focusRect();
        view.setFocusRect(r);
        float x = 0, y = 0;
        view.FocusOriginInches(x, y);
        view.setFocusRect(focus);
        return {x, y};
    }

    TestWindow window{&doc};
    Trace* trace = nullptr;
    DocumentTransfer transfer;
    ClipboardFormats::Registration registration{&transfer};
};

TEST_P(TransferTest, SelectionGoesToOneInchWhileThePageStaysPut)
{
    const bool raises = GetParam();
    visibleobject* axis = trace->GetXAxis();
    visiblelist others, chosen;
    others.append(trace);
    doc.RegisterLinkGroup(QStringLiteral("others"), others);
    chosen.append(axis);
    if (raises) {
        auto bad = std::make_unique<UnwritableObject>();
        bad->rect = axis->GetRect();
        chosen.append(bad.get());
        doc.AddObject(std::move(bad));
    }
    const QStringList before = placesOf(doc);
    const QPointF corner = lowerLeft(window, chosen.Bounds());

    ServerItem item(doc, chosen);
    QByteArray bytes;
    if (raises)
        EXPECT_THROW(item.transferDocument(), ArchiveException);
    else
        bytes = item.transferDocument();
    EXPECT_EQ(placesOf(doc), before);
    EXPECT_TRUE(doc.GetLinkGroup(QStringLiteral("others"))->contains(trace));
    if (raises)
        return;
    // Only the axis travels, its corner at (1, 1) inch.
    const std::unique_ptr<PlotDocument> sent = loadDocumentFromBytes(bytes);
    ASSERT_EQ(sent->GetObjects().count(), 1);
    EXPECT_NEAR(sent->GetObjects().first()->x, axis->x + 1.0 - corner.x(), 1e-5);
    EXPECT_NEAR(sent->GetObjects().first()->y, axis->y + 1.0 - corner.y(), 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Writes, TransferTest, ::testing::Bool());

TEST_F(TransferTest, PastedDocumentGivesTheSameObjectsAtTheFocusRectangle)
{
    auto all = std::make_unique<visiblelist>();
    for (visibleobject* obj : doc.GetObjects())
        all->append(obj);
    window.SetSelection(std::move(all));
    QMimeData alone;
    alone.setData(DocumentTransfer::mimeType,
                  ViewClipboard::selectionData(window)->data(DocumentTransfer::mimeType));

    PlotDocument other;
    TestWindow target(&other);
    target.setFocusRect(Rect{40, 60, 140, 120});
    const QPointF shift =
        lowerLeft(target, target.focusRect()) - lowerLeft(window, doc.GetObjects().Bounds());
    ASSERT_TRUE(ViewClipboard::paste(target, alone));
    ASSERT_EQ(other.GetObjects().count(), doc.GetObjects().count());
    for (int i = 0; i < doc.GetObjects().count(); ++i) {
        const visibleobject* pasted = other.GetObjects().at(i);
        EXPECT_EQ(pasted->GetName(), doc.GetObjects().at(i)->GetName());
        EXPECT_NEAR(pasted->x, doc.GetObjects().at(i)->x + shift.x(), 1e-4);
        EXPECT_NEAR(pasted->y, doc.GetObjects().at(i)->y + shift.y(), 1e-4);
    }
    EXPECT_EQ(static_cast<Trace*>(other.GetObjects().at(0))->GetFile()->GetNumPoints(), 3);

    // Bytes that hold no document change nothing.
    alone.setData(DocumentTransfer::mimeType, QByteArray(600, 'x'));
    EXPECT_FALSE(ViewClipboard::paste(target, alone));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error pasteing from clipboard!")});
    EXPECT_EQ(other.GetObjects().count(), doc.GetObjects().count());
}

TEST_F(TransferTest, EmbeddedPicturesTravelWithTheirBytes)
{
    const QByteArray png = pngBytes(12, 8);
    auto picture = std::make_unique<VisibleOLE>(ClientItem::fromPicture(png));
    VisibleOLE* original = picture.get();
    doc.AddObject(std::move(picture));
    auto selection = std::make_unique<visiblelist>();
    selection->append(original);
    window.SetSelection(std::move(selection));
    QMimeData alone;
    alone.setData(DocumentTransfer::mimeType,
                  ViewClipboard::selectionData(window)->data(DocumentTransfer::mimeType));

    PlotDocument other;
    TestWindow target(&other);
    ASSERT_TRUE(ViewClipboard::paste(target, alone));
    ASSERT_EQ(other.GetObjects().count(), 1);
    const auto* pasted = dynamic_cast<const VisibleOLE*>(other.GetObjects().at(0));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->item()->content(), png);
}

} // namespace
