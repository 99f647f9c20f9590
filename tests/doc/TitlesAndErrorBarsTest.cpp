#include "DocTestSupport.h"

#include "axes/AxisTitle.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "data/ColumnFile.h"
#include "doc/DocumentCommands.h"
#include "doc/DocumentFile.h"
#include "platform/CompoundFile.h"
#include "traces/ErrorTrace.h"
#include "traces/MemTrace.h"

#include <memory>

namespace {

class TitlesAndErrorBars : public DocFixture
{
protected:
    // A plain trace on a three-column file, red and with symbols, chosen by Select Data Set.
    Trace* styledTrace()
    {
        open(writeFile("run.dat", "1 10 1\n2 20 2\n3 30 3\n"));
        Trace* trace = traceAt(0);
        trace->SetPen(PenRecord(PS_DASH, 0, RGB(255, 0, 0)));
        trace->SetSymbolFont(LogFont::fromFace(QStringLiteral("Wingdings"), -139));
        trace->SetSymbolChar(110);
        choose.choice = trace->GetName();
        return trace;
    }

    ErrorTrace* errorTraceAt(int i) const { return dynamic_cast<ErrorTrace*>(traceAt(i)); }

    QByteArray savedContents(PlotDocument& d, const QString& name)
    {
        const QString file = path(name);
        saveDocument(d, file);
        return CompoundFileReader(file).readStream(contentsStreamName());
    }

    ScriptedTraceEditors editors;
    ScriptedDocumentEditors choose;
};

TEST_F(TitlesAndErrorBars, ErrorBarsComeAndGoKeepingTheTracesLook)
{
    Trace* trace = styledTrace();
    const QString name = trace->GetName();
    Axis* xAxis = trace->GetXAxis();
    Axis* yAxis = trace->GetYAxis();
    const std::optional<PenRecord> pen = trace->GetPen();
    const std::optional<LogFont> symbols = trace->GetSymbolFont();
    auto sameLook = [&](const Trace* t) {
        EXPECT_EQ(t->GetName(), name);
        EXPECT_EQ(t->GetXAxis(), xAxis);
        EXPECT_EQ(t->GetYAxis(), yAxis);
        EXPECT_EQ(t->GetPen(), pen);
        EXPECT_EQ(t->GetSymbolFont(), symbols);
        // A link to the trace follows it into its new kind.
        const visiblelist* group = doc.GetLinkGroup(QStringLiteral("Link 1"));
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->count(), 2);
        EXPECT_TRUE(group->contains(t));
        EXPECT_EQ(t->GetSymbolChar(), 110);
        EXPECT_FLOAT_EQ(t->x, xAxis->x);
        EXPECT_FLOAT_EQ(t->y, yAxis->y);
    };

    visiblelist linked;
    linked.append(trace);
    linked.append(xAxis);
    doc.RegisterLinkGroup(QStringLiteral("Link 1"), linked);

    // Cancelled: the trace has error bars from the column after its y column, drawn last.
    ASSERT_TRUE(doc.onCommand(Cmd::ErrorBars));
    ASSERT_EQ(traceCount(), 1);
    ErrorTrace* bars = errorTraceAt(0);
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(doc.GetObjects().last(), bars);
    EXPECT_EQ(bars->GetErrorFile(), bars->GetFile());
    EXPECT_EQ(bars->GetErrorColumn(), 3);
    ASSERT_EQ(editors.errorBarsOffered.size(), 1);
    EXPECT_EQ(editors.errorBarsOffered[0].errorColumn, 3);
    EXPECT_EQ(editors.errorBarsOffered[0].dataFilePath, path("run.dat"));
    sameLook(bars);
    EXPECT_TRUE(doc.IsModified());

    // Another data file as error file, chosen through the trace's own menu.
    ColumnFile* other = nullptr;
    editors.errorBarsScript = [&](ColumnFile*& file, int& column, filelist& files) {
        auto read = std::make_unique<ColumnFile>(writeFile("errors.dat", "0.5 1\n0.5 2\n"));
        EXPECT_NE(read->ReadFile(), 0);
        other = read.get();
        files.AddUnique(read.release());
        file = other;
        column = 2;
        return 1;
    };
    EXPECT_EQ(bars->OnMenuCommand(Trace::ErrorBarsCommand), 0);
    ASSERT_EQ(errorTraceAt(0), bars); // already had bars: changed in place
    EXPECT_EQ(bars->GetErrorFile(), other);
    EXPECT_EQ(bars->GetErrorColumn(), 2);
    EXPECT_TRUE(doc.GetFiles().contains(other));
    EXPECT_EQ(doc.GetFiles().count(), 2);

    // Remove Error Bars: a plain trace again, and the error file leaves the list.
    editors.errorBarsScript = [](ColumnFile*& file, int&, filelist&) {
        file = nullptr;
        return 1;
    };
    ASSERT_TRUE(doc.onCommand(Cmd::ErrorBars));
    ASSERT_EQ(traceCount(), 1);
    EXPECT_STREQ(traceAt(0)->runtimeClass()->name, "Trace");
    sameLook(traceAt(0));
    EXPECT_EQ(doc.GetFiles().count(), 1);

    // A memory trace's values would not survive the change: it is left alone, and the user
    // is told why.
    const double xs[] = {1, 2};
    auto made = std::make_unique<MemTrace>(xs, xs, 2, *traceAt(0));
    MemTrace* mem = made.get();
    doc.AddObjectAndRefresh(std::move(made));
    prompter.clear();
    EXPECT_FALSE(doc.EditErrorBars(*mem));
    EXPECT_TRUE(doc.GetObjects().contains(mem));
    EXPECT_EQ(prompter.texts(),
              QStringList{"Error bars can only be added to a data set read from a data file."});
}

struct ColumnCase
{
    const char* name;
    const char* text;
    int yColumn;
    int errorColumn;
};

class ErrorColumnChoice : public DocFixture, public ::testing::WithParamInterface<ColumnCase>
{};

TEST_P(ErrorColumnChoice, TheColumnAfterTheYColumnElseTheLast)
{
    const ColumnCase& c = GetParam();
    open(writeFile("run.dat", c.text));
    traceAt(0)->SetColumns(1, c.yColumn);
    ASSERT_TRUE(doc.EditErrorBars(*traceAt(0)));
    ASSERT_NE(dynamic_cast<ErrorTrace*>(traceAt(0)), nullptr);
    EXPECT_EQ(static_cast<ErrorTrace*>(traceAt(0))->GetErrorColumn(), c.errorColumn);
}

INSTANTIATE_TEST_SUITE_P(Files, ErrorColumnChoice,
                         ::testing::Values(ColumnCase{"twoColumns", "1 2\n3 4\n", 2, 2},
                                           ColumnCase{"threeColumns", "1 2 3\n4 5 6\n", 2, 3},
                                           ColumnCase{"pointNumbers", "1 2 3\n4 5 6\n", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TitlesAndErrorBars, TitledAxesAndErrorBarsSaveAndLoadByteForByte)
{
    Trace* trace = styledTrace();
    ASSERT_EQ(trace->GetXAxis()->OnMenuCommand(Axis::TitleCommand), 0); // no dialog: cancelled
    auto* xTitle = dynamic_cast<AxisTitle*>(trace->GetXAxis()->GetTitle());
    ASSERT_NE(xTitle, nullptr);
    xTitle->SetText(QStringLiteral("Time (s)"));
    xTitle->SetColor(RGB(0, 0, 255));
    xTitle->SetDistance(0.75f);
    trace->GetYAxis()->OnMenuCommand(Axis::TitleCommand);
    ASSERT_NE(trace->GetYAxis()->GetTitle(), nullptr);
    const QString errorPath = writeFile("errors.dat", "1 0.5\n2 1.5\n3 2.5\n");
    editors.errorBarsScript = [&](ColumnFile*& file, int& column, filelist& files) {
        auto read = std::make_unique<ColumnFile>(errorPath);
        read->ReadFile();
        file = read.get();
        files.AddUnique(read.release());
        column = 2;
        return 1;
    };
    ASSERT_TRUE(doc.onCommand(Cmd::ErrorBars));
    ASSERT_EQ(doc.GetFiles().count(), 2);

    const QByteArray first = savedContents(doc, "first.pvn");
    const std::unique_ptr<PlotDocument> loaded = loadDocument(path("first.pvn"));
    ASSERT_EQ(loaded->GetObjects().count(), doc.GetObjects().count());
    auto* bars = dynamic_cast<ErrorTrace*>(loaded->FirstTrace());
    ASSERT_NE(bars, nullptr);
    ASSERT_NE(bars->GetErrorFile(), nullptr);
    EXPECT_EQ(bars->GetErrorFile()->GetFullPath(), errorPath);
    EXPECT_TRUE(loaded->GetFiles().contains(bars->GetErrorFile()));
    EXPECT_EQ(bars->GetErrorColumn(), 2);
    EXPECT_EQ(bars->GetErrorValues()->GetAt(2), 2.5);
    auto* title = dynamic_cast<AxisTitle*>(bars->GetXAxis()->GetTitle());
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(loaded->GetObjects().contains(title));
    EXPECT_EQ(title->GetAxis(), bars->GetXAxis());
    EXPECT_EQ(title->GetText(), QStringLiteral("Time (s)"));
    EXPECT_EQ(title->GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(title->GetDistance(), 0.75f);
    EXPECT_EQ(title->GetFontDescription(), xTitle->GetFontDescription());
    EXPECT_EQ(title->GetName(), xTitle->GetName());
    auto* yTitle = dynamic_cast<AxisTitle*>(bars->GetYAxis()->GetTitle());
    ASSERT_NE(yTitle, nullptr);
    EXPECT_EQ(yTitle->GetFontDescription().lfEscapement, -900);

    EXPECT_EQ(savedContents(*loaded, "second.pvn"), first);
}

// A new title takes the name the header line gives the column along its axis.
TEST_F(TitlesAndErrorBars, NewTitlesTakeTheColumnNames)
{
    ImportSettings named;
    named.headerLine = 1;
    doc.OpenDataFile(writeFile("named.dat", "time volts\n1 2\n3 4\n"), named);
    Trace* trace = traceAt(0);
    trace->GetXAxis()->OnMenuCommand(Axis::TitleCommand);
    trace->GetYAxis()->OnMenuCommand(Axis::TitleCommand);
    auto* xTitle = dynamic_cast<AxisTitle*>(trace->GetXAxis()->GetTitle());
    auto* yTitle = dynamic_cast<AxisTitle*>(trace->GetYAxis()->GetTitle());
    ASSERT_TRUE(xTitle && yTitle);
    EXPECT_EQ(xTitle->GetText(), "time");
    EXPECT_EQ(yTitle->GetText(), "volts");
}

TEST_F(TitlesAndErrorBars, TitleGoesAloneOrWithItsAxis)
{
    auto made = std::make_unique<XAxis>(&view);
    XAxis* axis = made.get();
    axis->SetDefaultName();
    doc.AddObjectAndRefresh(std::move(made));
    axis->OnMenuCommand(Axis::TitleCommand);
    visibleobject* title = axis->GetTitle();
    ASSERT_NE(title, nullptr);
    ASSERT_TRUE(doc.GetObjects().contains(title));

    // Deleted alone, the axis makes a new one when asked.
    ASSERT_TRUE(doc.DeleteObject(title));
    EXPECT_EQ(axis->GetTitle(), nullptr);
    axis->OnMenuCommand(Axis::TitleCommand);
    title = axis->GetTitle();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(doc.GetObjects().count(), 2);

    // The axis takes its title with it.
    ASSERT_TRUE(doc.DeleteObject(axis));
    EXPECT_TRUE(doc.GetObjects().isEmpty());
}

TEST_F(TitlesAndErrorBars, TitleAndAxisThatDoNotNameEachOtherLoadUnlinked)
{
    auto made = std::make_unique<XAxis>(&view);
    XAxis* axis = made.get();
    axis->SetDefaultName();
    doc.AddObjectAndRefresh(std::move(made));
    axis->OnMenuCommand(Axis::TitleCommand);
    visibleobject* title = axis->GetTitle();
    // The title still names the axis, the axis no title.
    axis->SetTitle(nullptr);
    savedContents(doc, "odd.pvn");
    axis->SetTitle(title);

    const std::unique_ptr<PlotDocument> loaded = loadDocument(path("odd.pvn"));
    ASSERT_EQ(loaded->GetObjects().count(), 2);
    auto* loadedTitle = dynamic_cast<AxisTitle*>(loaded->GetObjects().at(1));
    ASSERT_NE(loadedTitle, nullptr);
    EXPECT_EQ(loadedTitle->GetAxis(), nullptr);
    EXPECT_EQ(static_cast<Axis*>(loaded->GetObjects().at(0))->GetTitle(), nullptr);
}

} // namespace
