#include "view/ViewClipboard.h"
#include "ViewTestSupport.h"
#include "axes/Axis.h"
#include "axes/AxisTitle.h"
#include "doc/DocTestSupport.h"
#include "page/visiblelist.h"
#include "platform/Strings.h"
#include "traces/Trace.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
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

} // namespace
