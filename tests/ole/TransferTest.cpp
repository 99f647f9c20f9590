#include "axes/Axis.h"
#include "doc/DocTestSupport.h"
#include "doc/DocumentFile.h"
#include "ole/DocumentTransfer.h"
#include "ole/ServerItem.h"
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
    void Serialize(Archive& ar) override
    {
        if (ar.isStoring())
            throw ArchiveException(ArchiveException::Cause::generic, QStringLiteral("test"));
        visibleobject::Serialize(ar);
    }
};
PV_IMPLEMENT_SERIAL(UnwritableObject, visibleobject, 0)

namespace {

class TransferTest : public DocFixture
{
protected:
    void SetUp() override
    {
        open(writeFile("run.dat", "1 10\n2 20\n3 30\n"));
        ASSERT_EQ(traceCount(), 1);
        trace = traceAt(0);
        window.ResetView();
    }
    void select(std::initializer_list<visibleobject*> objects)
    {
        auto list = std::make_unique<visiblelist>();
        for (visibleobject* obj : objects)
            list->append(obj);
        window.SetSelection(std::move(list));
    }
    struct Placed
    {
        QString name;
        float x, y;
        Rect rect;
        bool operator==(const Placed&) const = default;
    };
    static QList<Placed> placesOf(const PlotDocument& d)
    {
        QList<Placed> all;
        for (visibleobject* obj : d.GetObjects())
            all.append({obj->GetName(), obj->x, obj->y, obj->GetRect()});
        return all;
    }
    // The lower-left corner of a rectangle of the window as a page position.
    QPointF lowerLeft(const Rect& r)
    {
        const Rect focus = window.focusRect();
        window.setFocusRect(r);
        float x = 0, y = 0;
        window.FocusOriginInches(x, y);
        window.setFocusRect(focus);
        return {x, y};
    }

    TestWindow window{&doc};
    Trace* trace = nullptr;
    DocumentTransfer transfer;
    ClipboardFormats::Registration registration{&transfer};
};

class TransferWriteTest : public TransferTest, public ::testing::WithParamInterface<bool>
{};

TEST_P(TransferWriteTest, SelectionGoesToOneInchWhileThePageStaysPut)
{
    const bool raises = GetParam();
    Axis* axis = trace->GetXAxis();
    visiblelist others;
    others.append(trace);
    doc.RegisterLinkGroup(QStringLiteral("others"), others);
    visiblelist chosen;
    chosen.append(axis);
    if (raises) {
        auto bad = std::make_unique<UnwritableObject>();
        bad->rect = axis->GetRect();
        chosen.append(bad.get());
        doc.AddObject(std::move(bad));
    }
    const QList<Placed> before = placesOf(doc);
    const QPointF corner = lowerLeft(chosen.Bounds());

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
    const visibleobject* copy = sent->GetObjects().first();
    EXPECT_EQ(copy->GetName(), axis->GetName());
    EXPECT_NEAR(copy->x, axis->x + 1.0 - corner.x(), 1e-5);
    EXPECT_NEAR(copy->y, axis->y + 1.0 - corner.y(), 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Writes, TransferWriteTest, ::testing::Bool());

TEST_F(TransferTest, PastedDocumentGivesTheSameObjectsAtTheFocusRectangle)
{
    select({trace, trace->GetXAxis(), trace->GetYAxis()});
    window.setFocusRect(window.selection()->Bounds());
    const std::unique_ptr<QMimeData> copied = ViewClipboard::selectionData(window);
    ASSERT_TRUE(copied && copied->hasFormat(DocumentTransfer::mimeType));
    QMimeData alone;
    alone.setData(DocumentTransfer::mimeType, copied->data(DocumentTransfer::mimeType));

    PlotDocument other;
    TestWindow target(&other);
    target.setFocusRect(Rect{40, 60, 140, 120});
    const QPointF focus = [&] {
        float x = 0, y = 0;
        target.FocusOriginInches(x, y);
        return QPointF(x, y);
    }();
    ASSERT_TRUE(ViewClipboard::canPaste(&alone));
    ASSERT_TRUE(ViewClipboard::paste(target, alone));
    EXPECT_TRUE(prompter.texts().isEmpty());

    QStringList names, pastedNames;
    for (visibleobject* obj : doc.GetObjects())
        names.append(obj->GetName());
    for (visibleobject* obj : other.GetObjects())
        pastedNames.append(obj->GetName());
    EXPECT_EQ(pastedNames, names);
    ASSERT_EQ(other.GetTraces()->count(), 1);
    auto* pasted = static_cast<Trace*>(other.GetTraces()->at(0));
    EXPECT_EQ(pasted->GetFile()->GetFullPath(), trace->GetFile()->GetFullPath());
    EXPECT_EQ(pasted->GetFile()->GetNumPoints(), 3);
    EXPECT_TRUE(other.GetObjects().contains(pasted->GetXAxis()));
    // Everything moved alike, the lower-left corner to the focus rectangle's.
    const QPointF from = lowerLeft(doc.GetObjects().Bounds());
    for (int i = 0; i < other.GetObjects().count(); ++i) {
        EXPECT_NEAR(other.GetObjects().at(i)->x - doc.GetObjects().at(i)->x, focus.x() - from.x(),
                    1e-4);
        EXPECT_NEAR(other.GetObjects().at(i)->y - doc.GetObjects().at(i)->y, focus.y() - from.y(),
                    1e-4);
    }
}

TEST_F(TransferTest, UnreadableDocumentIsRefusedAndChangesNothing)
{
    select({trace});
    const QByteArray good = ViewClipboard::selectionData(window)->data(DocumentTransfer::mimeType);
    const int count = doc.GetObjects().count();
    for (const QByteArray& bad : {QByteArray(), good.left(good.size() / 2), QByteArray(600, 'x')}) {
        QMimeData data;
        data.setData(DocumentTransfer::mimeType, bad);
        EXPECT_FALSE(ViewClipboard::paste(window, data));
    }
    EXPECT_EQ(prompter.texts(), QStringList(3, QStringLiteral("Error pasteing from clipboard!")));
    EXPECT_EQ(doc.GetObjects().count(), count);
}

} // namespace
