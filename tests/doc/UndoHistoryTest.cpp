#include "DocTestSupport.h"

#include "axes/Axis.h"
#include "axes/AxisEditors.h"
#include "data/ColumnFile.h"
#include "doc/AnalysisEditors.h"
#include "doc/DocumentCommands.h"
#include "doc/DocumentDescription.h"
#include "doc/DocumentFile.h"
#include "doc/UndoHistory.h"
#include "platform/Exceptions.h"
#include "traces/MemTrace.h"

#include <functional>

namespace {

// Where two records part, as offset and the bytes from there; empty when they are the same.
std::string difference(const QByteArray& a, const QByteArray& b)
{
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    if (i == a.size() && i == b.size())
        return {};
    return std::to_string(i) + ": " + a.mid(i, 16).toHex(' ').toStdString() + " / " +
           b.mid(i, 16).toHex(' ').toStdString();
}

// Format Axes: the chosen axis is moved a little each time the dialog is confirmed.
class MovingAxisEditors : public AxisEditors
{
public:
    int formatAxes(Axis& axis, DocumentServices*) override
    {
        axis.x += 0.25f;
        return ok;
    }
    int formatTicks(Axis&) override { return 0; }
    int chooseLabelFont(Axis&) override { return 0; }
    int editTitle(AxisTitle&) override { return 0; }
    visibleobject* chooseAxis(const StringObMap& axes) override
    {
        return axes.isEmpty() ? nullptr : static_cast<visibleobject*>(axes.begin()->value);
    }
    int ok = 1;
};

class FittingEditors : public AnalysisEditors
{
public:
    bool polynomialFit(TraceAnalysis::FitRequest&) override { return true; }
    bool fit(TraceAnalysis::FitRequest&, const QString&) override { return true; }
    bool smoothWindow(unsigned& windowSize, unsigned) override
    {
        windowSize = 3;
        return true;
    }
    void openInterpolate(PlotDocument&, PageView*) override {}
    void openIntegrate(PlotDocument&, PageView*) override {}
};

class UndoTest : public DocFixture
{
public:
    // The changes of the cases below reach these.
    using DocFixture::doc;
    using DocFixture::open;
    void command(int id) { ASSERT_TRUE(doc.onCommand(id)); }
    QString data;
    QString more;
    ScriptedTraceEditors traceEditors;

protected:
    void SetUp() override
    {
        data = writeFile("a.dat", "1 2\n2 3\n3 5\n4 4\n5 7\n6 6\n7 9\n8 8\n9 11\n");
        more = writeFile("b.dat", "1 1\n2 4\n3 9\n");
    }
    // The record as it stands once the page has been drawn, as a view draws it after every
    // change: drawing brings the traces' cached limits up to date.
    QByteArray record()
    {
        RecordingDC dc;
        for (visibleobject* obj : doc.GetObjects())
            obj->Draw(dc);
        return documentContents(doc);
    }
    QJsonObject page() { return describeDocument(doc, true); }
    UndoHistory& history() { return *doc.undoHistory(); }

    ScriptedDocumentEditors choosers;
    MovingAxisEditors axisEditors;
    FittingEditors analysisEditors;
    Installed<AnalysisEditors>::Scope analysisScope{&analysisEditors};
    struct AxisScope
    {
        explicit AxisScope(AxisEditors* e) : previous(AxisEditors::instance())
        {
            AxisEditors::setInstance(e);
        }
        ~AxisScope() { AxisEditors::setInstance(previous); }
        AxisEditors* previous;
    } axisScope{&axisEditors};
};

struct ChangeCase
{
    const char* step;
    std::function<void(UndoTest&)> change;
};

void PrintTo(const ChangeCase& c, std::ostream* os)
{
    *os << c.step;
}

class EveryChange : public UndoTest, public ::testing::WithParamInterface<ChangeCase>
{};

TEST_P(EveryChange, UndoAndRedoRestoreTheRecordByteForByte)
{
    open(data);
    choosers.choice = doc.FirstTrace()->GetName();
    const QByteArray before = record();
    const QJsonObject beforePage = page();
    GetParam().change(*this);
    const QByteArray after = record();
    const QJsonObject afterPage = page();
    ASSERT_NE(difference(after, before), "");
    EXPECT_EQ(history().undoName(), QString::fromUtf8(GetParam().step));

    view.resets = 0;
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(difference(record(), before), "");
    EXPECT_EQ(page(), beforePage);
    EXPECT_GT(view.resets, 0);
    EXPECT_EQ(history().redoName(), QString::fromUtf8(GetParam().step));
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(difference(record(), after), "");
    EXPECT_EQ(page(), afterPage);
    // Back again, and forward again: steps survive being taken.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(difference(record(), before), "");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryChange,
    ::testing::Values(ChangeCase{"Open Data File", [](UndoTest& t) { t.open(t.more); }},
                      ChangeCase{"Format Axes", [](UndoTest& t) { t.command(Cmd::FormatAxes); }},
                      ChangeCase{"Polynomial Fit",
                                 [](UndoTest& t) { t.command(Cmd::FitPolynomial); }},
                      ChangeCase{"Smooth", [](UndoTest& t) { t.command(Cmd::Smooth); }},
                      ChangeCase{"Center Page", [](UndoTest& t) { t.command(Cmd::CenterPage); }},
                      ChangeCase{"Error Bars",
                                 [](UndoTest& t) {
                                     t.traceEditors.errorBarsScript =
                                         [&t](ColumnFile*& file, int& column, filelist& files) {
                                             file = files.FindByPath(t.data);
                                             column = 1;
                                             return 1;
                                         };
                                     t.command(Cmd::ErrorBars);
                                 }},
                      ChangeCase{"",
                                 [](UndoTest& t) {
                                     // A change no command names, made outside any action.
                                     t.doc.RegisterLinkGroup(QStringLiteral("group"),
                                                             *t.doc.GetTraces());
                                     t.doc.MarkChanged();
                                     t.doc.undoHistory()->settle();
                                 }}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) {
        QString name = QString::fromUtf8(info.param.step).remove(QLatin1Char(' '));
        return name.isEmpty() ? std::string("Unnamed") : name.toStdString();
    });

TEST_F(UndoTest, DataFilesAreNotReadAgainUnlessTheDocumentNoLongerHoldsThem)
{
    open(data);
    command(Cmd::CenterPage);
    ColumnFile* file = doc.GetFiles().at(0);
    const QJsonObject dataFiles = page()["dataFiles"].toObject();
    // The text on disk changes; the values plotted are those read before.
    writeFile("a.dat", "1 100\n2 200\n");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(page()["dataFiles"].toObject(), dataFiles);
    ASSERT_EQ(doc.GetFiles().count(), 1);
    EXPECT_EQ(doc.GetFiles().at(0)->GetNumPoints(), 9);
    EXPECT_NE(doc.GetFiles().at(0), file); // the page and its files are new objects

    // A file the document let go of is read again from disk.
    open(more);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetFiles().count(), 1);
    writeFile("b.dat", "1 1\n2 4\n3 9\n4 16\n");
    ASSERT_TRUE(doc.Redo());
    ASSERT_NE(doc.GetFiles().FindByPath(more), nullptr);
    EXPECT_EQ(doc.GetFiles().FindByPath(more)->GetNumPoints(), 4);
}

TEST_F(UndoTest, UndoingBackToTheSavedStateClearsTheModifiedMark)
{
    open(data);
    const QString file = path("plot.pvn");
    ASSERT_TRUE(saveDocumentReporting(doc, file));
    command(Cmd::FormatAxes);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Undo()); // past the saved state
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Redo());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Redo());
    EXPECT_TRUE(doc.IsModified());
    // Saving keeps the history; a document loaded starts without one.
    ASSERT_TRUE(saveDocumentReporting(doc, file));
    EXPECT_EQ(history().undoCount(), 2);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsModified());
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    EXPECT_FALSE(loaded->undoHistory()->canUndo());
    EXPECT_FALSE(loaded->IsModified());
}

TEST_F(UndoTest, FailedOrCancelledChangesLeaveNoStep)
{
    open(data);
    const int steps = history().undoCount();
    // Dialogs cancelled, also one that reports a change whatever it returned.
    axisEditors.ok = 0;
    command(Cmd::FormatAxes);
    traceEditors.answer = 0;
    command(Cmd::FileSettings);
    // A file that is no data file.
    prompter.pushFileName(writeFile("text.dat", "no numbers here\n"));
    command(Cmd::OpenDataFile);
    // A command that changes the page and then fails: reported, and no step.
    setCommandHandler(Cmd::DataUnzoom, [](PlotDocument& d) {
        d.GetObjects().MoveAllBy(1.0f, 1.0f);
        d.MarkChanged();
        throw MemoryException(QStringLiteral("scripted"));
    });
    command(Cmd::DataUnzoom);
    setCommandHandler(Cmd::DataUnzoom, {});
    EXPECT_EQ(prompter.texts().size(), 2);
    EXPECT_EQ(history().undoCount(), steps);
    // The step before is still the one Undo takes back, to the page before it.
    const QByteArray moved = record();
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.GetObjects().isEmpty());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(difference(record(), moved), "");
}

TEST_F(UndoTest, HistoryKeepsTheNewestHundredSteps)
{
    open(data);
    QList<QByteArray> records{record()};
    for (int i = 0; i < UndoHistory::maxSteps + 5; ++i) {
        command(Cmd::FormatAxes);
        records.append(record());
    }
    EXPECT_EQ(history().undoCount(), UndoHistory::maxSteps);
    while (doc.Undo()) {
    }
    EXPECT_EQ(record(), records.at(records.size() - 1 - UndoHistory::maxSteps));
    EXPECT_EQ(history().redoCount(), UndoHistory::maxSteps);
    // A new change drops what could be redone.
    command(Cmd::CenterPage);
    EXPECT_FALSE(history().canRedo());
}

TEST(UndoHistoryBound, OldestStepsGoBeyondTheByteLimit)
{
    // Records of a fifth of the limit each: five steps are more than it allows.
    const qsizetype size = UndoHistory::maxBytes / 5 + 1;
    char fill = 'a';
    QByteArray current(size, fill);
    UndoHistory history([&] { return current; }, [&](const QByteArray& r) { current = r; });
    history.reset();
    for (int i = 0; i < 6; ++i) {
        history.begin(QStringLiteral("step"));
        current = QByteArray(size, ++fill);
        history.changed();
        history.end();
    }
    EXPECT_EQ(history.undoCount(), 4);
    EXPECT_LE(history.bytes(), UndoHistory::maxBytes);
    while (history.undo()) {
    }
    EXPECT_EQ(current, QByteArray(size, char('a' + 2)));
}

TEST(UndoHistoryMerge, RepeatedMergeableActionsAreOneStepUntilSomethingElseComes)
{
    int value = 0;
    UndoHistory history([&] { return QByteArray::number(value); },
                        [&](const QByteArray& r) { value = r.toInt(); });
    history.reset();
    auto act = [&](const QString& name, bool merge) {
        history.begin(name, merge);
        ++value;
        history.changed();
        history.end();
    };
    for (int i = 0; i < 3; ++i)
        act(QStringLiteral("Move"), true);
    EXPECT_EQ(history.undoCount(), 1);
    act(QStringLiteral("Resize"), false);
    act(QStringLiteral("Move"), true);
    act(QStringLiteral("Move"), true);
    EXPECT_EQ(history.undoCount(), 3);
    history.markSaved();
    act(QStringLiteral("Move"), true);
    EXPECT_EQ(history.undoCount(), 4);
    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(history.atSavedState());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(value, 4);
}

} // namespace
