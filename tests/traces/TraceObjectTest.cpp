#include "TraceTestSupport.h"

#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/RecordingDC.h"
#include "platform/Settings.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

void writeFile(const QString& path, const char* text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

// Objects an archive created, deleted at the end of a test.
struct Loaded
{
    explicit Loaded(Archive& ar)
    {
        for (Persistent* p : ar.releaseUnclaimed())
            objects.emplace_back(p);
    }
    std::vector<std::unique_ptr<Persistent>> objects;
};

TEST_F(TraceFixture, NewTraceSitsAtTheDefaultOriginWithNamedAxes)
{
    Trace* t = doc.newTrace(&view, doc.file("1 2 3\n4 5 6\n"));
    EXPECT_EQ(t->GetXColumn(), 1);
    EXPECT_EQ(t->GetYColumn(), 2);
    EXPECT_EQ(t->x, defaultSettings().originX);
    EXPECT_EQ(t->GetXAxis()->y, defaultSettings().originY);
    EXPECT_EQ(t->GetYAxis()->length, defaultSettings().yAxisLength);
    EXPECT_TRUE(t->GetXAxis()->GetName().startsWith(QStringLiteral("X-Axis ")));
    EXPECT_TRUE(t->GetYAxis()->GetName().startsWith(QStringLiteral("Y-Axis ")));
    ASSERT_TRUE(t->GetPen());
    EXPECT_EQ(*t->GetPen(), PenRecord::stockBlack());
    EXPECT_FALSE(t->GetSymbolFont());
    EXPECT_EQ(t->GetSymbolChar(), 108);
}

TEST_F(TraceFixture, TraceInAFocusRectangleTakesItsCorners)
{
    // 1 inch from the left and bottom of the client area, 5 inches wide and 4 high.
    // The trace holds the axes it made while nobody took them.
    const auto t =
        std::make_unique<Trace>(&view, doc.file("1 2\n3 4\n"), Rect{96, 600 - 480, 576, 600 - 96});
    EXPECT_FLOAT_EQ(t->x, 1.0f);
    EXPECT_FLOAT_EQ(t->y, 1.0f);
    EXPECT_FLOAT_EQ(t->GetXAxis()->length, 5.0f);
    EXPECT_FLOAT_EQ(t->GetYAxis()->length, 4.0f);
    EXPECT_EQ(t->GetXAxis()->y, t->GetYAxis()->y);
}

TEST_F(TraceFixture, DefaultNamesCountUpAndSkipNamesInUse)
{
    ColumnFile* f = doc.file("1 2\n", QStringLiteral("/data/run.dat"));
    const int n = Trace::nextNameNumber();
    Trace* a = doc.newTrace(&view, f);
    a->SetDefaultName();
    Trace* b = doc.newTrace(&view, f);
    b->SetDefaultName();
    EXPECT_EQ(a->GetName(), QStringLiteral("%1-run.dat").arg(n));
    EXPECT_EQ(b->GetName(), QStringLiteral("%1-run.dat").arg(n + 1));

    a->SetName(QStringLiteral("%1-run.dat").arg(n + 2));
    Trace* c = doc.newTrace(&view, doc.file("1 2\n", QStringLiteral("C:\\data\\run.dat")));
    c->SetDefaultName();
    EXPECT_EQ(c->GetName(), QStringLiteral("%1-run.dat").arg(n + 3));
}

TEST_F(TraceFixture, DeletedAxesAreReplacedBySameKindThenAnyThenANewOne)
{
    Trace* t = doc.newTrace(&view, doc.file("1 10\n2 20\n3 30\n"));
    Axis* firstX = t->GetXAxis();
    Axis* y = t->GetYAxis();
    // A second horizontal axis after the vertical one: the same kind wins over page order.
    XAxis* otherX = doc.axis<XAxis>(1, 3, 5, 0, 1);
    EXPECT_FALSE(t->IsIndependentOf(firstX));
    EXPECT_TRUE(t->IsIndependentOf(otherX));

    EXPECT_EQ(t->ReleaseReference(firstX), nullptr);
    doc.remove(firstX);
    EXPECT_EQ(t->GetXAxis(), otherX);
    EXPECT_FLOAT_EQ(t->y, 1.0f);

    // The only horizontal axis goes: the vertical one is adopted.
    EXPECT_EQ(t->ReleaseReference(otherX), nullptr);
    doc.remove(otherX);
    EXPECT_EQ(t->GetXAxis(), y);

    // The last axis goes: one new axis over the data takes both places.
    std::unique_ptr<visibleobject> made(t->ReleaseReference(y));
    doc.remove(y);
    ASSERT_NE(made, nullptr);
    ASSERT_TRUE(made->isKindOf(&XAxis::classRecord));
    EXPECT_EQ(t->GetXAxis(), made.get());
    EXPECT_EQ(t->GetYAxis(), made.get());
    auto* axis = static_cast<Axis*>(made.get());
    EXPECT_EQ(axis->end, 3);
    EXPECT_LE(axis->start, 1);
    EXPECT_EQ(axis->length, defaultSettings().xAxisLength);
    EXPECT_FALSE(doc.IsNameInUse(axis->GetName(), axis));
    EXPECT_EQ(t->ReleaseReference(doc.objects.first()), nullptr); // not an axis of the trace
}

TEST_F(TraceFixture, MirrorXPutsAReversedUnlabelledCopyAtTheTop)
{
    MemTrace* t = memTrace({0, 10}, {0, 100});
    xAxis->SetName(QStringLiteral("X-Axis 1"));
    xAxis->ticks.tickAngle = 90;
    const int before = doc.objects.size();
    ASSERT_EQ(t->OnMenuCommand(Trace::MirrorXAxisCommand), 1);
    ASSERT_EQ(doc.objects.size(), before + 1);
    auto* copy = static_cast<Axis*>(doc.objects.last());
    EXPECT_EQ(copy->runtimeClass(), &Axis::classRecord);
    EXPECT_FLOAT_EQ(copy->x, xAxis->x);
    EXPECT_FLOAT_EQ(copy->y, xAxis->y + 4.0f);
    EXPECT_EQ(copy->ticks.tickAngle, 270);
    EXPECT_FALSE(copy->ticks.showLabels);
    EXPECT_FALSE(copy->autoRange);
    EXPECT_EQ(copy->start, xAxis->start);
    EXPECT_EQ(copy->end, xAxis->end);
    EXPECT_FALSE(doc.IsNameInUse(copy->GetName(), copy));
    EXPECT_TRUE(xAxis->ticks.showLabels); // the original keeps its own

    ASSERT_EQ(t->OnMenuCommand(Trace::MirrorYAxisCommand), 1);
    auto* right = static_cast<Axis*>(doc.objects.last());
    EXPECT_FLOAT_EQ(right->x, yAxis->x + 5.0f);
    EXPECT_FLOAT_EQ(right->y, yAxis->y);
}

TEST_F(TraceFixture, RereadThatLosesAColumnSaysSoOnceAndPlotsTheLastColumn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.dat"));
    writeFile(path, "1 10 100\n2 20 200\n");
    doc.files.push_back(std::make_unique<ColumnFile>(path));
    ColumnFile* f = doc.files.back().get();
    ASSERT_TRUE(f->ReadFile());
    Trace* t = doc.newTrace(&view, f);
    t->SetColumns(1, 3);

    writeFile(path, "1 11\n2 22\n3 33\n");
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    ASSERT_EQ(t->Reread(), 1);
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.records()[0].text,
              QStringLiteral("Column 3 has been\ndeleted from data file"));
    EXPECT_EQ(prompter.records()[0].caption, path);
    EXPECT_EQ(prompter.records()[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(t->GetYColumn(), 2);
    EXPECT_EQ(t->GetYValues()->GetAt(2), 33);
    EXPECT_TRUE(t->HasPoints());

    RecordingDC dc;
    t->Draw(dc);
    EXPECT_EQ(prompter.records().size(), 1u);

    // A file that cannot be opened any more: 0, and no column message while it has no data.
    QFile::remove(path);
    EXPECT_EQ(t->Reread(), 0);
    t->Draw(dc);
    EXPECT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(t->GetYColumn(), 2);
}

TEST_F(TraceFixture, ATraceWhoseFileIsGoneHasNoValuesAndDrawsNothing)
{
    Trace* t = doc.newTrace(&view, doc.file("1 2\n3 4\n"));
    t->SetFile(nullptr);
    RecordingDC dc;
    t->Draw(dc);
    EXPECT_EQ(t->GetNumPoints(), 0);
    EXPECT_TRUE(t->GetPoints().empty());
    EXPECT_EQ(t->Reread(), 1);
    EXPECT_EQ(t->EditProperties(), 0);
    t->SetDefaultName();
    EXPECT_FALSE(t->GetName().isEmpty());
}

TEST_F(TraceFixture, StoredTraceWithoutSymbolsLoadsTheDefaults)
{
    Trace* t = doc.newTrace(&view, doc.file("1 2\n"));
    t->SetColumns(0, 1);
    t->SetSort(true);
    t->SetPen(PenRecord(PS_DASHDOT, 3, RGB(1, 2, 3)));
    t->SetLineWidth(0.02f);
    t->SetSymbolChar(65);
    t->SetSymbolColor(RGB(9, 9, 9));
    t->SetName(QStringLiteral("run"));

    Archive out;
    out.writeObject(t);
    Archive in(out.data());
    auto* loaded = in.readObject<Trace>();
    Loaded keep(in);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetName(), QStringLiteral("run"));
    EXPECT_EQ(loaded->GetXColumn(), 0);
    EXPECT_EQ(loaded->GetYColumn(), 1);
    EXPECT_TRUE(loaded->GetSort());
    EXPECT_EQ(loaded->GetPen(), PenRecord(PS_DASHDOT, 3, RGB(1, 2, 3)));
    EXPECT_EQ(loaded->GetLineWidth(), 0.02f);
    EXPECT_FALSE(loaded->GetSymbolFont());
    EXPECT_EQ(loaded->GetSymbolChar(), 108);
    EXPECT_EQ(loaded->GetSymbolColor(), 0u);
    EXPECT_EQ(loaded->GetSymbolSize(), 0);
    ASSERT_NE(loaded->GetXAxis(), nullptr);
    EXPECT_TRUE(loaded->GetXAxis()->isKindOf(&XAxis::classRecord));
    EXPECT_EQ(loaded->GetFile()->GetFullPath(), QStringLiteral("/data/run.dat"));
    EXPECT_FALSE(loaded->HasPoints());

    // A cut record ends in an archive error.
    QByteArray cut = out.data();
    cut.chop(2);
    Archive bad(cut);
    EXPECT_THROW(bad.readObject<Trace>(), ArchiveException);
}

TEST_F(TraceFixture, MemoryTraceKeepsItsValuesInTheRecord)
{
    MemTrace* t = memTrace({1, 2, 3}, {10, 20, 30});
    t->SetSymbolFont(LogFont::fromFace(QStringLiteral("Wingdings"), -138));
    t->SetSymbolChar(110);
    t->SetSymbolSize(100);
    t->SetSymbolColor(RGB(255, 0, 0));
    Archive out;
    out.writeObject(t);

    Archive in(out.data());
    auto* loaded = in.readObject<MemTrace>();
    Loaded keep(in);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetFile(), nullptr);
    ASSERT_EQ(loaded->GetNumPoints(), 3);
    EXPECT_EQ(loaded->GetXValues()->GetAt(2), 3);
    EXPECT_EQ(loaded->GetYValues()->GetAt(1), 20);
    EXPECT_EQ(loaded->GetSymbolFont(), t->GetSymbolFont());
    EXPECT_EQ(loaded->GetSymbolChar(), 110);
    EXPECT_EQ(loaded->GetSymbolSize(), 100);
    EXPECT_EQ(loaded->GetSymbolColor(), RGB(255, 0, 0));
    EXPECT_EQ(loaded->Reread(), 1);

    // A count the record cannot hold is refused before anything is allocated.
    for (const uint32_t count : {0x7FFFFFFFu, 0xFFFFFFFFu, 4u}) {
        QByteArray bytes = out.data();
        const qsizetype at = bytes.size() - 6 * 8 - 4;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((count >> (8 * i)) & 0xFF);
        Archive hostile(bytes);
        EXPECT_THROW(hostile.readObject<MemTrace>(), ArchiveException) << count;
    }
}

TEST_F(TraceFixture, WriteDataWritesTwoColumnsInStoredOrder)
{
    MemTrace* t = memTrace({1.5, 3, -1}, {2000000, -0.25, 1e-5});
    t->SetSort(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.dat"));
    t->WriteData(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("1.5  2e+006\n3  -0.25\n-1  1e-005\n"));

    EXPECT_THROW(t->WriteData(QString()), FileException);
    try {
        t->WriteData(dir.filePath(QStringLiteral("missing/out.dat")));
        ADD_FAILURE() << "a file that cannot be created must not pass for written";
    } catch (const FileException& e) {
        EXPECT_NE(e.cause(), FileException::Cause::none);
    }
}

struct CommandCase
{
    int command;
    const char* editorCall; // null: no editor is asked
};

class TraceCommands : public TraceFixture, public ::testing::WithParamInterface<CommandCase>
{};

TEST_P(TraceCommands, OpenTheirEditorsAndAnswerZeroWithoutThem)
{
    Trace* t = doc.newTrace(&view, doc.file("1 2\n"));
    EXPECT_EQ(t->OnMenuCommand(GetParam().command), 0); // no editors installed
    ScriptedTraceEditors editors;
    TraceEditorsScope scope(&editors);
    EXPECT_EQ(t->OnMenuCommand(GetParam().command), GetParam().editorCall ? 1 : 0);
    EXPECT_EQ(editors.calls,
              GetParam().editorCall ? QStringList{GetParam().editorCall} : QStringList{});
    editors.result = 0;
    EXPECT_EQ(t->OnMenuCommand(GetParam().command), 0);
}

INSTANTIATE_TEST_SUITE_P(Menu, TraceCommands,
                         ::testing::Values(CommandCase{Trace::DataSettingsCommand, "fileSettings"},
                                           CommandCase{Trace::LineTypeCommand, "lineSettings"},
                                           CommandCase{Trace::SymbolFontCommand, "chooseFont"},
                                           CommandCase{Trace::ColorCommand, "chooseColor"},
                                           CommandCase{32803, nullptr}));

TEST_F(TraceFixture, SymbolFontAndColourChoosersWorkInScreenPixels)
{
    Trace* t = doc.newTrace(&view, doc.file("1 2\n"));
    ScriptedTraceEditors editors;
    TraceEditorsScope scope(&editors);

    editors.result = 0;
    EXPECT_EQ(t->ChooseSymbolFont(), 0);
    EXPECT_FALSE(t->GetSymbolFont());
    // The default symbol font: SymbolSize points as thousandths of an inch, then pixels at 96.
    EXPECT_EQ(editors.offeredFont.lfHeight, -13); // 10 * 1000 / -72 = -138 -> -13.2
    EXPECT_EQ(editors.offeredFont.faceName(), defaultSettings().symbolFace);

    editors.result = 1;
    editors.chosenFont = LogFont::fromFace(QStringLiteral("Symbol"), -20);
    editors.chosenColor = RGB(0, 255, 0);
    editors.chosenSize = 150;
    EXPECT_EQ(t->ChooseSymbolFont(), 1);
    ASSERT_TRUE(t->GetSymbolFont());
    EXPECT_EQ(t->GetSymbolFont()->lfHeight, -208); // 20 pixels at 96 an inch
    EXPECT_EQ(t->GetSymbolSize(), 150);
    EXPECT_EQ(t->GetSymbolColor(), RGB(0, 255, 0));

    // A trace without a line gets a thin solid one in the chosen colour.
    t->SetPen(std::nullopt);
    editors.chosenColor = RGB(10, 20, 30);
    EXPECT_EQ(t->ChooseLineColor(), 1);
    EXPECT_EQ(editors.offeredColor, 0u);
    EXPECT_EQ(t->GetPen(), PenRecord(PS_SOLID, 0, RGB(10, 20, 30)));
}

TEST_F(TraceFixture, MoveOriginMovesBothAxes)
{
    MemTrace* t = memTrace({0, 10}, {0, 100});
    t->MoveOrigin(2.0f, 1.5f);
    EXPECT_FLOAT_EQ(xAxis->x, 2.0f);
    EXPECT_FLOAT_EQ(xAxis->y, 1.5f);
    EXPECT_FLOAT_EQ(yAxis->x, 2.0f);
    EXPECT_FLOAT_EQ(t->y, 1.5f);
    t->EraseSelection(*view.clientDC());
    ASSERT_FALSE(doc.updates.isEmpty());
    EXPECT_EQ(doc.updates.last(),
              std::make_pair(DocumentServices::UpdateHint::Object, static_cast<visibleobject*>(t)));
}

} // namespace
