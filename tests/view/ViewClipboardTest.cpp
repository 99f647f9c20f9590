#include "view/ViewClipboard.h"
#include "ViewTestSupport.h"
#include "axes/Axis.h"
#include "axes/AxisTitle.h"
#include "doc/DocTestSupport.h"
#include "page/visiblelist.h"
#include "platform/Strings.h"
#include "traces/Trace.h"
#include "view/ClipboardFormats.h"
#include "view/GraphInteraction.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>

namespace {

const std::string threeColumns = "1 10 100\n2 20 200\n3 30 300\n";

class ViewClipboardTest : public DocFixture
{
protected:
    void SetUp() override
    {
        open(writeFile("run.dat", threeColumns));
        ASSERT_EQ(traceCount(), 1);
        trace = traceAt(0);
        xAxis = trace->GetXAxis();
        yAxis = trace->GetYAxis();
        window.ResetView();
    }
    void select(std::initializer_list<visibleobject*> objects)
    {
        auto list = std::make_unique<visiblelist>();
        for (visibleobject* obj : objects)
            list->append(obj);
        window.SetSelection(std::move(list));
    }
    QStringList names() const
    {
        QStringList all;
        for (visibleobject* obj : doc.GetObjects())
            all.append(obj->GetName());
        return all;
    }

    TestWindow window{&doc};
    Trace* trace = nullptr;
    Axis* xAxis = nullptr;
    Axis* yAxis = nullptr;
};

TEST_F(ViewClipboardTest, CopyThenPasteGivesNewObjectsUnderNewNamesOnTheSameFile)
{
    const QStringList before = names();
    select({trace, xAxis, yAxis});
    const std::unique_ptr<QMimeData> data = ViewClipboard::selectionData(window);
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat(QStringLiteral("image/png")));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("image/svg+xml")));

    ASSERT_TRUE(ViewClipboard::paste(window, *data));
    EXPECT_TRUE(prompter.texts().isEmpty());
    ASSERT_EQ(traceCount(), 2);
    EXPECT_EQ(doc.GetObjects().count(), 6);
    QStringList expected = before;
    for (const QString& name : before)
        expected.append(name + QLatin1Char('.'));
    EXPECT_EQ(names(), expected);

    // The copy plots from the document's own file, on the axes pasted with it.
    Trace* copy = traceAt(1);
    EXPECT_EQ(doc.GetFiles().count(), 1);
    EXPECT_EQ(copy->GetFile(), trace->GetFile());
    EXPECT_NE(copy->GetXAxis(), xAxis);
    EXPECT_EQ(copy->GetXAxis()->GetName(), xAxis->GetName() + QLatin1Char('.'));
    EXPECT_EQ(copy->GetYAxis()->GetName(), yAxis->GetName() + QLatin1Char('.'));
}

TEST_F(ViewClipboardTest, PastedObjectsKeepTheirPlaceRelativeToTheFocusRectangle)
{
    select({xAxis});
    float fromX = 0, fromY = 0;
    window.FocusOriginInches(fromX, fromY);
    const float offsetX = xAxis->x - fromX, offsetY = xAxis->y - fromY;
    const std::unique_ptr<QMimeData> data = ViewClipboard::selectionData(window);
    ASSERT_TRUE(data);
    // The original stays where it was.
    EXPECT_FLOAT_EQ(xAxis->x, fromX + offsetX);
    // Other programs get a picture of the focus rectangle with the axis drawn in it.
    const QImage picture = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
    const Rect focus = xAxis->GetRect();
    ASSERT_EQ(picture.size(), QSize(focus.width(), focus.height()));
    bool drawn = false;
    for (int py = 0; py < picture.height() && !drawn; ++py)
        for (int px = 0; px < picture.width() && !drawn; ++px)
            drawn = picture.pixel(px, py) != qRgb(255, 255, 255);
    EXPECT_TRUE(drawn);

    window.ClearSelection();
    window.setFocusRect(Rect{40, 60, 140, 120});
    float toX = 0, toY = 0;
    window.FocusOriginInches(toX, toY);
    ASSERT_TRUE(ViewClipboard::paste(window, *data));
    visibleobject* pasted = doc.GetObjects().at(doc.GetObjects().count() - 1);
    EXPECT_EQ(pasted->GetName(), xAxis->GetName() + QLatin1Char('.'));
    EXPECT_NEAR(pasted->x, toX + offsetX, 1e-4);
    EXPECT_NEAR(pasted->y, toY + offsetY, 1e-4);
}

TEST_F(ViewClipboardTest, TitlesStayLinkedOnlyWhenPastedWithTheirAxis)
{
    xAxis->OnMenuCommand(Axis::TitleCommand);
    auto* title = dynamic_cast<AxisTitle*>(xAxis->GetTitle());
    ASSERT_NE(title, nullptr);
    const auto pasteOf = [&](std::initializer_list<visibleobject*> objects) {
        select(objects);
        const std::unique_ptr<QMimeData> data = ViewClipboard::selectionData(window);
        const int before = doc.GetObjects().count();
        EXPECT_TRUE(ViewClipboard::paste(window, *data));
        QList<visibleobject*> pasted = doc.GetObjects().objects().mid(before);
        EXPECT_EQ(pasted.count(), int(objects.size()));
        return pasted;
    };
    const QList<visibleobject*> both = pasteOf({xAxis, title});
    ASSERT_EQ(both.count(), 2);
    EXPECT_EQ(static_cast<Axis*>(both[0])->GetTitle(), both[1]);
    EXPECT_EQ(static_cast<AxisTitle*>(both[1])->GetAxis(), both[0]);
    EXPECT_EQ(static_cast<Axis*>(pasteOf({xAxis}).value(0))->GetTitle(), nullptr);
    EXPECT_EQ(static_cast<AxisTitle*>(pasteOf({title}).value(0))->GetAxis(), nullptr);
    EXPECT_EQ(xAxis->GetTitle(), title);
    EXPECT_EQ(title->GetAxis(), xAxis);

    // A record cut short anywhere leaves nothing behind, whatever it had read of the two.
    select({xAxis, title});
    const QByteArray good =
        ViewClipboard::selectionData(window)->data(ViewClipboard::objectsMimeType);
    const int count = doc.GetObjects().count();
    for (qsizetype n = 1; n < good.size(); n += 7) {
        QMimeData cut;
        cut.setData(ViewClipboard::objectsMimeType, good.left(n));
        EXPECT_FALSE(ViewClipboard::paste(window, cut));
    }
    EXPECT_EQ(doc.GetObjects().count(), count);
}

// An extension with a format of its own that records what it was asked.
struct RecordingFormats : ClipboardFormats
{
    void addFormats(PageScrollView&, const ObjectSequence&, QMimeData& data) override
    {
        afterOwn = data.hasFormat(ViewClipboard::objectsMimeType);
        data.setData(QStringLiteral("x/y"), "x");
    }
    bool canPaste(const QMimeData* data) const override { return data->hasFormat("x/y"); }
    bool paste(PageScrollView&, const QMimeData&, std::optional<QPoint> at) override
    {
        pastes.append(at.value_or(QPoint(-1, -1)));
        return true;
    }
    bool afterOwn = false;
    QList<QPoint> pastes;
};

TEST_F(ViewClipboardTest, ExtensionsAddTheirFormatsAfterTheViewsAndPasteOnlyWithoutThem)
{
    RecordingFormats extension;
    ClipboardFormats::Registration registration(&extension);
    select({xAxis});
    const std::unique_ptr<QMimeData> both = ViewClipboard::selectionData(window);
    EXPECT_TRUE(extension.afterOwn);
    EXPECT_TRUE(ViewClipboard::paste(window, *both));
    EXPECT_TRUE(ViewClipboard::drop(window, *both, QPoint(5, 5)));
    EXPECT_EQ(doc.GetObjects().count(), 5);

    QMimeData alone;
    alone.setData(QStringLiteral("x/y"), "x");
    EXPECT_TRUE(ViewClipboard::canPaste(&alone) && ViewClipboard::canDrop(&alone));
    EXPECT_TRUE(ViewClipboard::paste(window, alone));
    EXPECT_TRUE(ViewClipboard::drop(window, alone, QPoint(7, 9)));
    EXPECT_EQ(extension.pastes, (QList<QPoint>{QPoint(-1, -1), QPoint(7, 9)}));
}

struct DeleteCase
{
    const char* name;
    bool selectTrace, selectAxes;
    std::vector<Prompter::Answer> answers;
    const char* chosen; // "trace" or none, when the user picks one
    QStringList questions;
    int objectsLeft, filesLeft;
};

class DeleteSelectionTest : public ViewClipboardTest,
                            public ::testing::WithParamInterface<DeleteCase>
{};

const QString askAll = QStringLiteral("Do you want to delete all selected objects?");
QString dependents(const visibleobject* obj)
{
    return QStringLiteral("Other objects depend on  %1.  Are you sure you want to delete?")
        .arg(obj->GetName());
}

TEST_P(DeleteSelectionTest, AsksTheRightQuestionsAndDropsUnusedFiles)
{
    const DeleteCase& c = GetParam();
    ScriptedDocumentEditors editors;
    if (c.chosen)
        editors.choice = trace->GetName();
    QStringList questions;
    for (const QString& q : c.questions)
        questions.append(q == QLatin1String("X")   ? dependents(xAxis)
                         : q == QLatin1String("Y") ? dependents(yAxis)
                                                   : q);
    if (c.selectTrace && c.selectAxes)
        select({xAxis, trace, yAxis});
    else if (c.selectAxes)
        select({xAxis, yAxis});
    else
        select({trace});
    for (Prompter::Answer a : c.answers)
        prompter.pushAnswer(a);

    ViewClipboard::deleteSelection(window);
    EXPECT_EQ(prompter.texts(), questions);
    EXPECT_EQ(doc.GetObjects().count(), c.objectsLeft);
    EXPECT_EQ(doc.GetFiles().count(), c.filesLeft);
    EXPECT_EQ(window.selection(), nullptr);
}

using A = Prompter::Answer;
INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteSelectionTest,
    ::testing::Values(
        // The trace goes first, so its axes no longer have anyone depending on them.
        DeleteCase{"AxesWithTheirTrace", true, true, {A::Yes}, nullptr, {askAll}, 0, 0},
        DeleteCase{"AxesOthersDependOnRefused",
                   false,
                   true,
                   {A::Yes, A::No, A::No},
                   nullptr,
                   {askAll, "X", "Y"},
                   3,
                   1},
        DeleteCase{"NoDeletesTheOneChosen", true, true, {A::No}, "trace", {askAll}, 2, 0},
        DeleteCase{"NoAndNoneChosen", true, true, {A::No}, nullptr, {askAll}, 3, 1},
        DeleteCase{"OneObjectWithoutAsking", true, false, {}, nullptr, {}, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewClipboardTest, CutLeavesThePageWithoutTheObjectsAndPastesBack)
{
    const QStringList before = names();
    select({trace, xAxis, yAxis});
    prompter.pushAnswer(Prompter::Answer::Yes);
    ViewClipboard::cut(window);
    EXPECT_TRUE(doc.GetObjects().isEmpty());
    EXPECT_EQ(doc.GetFiles().count(), 0);
    ASSERT_TRUE(ViewClipboard::canPaste(QApplication::clipboard()->mimeData()));

    ASSERT_TRUE(ViewClipboard::paste(window));
    EXPECT_EQ(names(), before);
    EXPECT_EQ(doc.GetFiles().count(), 1);
    EXPECT_EQ(traceAt(0)->GetFile(), doc.GetFiles().at(0));
}

class BadPasteTest : public ViewClipboardTest, public ::testing::WithParamInterface<int>
{};

TEST_P(BadPasteTest, GivesTheFailureTextAndChangesNothing)
{
    select({trace, xAxis, yAxis});
    const QByteArray good =
        ViewClipboard::selectionData(window)->data(ViewClipboard::objectsMimeType);
    window.ClearSelection();
    QMimeData data;
    switch (GetParam()) {
    case 0:
        data.setText(QStringLiteral("1 2 3"));
        break;
    case 1:
        data.setData(ViewClipboard::objectsMimeType, QByteArray());
        break;
    case 2:
        data.setData(ViewClipboard::objectsMimeType, good.left(good.size() / 2));
        break;
    case 3:
        data.setData(ViewClipboard::objectsMimeType, QByteArray(64, '\xff'));
        break;
    }
    const QStringList before = names();
    EXPECT_FALSE(ViewClipboard::paste(window, data));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error pasteing from clipboard!")});
    EXPECT_EQ(names(), before);
    EXPECT_EQ(doc.GetFiles().count(), 1);
}

// Not the program's data, empty, cut short, noise.
INSTANTIATE_TEST_SUITE_P(Data, BadPasteTest, ::testing::Range(0, 4));

TEST_F(ViewClipboardTest, DroppedDataFileIsPlottedAndDroppedObjectsArePasted)
{
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(writeFile("more.dat", threeColumns))});
    ASSERT_TRUE(ViewClipboard::canDrop(&files));
    EXPECT_TRUE(ViewClipboard::drop(window, files, QPoint(10, 10)));
    QCoreApplication::processEvents();
    EXPECT_EQ(traceCount(), 2);
    EXPECT_EQ(doc.GetFiles().count(), 2);

    // A plot document is the main window's to open.
    QMimeData document;
    document.setUrls({QUrl::fromLocalFile(writeFile("plot.pvn", "x"))});
    EXPECT_FALSE(ViewClipboard::canDrop(&document));

    select({xAxis});
    const std::unique_ptr<QMimeData> objects = ViewClipboard::selectionData(window);
    const int count = doc.GetObjects().count();
    EXPECT_TRUE(ViewClipboard::drop(window, *objects, QPoint(50, 80)));
    EXPECT_EQ(doc.GetObjects().count(), count + 1);
}

// Drags of the selection out of a view. The drag itself is modal, so the target's part is
// played by sending the drop to a view from inside the drag.
class DragTest : public ViewClipboardTest
{
protected:
    GraphInteraction& interaction() { return static_cast<GraphInteraction&>(window.interaction()); }
    // Button down in the middle of the focus rectangle, then a move out of the view's left edge.
    void select(std::initializer_list<visibleobject*> objects)
    {
        ViewClipboardTest::select(objects);
        // Several objects take their bounds as the focus rectangle, as after Select All.
        if (window.focusRect().isEmpty())
            window.setFocusRect(window.selection()->Bounds());
    }
    void dragOut()
    {
        // Clear of the handles in the middle of the edges.
        const Rect focus = window.focusRect();
        pressed = QPoint(focus.left + focus.width() / 4, focus.top + focus.height() / 2);
        QTest::mousePress(window.viewport(), Qt::LeftButton, Qt::NoModifier, pressed);
        for (QPoint p : {pressed + QPoint(3, 2), QPoint(-5, pressed.y())}) {
            QMouseEvent move(QEvent::MouseMove, p, window.viewport()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window.viewport(), &move);
        }
    }
    // What the target view makes of a drop of the drag at p. Outside a real drag Qt delivers
    // no drops, so the view's handler is called as Qt would call it.
    struct Target : TestWindow
    {
        static void drop(TestWindow& view, QDropEvent& event)
        {
            const auto handler = &Target::dropEvent;
            (view.*handler)(&event);
        }
    };
    static Qt::DropAction dropOn(TestWindow& target, QDrag& drag, QPoint p,
                                 Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QDropEvent event(p, Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton, keys);
        Target::drop(target, event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }

    QPoint pressed;
    PlotDocument otherDoc;
    TestWindow other{&otherDoc};
};

TEST_F(DragTest, DragCarriesWhatCopyWritesAndReturnsTheSelectionToItsPlace)
{
    select({trace, xAxis, yAxis});
    const std::unique_ptr<QMimeData> copied = ViewClipboard::selectionData(window);
    const float x = xAxis->x, y = xAxis->y;
    int drags = 0;
    interaction().runDrag = [&](QDrag& drag, Qt::DropActions actions) {
        EXPECT_EQ(actions, Qt::CopyAction | Qt::MoveAction);
        ++drags;
        EXPECT_EQ(drag.mimeData()->formats(), copied->formats());
        for (const QString& format : copied->formats())
            EXPECT_EQ(drag.mimeData()->data(format), copied->data(format)) << format.toStdString();
        EXPECT_FLOAT_EQ(xAxis->x, x);
        EXPECT_FLOAT_EQ(xAxis->y, y);
        // Escape ends the drag with nothing dropped.
        return Qt::IgnoreAction;
    };
    dragOut();
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(doc.GetObjects().count(), 3);
    EXPECT_EQ(window.interactionState().moving, 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(DragTest, DropBackOntoTheViewMovesTheSelectionInsteadOfPastingCopies)
{
    select({xAxis});
    const float x = xAxis->x, y = xAxis->y;
    Qt::DropAction result = Qt::CopyAction;
    interaction().runDrag = [&](QDrag& drag, Qt::DropActions actions) {
        EXPECT_EQ(actions, Qt::CopyAction | Qt::MoveAction);
        return result = dropOn(window, drag, pressed + QPoint(48, -24));
    };
    dragOut();
    EXPECT_EQ(result, Qt::IgnoreAction);
    EXPECT_EQ(names(), (QStringList{trace->GetName(), xAxis->GetName(), yAxis->GetName()}));
    EXPECT_NEAR(xAxis->x, x + 0.5f, 1e-4);
    EXPECT_NEAR(xAxis->y, y + 0.25f, 1e-4);
    EXPECT_TRUE(doc.IsModified());
}

struct DropCase
{
    const char* name;
    Qt::KeyboardModifiers keys;
    Qt::DropAction action;
    bool originalsKept;
};

class DropElsewhereTest : public DragTest, public ::testing::WithParamInterface<DropCase>
{};

TEST_P(DropElsewhereTest, MoveRemovesTheOriginalsWithoutAskingCopyKeepsThem)
{
    const DropCase& c = GetParam();
    const QStringList before = names();
    select({trace, xAxis, yAxis});
    Qt::DropAction result = Qt::IgnoreAction;
    interaction().runDrag = [&](QDrag& drag, Qt::DropActions actions) {
        EXPECT_EQ(actions, Qt::CopyAction | Qt::MoveAction);
        return result = dropOn(other, drag, QPoint(40, 40), c.keys);
    };
    dragOut();
    EXPECT_EQ(result, c.action);
    EXPECT_TRUE(prompter.texts().isEmpty());
    QStringList pasted;
    for (visibleobject* obj : otherDoc.GetObjects())
        pasted.append(obj->GetName());
    EXPECT_EQ(pasted, before);
    EXPECT_EQ(otherDoc.GetTraces()->count(), 1);
    EXPECT_EQ(names(), c.originalsKept ? before : QStringList());
    EXPECT_EQ(doc.GetFiles().count(), c.originalsKept ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DropElsewhereTest,
    ::testing::Values(DropCase{"Plain", Qt::NoModifier, Qt::CopyAction, true},
                      DropCase{"Shift", Qt::ShiftModifier, Qt::MoveAction, false},
                      DropCase{"CtrlShift", Qt::ControlModifier | Qt::ShiftModifier, Qt::CopyAction,
                               true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
