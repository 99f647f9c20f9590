#include "DocTestSupport.h"

#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "data/ColumnFile.h"
#include "doc/DocumentCommands.h"
#include "platform/Strings.h"
#include "traces/Trace.h"

#include <cfloat>

namespace {

const std::string threeColumns = "1 10 100\n2 20 200\n3 30 300\n";

// An object of known size that lays itself out in its view's mapping (inches from its x, y).
class Box : public visibleobject
{
public:
    Box(float px, float py, float w, float h) : w_(w), h_(h)
    {
        x = px;
        y = py;
    }
    void ComputeRect() override
    {
        if (!view)
            return;
        const float s = view->viewScale();
        const Rect c = view->clientRect();
        const int ox = c.left - view->scrollX();
        const int oy = c.bottom - view->scrollY();
        rect = Rect{ox + int(x * view->pixelsPerInchX() * s),
                    oy - int((y + h_) * view->pixelsPerInchY() * s),
                    ox + int((x + w_) * view->pixelsPerInchX() * s),
                    oy - int(y * view->pixelsPerInchY() * s)};
    }

private:
    float w_, h_;
};

class PlotDocumentTest : public DocFixture
{};

TEST_F(PlotDocumentTest, SameFileTwiceSharesOneFileAndTheFirstAxes)
{
    const QString file = writeFile("run.dat", threeColumns);
    open(file);
    open(file);
    ASSERT_EQ(traceCount(), 2);
    EXPECT_EQ(doc.GetFiles().count(), 1);
    EXPECT_EQ(traceAt(0)->GetFile(), traceAt(1)->GetFile());
    EXPECT_EQ(traceAt(0)->GetXAxis(), traceAt(1)->GetXAxis());
    EXPECT_EQ(traceAt(0)->GetYAxis(), traceAt(1)->GetYAxis());
    // A new trace is drawn before the axes it brought.
    const PageList& page = doc.GetObjects();
    ASSERT_EQ(page.count(), 4);
    EXPECT_EQ(page.at(0), traceAt(0));
    EXPECT_EQ(page.at(1), traceAt(0)->GetXAxis());
    EXPECT_EQ(page.at(2), traceAt(0)->GetYAxis());
    EXPECT_EQ(page.at(3), traceAt(1));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(prompter.records().back().filter, loadString(Str::DataFileFilter));
    EXPECT_EQ(prompter.records().back().defaultExt, "dat");
}

TEST_F(PlotDocumentTest, DefaultNamesCountUpThroughNewTrace)
{
    const QString file = writeFile("run.dat", threeColumns);
    const int n = Trace::nextNameNumber();
    open(file);
    open(file);
    EXPECT_EQ(traceAt(0)->GetName(), QString("%1-run.dat").arg(n));
    EXPECT_EQ(traceAt(1)->GetName(), QString("%1-run.dat").arg(n + 1));
}

TEST_F(PlotDocumentTest, FocusRectangleGivesTheTraceItsOwnAxes)
{
    const QString file = writeFile("run.dat", threeColumns);
    open(file);
    view.focus = Rect{96, 120, 480, 504};
    open(file);
    ASSERT_EQ(traceCount(), 2);
    EXPECT_NE(traceAt(0)->GetXAxis(), traceAt(1)->GetXAxis());
    EXPECT_EQ(doc.GetAxes()->count(), 4);
    EXPECT_FLOAT_EQ(traceAt(1)->GetXAxis()->x, 1.0f);
    EXPECT_NEAR(traceAt(1)->GetXAxis()->length, 4.0f, 0.02f);
}

struct OpenCase
{
    const char* name;
    std::string text; // empty: no file at all
    int traces;
    QString message;
};

class OpenDataFileFailure : public DocFixture, public ::testing::WithParamInterface<OpenCase>
{};

TEST_P(OpenDataFileFailure, ReportsByTheReadMessages)
{
    const OpenCase& c = GetParam();
    const QString file = c.text.empty() ? path("absent.dat") : writeFile("bad.dat", c.text);
    open(file);
    EXPECT_EQ(traceCount(), c.traces);
    EXPECT_EQ(doc.GetFiles().count(), c.traces);
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(prompter.texts().first(), c.message);
    EXPECT_EQ(prompter.records().back().caption, file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenDataFileFailure,
    ::testing::Values(OpenCase{"missing", "", 0, "Not able to open file as data file"},
                      OpenCase{"text", "a\nb\nc\nd\ne\n", 0, "Not able to open file as data file"},
                      OpenCase{"broken", "1 2\n3 4\nx\nx\nx\nx\nx\n5 6\n", 1,
                               "Error parsing file at line 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlotDocumentTest, MissingFileIsLookedForBesideTheDocument)
{
    writeFile("run.dat", threeColumns);
    doc.SetPathName(path("plot.pvn"));
    open("/nowhere/run.dat");
    ASSERT_EQ(traceCount(), 1);
    EXPECT_EQ(traceAt(0)->GetFile()->GetFullPath(), path("run.dat"));
    EXPECT_TRUE(prompter.texts().isEmpty());
    // The file found there is the one already listed.
    open(path("run.dat"));
    EXPECT_EQ(doc.GetFiles().count(), 1);
}

TEST_F(PlotDocumentTest, NewDocumentEnablesOnlyTheCommandsThatNeedNoTrace)
{
    QList<int> enabled;
    for (int id : documentCommandIds()) {
        if (commandRule(id, doc, &view))
            enabled.append(id);
    }
    EXPECT_EQ(enabled, (QList<int>{32770, 32771, 32772, 32773, 32802, 32812}));
    for (int id : enabled)
        EXPECT_TRUE(doc.isCommandEnabled(id)) << id;

    // With a trace, the analysis commands join; zoom and readout stay greyed without the view's
    // handlers whatever their rule says.
    open(writeFile("run.dat", threeColumns));
    enabled.clear();
    for (int id : documentCommandIds()) {
        if (doc.isCommandEnabled(id))
            enabled.append(id);
    }
    EXPECT_EQ(enabled, (QList<int>{32770, 32771, 32772, 32773, 32782, 32788, 32789, 32790, 32792,
                                   32795, 32796, 32798, 32799, 32802, 32805, 32812}));
    // Zoom needs a focus rectangle and no selection; unzoom a zoomed trace.
    EXPECT_FALSE(commandRule(32785, doc, &view));
    view.focus = Rect{10, 10, 50, 50};
    EXPECT_TRUE(commandRule(32785, doc, &view));
    view.selected = true;
    EXPECT_FALSE(commandRule(32785, doc, &view));
    EXPECT_FALSE(commandRule(32786, doc, &view));
}

// A file of one column is plotted against the point number, without a word.
TEST_F(PlotDocumentTest, OneColumnIsPlottedAgainstThePointNumber)
{
    open(writeFile("one.dat", "# level\n5\n7\n6\n"));
    ASSERT_EQ(traceCount(), 1);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(traceAt(0)->GetXColumn(), 0);
    EXPECT_EQ(traceAt(0)->GetYColumn(), 1);
    ASSERT_EQ(traceAt(0)->GetNumPoints(), 3);
    EXPECT_EQ(traceAt(0)->GetXValues()->GetAt(2), 3.0);
    EXPECT_EQ(traceAt(0)->GetYValues()->GetAt(2), 6.0);
}

// "Not able to open file as data file" offers the import dialog on the file; its settings read
// the file, and opening the file again with other settings rereads it for the traces on it.
TEST_F(PlotDocumentTest, MessageOfAFileNotReadOffersTheImportDialog)
{
    struct ActionPrompter : ScriptedPrompter
    {
        Answer messageWithAction(const QString& text, const QString& caption, Icon icon,
                                 const QString& action) override
        {
            message(text, caption, icon);
            actions.append(action);
            return Answer::Yes;
        }
        QStringList actions;
    } asking;
    PrompterScope askingScope(&asking);
    ScriptedDocumentEditors editors;
    ImportSettings settings;
    settings.headerLine = 6;
    settings.delimiter = ImportSettings::Delimiter::comma;
    settings.missingValues = true;
    editors.importScript = [&](ImportSettings& s) {
        s = settings;
        return true;
    };
    const QString file = writeFile("export.csv", "a\nb\nc\nd\ne\nx,y,z\n1,,3\n4,5,6\n");
    asking.pushFileName(file);
    ASSERT_TRUE(doc.onCommand(32770));
    EXPECT_EQ(asking.texts(), QStringList{"Not able to open file as data file"});
    EXPECT_EQ(asking.actions, QStringList{"&Import..."});
    EXPECT_EQ(editors.importOffered, QStringList{file});
    ASSERT_EQ(traceCount(), 1);
    ColumnFile* read = traceAt(0)->GetFile();
    EXPECT_EQ(read->GetImportSettings(), settings);
    ASSERT_EQ(read->GetNumColumns(), 3);
    EXPECT_EQ(read->GetColumnName(2), "z");

    settings.missingValues = false;
    doc.OpenDataFile(file, settings);
    EXPECT_EQ(traceCount(), 2);
    EXPECT_EQ(doc.GetFiles().count(), 1);
    EXPECT_EQ(read->GetColumn(1)->GetAt(0), 3.0);
}

TEST_F(PlotDocumentTest, RereadNoticesALostColumn)
{
    const QString file = writeFile("run.dat", threeColumns);
    open(file);
    traceAt(0)->SetColumns(1, 3);
    writeFile("run.dat", "1 10\n2 20\n");
    prompter.clear();
    ASSERT_TRUE(doc.onCommand(32795));
    EXPECT_EQ(prompter.texts(), QStringList{"Column 3 has been\ndeleted from data file"});
    EXPECT_EQ(traceAt(0)->GetYColumn(), 2);
    EXPECT_EQ(traceAt(0)->GetNumPoints(), 2);
}

TEST_F(PlotDocumentTest, RereadOfAVanishedFileAsksAndNoRemovesItsTraces)
{
    const QString file = writeFile("run.dat", threeColumns);
    open(file);
    open(file);
    QFile::remove(file);
    prompter.clear();
    prompter.pushAnswer(Prompter::Answer::No);
    doc.onCommand(32795);
    EXPECT_EQ(
        prompter.texts(),
        QStringList{QString("Could not find file %1.  Would you like to specify the new path name?")
                        .arg(file)});
    EXPECT_EQ(traceCount(), 0);
    EXPECT_EQ(doc.GetFiles().count(), 0);
    EXPECT_EQ(doc.GetAxes()->count(), 2);
}

TEST_F(PlotDocumentTest, RereadThatFailsDeletesTheFileAndEveryTraceOnIt)
{
    const QString bad = writeFile("run.dat", threeColumns);
    const QString good = writeFile("other.dat", threeColumns);
    open(bad);
    open(good);
    open(bad);
    writeFile("run.dat", "not\na\ndata\nfile\nat all\n");
    prompter.clear();
    doc.onCommand(32795);
    EXPECT_EQ(prompter.texts(), QStringList{"File error"});
    EXPECT_EQ(prompter.records().front().caption, bad);
    ASSERT_EQ(traceCount(), 1);
    EXPECT_EQ(traceAt(0)->GetFile()->GetFullPath(), good);
    EXPECT_EQ(doc.GetFiles().count(), 1);
}

TEST_F(PlotDocumentTest, DeletingASharedAxisWarnsOnceAndACancelledDialogKeepsItLast)
{
    ScriptedTraceEditors editors;
    const QString file = writeFile("run.dat", threeColumns);
    open(file);
    open(file);
    Axis* xAxis = traceAt(0)->GetXAxis();
    const QString expected =
        "Other objects depend on  " + xAxis->GetName() + ".  Are you sure you want to delete?";

    prompter.clear();
    EXPECT_FALSE(doc.DeleteObject(xAxis)); // answered No by default
    ASSERT_EQ(prompter.texts(), QStringList{expected});
    EXPECT_EQ(prompter.records().front().buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(doc.GetObjects().indexOf(xAxis), 1);
    EXPECT_EQ(traceAt(0)->GetXAxis(), xAxis);

    prompter.clear();
    editors.asked.clear();
    prompter.pushAnswer(Prompter::Answer::Yes);
    EXPECT_FALSE(doc.DeleteObject(xAxis));
    EXPECT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(editors.asked.size(), 1); // stops at the first cancelled dialog
    EXPECT_EQ(doc.GetObjects().last(), xAxis);

    // Confirmed dialogs: the axis goes and both traces keep an axis on the page.
    editors.answer = 1;
    prompter.pushAnswer(Prompter::Answer::Yes);
    EXPECT_TRUE(doc.DeleteObject(xAxis));
    EXPECT_FALSE(doc.GetObjects().contains(xAxis));
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(traceAt(i)->GetXAxis(), xAxis);
        EXPECT_TRUE(doc.GetObjects().contains(traceAt(i)->GetXAxis()));
    }
}

TEST_F(PlotDocumentTest, DeletingATraceDropsItsUnusedFile)
{
    open(writeFile("run.dat", threeColumns));
    EXPECT_TRUE(doc.DeleteObject(traceAt(0)));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(doc.GetFiles().count(), 0);
    EXPECT_EQ(doc.GetObjects().count(), 2);
}

TEST_F(PlotDocumentTest, RefreshMakesRepeatedNamesUnique)
{
    for (int i = 0; i < 3; ++i) {
        auto obj = std::make_unique<visibleobject>();
        obj->SetName("name");
        doc.AddObject(std::move(obj));
    }
    doc.Refresh();
    const PageList& page = doc.GetObjects();
    EXPECT_EQ(page.at(0)->GetName(), "name");
    EXPECT_EQ(page.at(1)->GetName(), "name.");
    EXPECT_EQ(page.at(2)->GetName(), "name..");
    EXPECT_EQ(view.resets, 1);
    EXPECT_TRUE(doc.IsNameInUse("name.", nullptr));
    EXPECT_FALSE(doc.IsNameInUse("name.", page.at(1)));
}

TEST_F(PlotDocumentTest, AxisDataRangeOfAnUnusedAxis)
{
    XAxis unused;
    double min = 5, max = 6;
    EXPECT_FALSE(doc.GetAxisDataRange(&unused, min, max));
    EXPECT_EQ(min, DBL_MAX);
    EXPECT_EQ(max, -1e30);

    open(writeFile("run.dat", threeColumns));
    ASSERT_TRUE(doc.GetAxisDataRange(traceAt(0)->GetYAxis(), min, max));
    EXPECT_EQ(min, 10);
    EXPECT_EQ(max, 30);
}

TEST_F(PlotDocumentTest, FirstTraceFindsTheLastObject)
{
    doc.AddObject(std::make_unique<XAxis>(&view));
    EXPECT_EQ(doc.FirstTrace(), nullptr);
    auto trace = std::make_unique<Trace>();
    Trace* added = trace.get();
    doc.AddObject(std::move(trace));
    EXPECT_EQ(doc.FirstTrace(), added);
}

TEST_F(PlotDocumentTest, FormatObjectEditsTheChosenObject)
{
    ScriptedDocumentEditors choosers;
    ScriptedTraceEditors editors;
    open(writeFile("run.dat", threeColumns));
    editors.asked.clear();
    editors.answer = 1;
    doc.SetModifiedFlag(false);
    choosers.choice = traceAt(0)->GetName();
    doc.onCommand(32773);
    EXPECT_EQ(choosers.offered.size(), 3);
    EXPECT_EQ(editors.asked, QList<Trace*>{traceAt(0)});
    EXPECT_TRUE(doc.IsModified());

    doc.SetModifiedFlag(false);
    choosers.choice.clear();
    doc.onCommand(32773);
    EXPECT_FALSE(doc.IsModified());
}

struct CenterCase
{
    float scale;
    int scrollX, scrollY;
};

class CenterPage : public DocFixture, public ::testing::WithParamInterface<CenterCase>
{};

TEST_P(CenterPage, MovesTheLayoutToThePageCentre)
{
    view.scale = GetParam().scale;
    view.scrollPosX = GetParam().scrollX;
    view.scrollPosY = GetParam().scrollY;
    // 6 x 4 inches from (1, 1) on a 9 x 7 inch page: 1.5 inches of margin all round once centred.
    auto made = std::make_unique<Box>(1.0f, 1.0f, 6.0f, 4.0f);
    Box* box = made.get();
    doc.AddObject(std::move(made));
    doc.Refresh();
    doc.onCommand(32802);
    EXPECT_NEAR(box->x, 1.5f, 0.02f);
    EXPECT_NEAR(box->y, 1.5f, 0.02f);
    const float x = box->x, y = box->y;
    doc.CenterPage();
    EXPECT_NEAR(box->x, x, 0.02f);
    EXPECT_NEAR(box->y, y, 0.02f);
}

INSTANTIATE_TEST_SUITE_P(Views, CenterPage,
                         ::testing::Values(CenterCase{1.0f, 0, 0}, CenterCase{2.0f, 0, 0},
                                           CenterCase{1.0f, 50, -40}));

TEST(CenterPageWithoutView, DoesNothing)
{
    PlotDocument doc;
    auto made = std::make_unique<visibleobject>();
    visibleobject* obj = made.get();
    obj->x = 2.0f;
    doc.AddObject(std::move(made));
    doc.SetModifiedFlag(false);
    doc.CenterPage();
    EXPECT_EQ(obj->x, 2.0f);
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
