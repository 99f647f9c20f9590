#include "axes/AxisEditors.h"
#include "data/filelist.h"
#include "platform/Settings.h"
#include "traces/TraceTestSupport.h"
#include "traces/ui/ErrorBarDialog.h"
#include "traces/ui/FileSettingsDialog.h"
#include "traces/ui/LineSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

template <class W> W* child(QWidget& dialog, const QString& name)
{
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void clickOk(QDialog& dialog)
{
    auto* box = dialog.findChild<QDialogButtonBox*>();
    QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

void retype(QLineEdit* edit, const QString& text)
{
    // Typing over the selection, as a user replaces a field's text.
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

// The units dialogs show, set for one test.
struct UnitsScope
{
    explicit UnitsScope(int units) : saved(defaultSettings().units)
    {
        defaultSettings().units = units;
    }
    ~UnitsScope() { defaultSettings().units = saved; }
    int saved;
};

struct TraceDialogsTest : TraceFixture
{
    TraceDialogsTest()
    {
        trace = doc.newTrace(&view, doc.file("1 10 0.5\n2 20 0.5\n3 30 1\n4 40 1\n5 50 2\n"));
        trace->SetDocument(&doc);
        trace->GetXAxis()->SetDocument(&doc);
        trace->GetYAxis()->SetDocument(&doc);
    }
    Trace* trace = nullptr;
    ScriptedPrompter prompter;
    PrompterScope prompterScope{&prompter};
};

// --- Line Settings ---------------------------------------------------------------------------

TEST_F(TraceDialogsTest, TypeWidthAndThinFollowEachOther)
{
    trace->SetLineWidth(0.02f);
    LineSettingsDialog dialog(*trace);
    auto* type = child<QComboBox>(dialog, "combo903");
    auto* width = child<QLineEdit>(dialog, "edit904");
    auto* thin = child<QCheckBox>(dialog, "check907");
    EXPECT_EQ(width->text(), "0.02");
    EXPECT_FALSE(thin->isChecked());

    // A styled line is always thin.
    type->setCurrentIndex(1);
    emit type->activated(1);
    EXPECT_TRUE(thin->isChecked());
    EXPECT_EQ(width->text(), "0");

    // Typing 0 keeps the style; any other width makes a solid line of that width.
    retype(width, "0");
    EXPECT_TRUE(thin->isChecked());
    EXPECT_EQ(type->currentIndex(), 1);
    retype(width, "2");
    EXPECT_FALSE(thin->isChecked());
    EXPECT_EQ(type->currentIndex(), 0);

    // Checking Thin again zeroes the width.
    thin->click();
    EXPECT_TRUE(thin->isChecked());
    EXPECT_EQ(width->text(), "0");
}

struct WidthCase
{
    int units;
    const char* typed;
    int penWidth;
    float lineWidth;
};

class LineWidthTest : public TraceDialogsTest, public ::testing::WithParamInterface<WidthCase>
{};

TEST_P(LineWidthTest, OkTurnsTheWidthIntoThePen)
{
    const WidthCase& c = GetParam();
    UnitsScope units(c.units);
    LineSettingsDialog dialog(*trace);
    retype(child<QLineEdit>(dialog, "edit904"), c.typed);
    clickOk(dialog);
    ASSERT_TRUE(trace->GetPen());
    EXPECT_EQ(trace->GetPen()->lopnWidth.x(), c.penWidth);
    EXPECT_EQ(trace->GetPen()->lopnStyle, uint32_t(PS_SOLID));
    EXPECT_FLOAT_EQ(trace->GetLineWidth(), c.lineWidth);
}

INSTANTIATE_TEST_SUITE_P(Widths, LineWidthTest,
                         ::testing::Values(WidthCase{Settings::inch, "0.01", 10, 0.01f},
                                           WidthCase{Settings::inch, "", 50, 0.05f},
                                           WidthCase{Settings::inch, "-1", 50, 0.05f},
                                           WidthCase{Settings::cm, "0.0254", 10, 0.01f}));

struct StyleCase
{
    const char* radio;
    bool pen;
    bool symbols;
};

class PlotStyleTest : public TraceDialogsTest, public ::testing::WithParamInterface<StyleCase>
{};

TEST_P(PlotStyleTest, OkKeepsOnlyWhatTheStyleDraws)
{
    LogFont font = LogFont::fromFace("Wingdings", -138);
    trace->SetSymbolFont(font);
    LineSettingsDialog dialog(*trace);
    EXPECT_TRUE(child<QRadioButton>(dialog, "radio911")->isChecked());
    child<QRadioButton>(dialog, GetParam().radio)->click();
    clickOk(dialog);
    EXPECT_EQ(trace->GetPen().has_value(), GetParam().pen);
    EXPECT_EQ(trace->GetSymbolFont().has_value(), GetParam().symbols);
    if (GetParam().symbols) {
        EXPECT_EQ(trace->GetSymbolFont()->lfHeight, -138); // no drift through the dialog
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, PlotStyleTest,
                         ::testing::Values(StyleCase{"radio909", true, false},
                                           StyleCase{"radio910", false, true},
                                           StyleCase{"radio911", true, true}));

TEST_F(TraceDialogsTest, SymbolListRunsFromTheBlankInTheSymbolFont)
{
    // A trace with only a line gets symbols when Symbol is chosen, in the default symbol font.
    LineSettingsDialog dialog(*trace);
    child<QRadioButton>(dialog, "radio910")->click();
    auto* chars = child<QComboBox>(dialog, "combo913");
    ASSERT_EQ(chars->count(), 224);
    EXPECT_EQ(chars->itemText(0), " ");
    // Wingdings 108 is drawn as the filled circle it shows there, not as an "l".
    EXPECT_EQ(chars->itemText(108 - 32), QString(QChar(0x25CF)));
    EXPECT_EQ(chars->currentIndex(), 108 - 32);
    chars->setCurrentIndex(9);
    clickOk(dialog);
    EXPECT_EQ(trace->GetSymbolChar(), 41);
    ASSERT_TRUE(trace->GetSymbolFont());
    EXPECT_EQ(trace->GetSymbolFont()->faceName(), "Wingdings");
    EXPECT_FALSE(trace->GetPen());
}

// --- File Settings ---------------------------------------------------------------------------

TEST_F(TraceDialogsTest, ColumnZeroShowsThePointNumbers)
{
    FileSettingsDialog dialog(*trace, &doc);
    EXPECT_EQ(dialog.windowTitle(), "/data/run.dat");
    auto* xColumn = child<QComboBox>(dialog, "combo1101");
    EXPECT_EQ(xColumn->count(), 4);
    EXPECT_EQ(child<QLabel>(dialog, "text305")->text(), "50");
    xColumn->setCurrentIndex(0);
    EXPECT_EQ(child<QLabel>(dialog, "text306")->text(), "1");
    EXPECT_EQ(child<QLabel>(dialog, "text303")->text(), "5");
}

TEST_F(TraceDialogsTest, NameInUseKeepsTheDialogOpen)
{
    const QString oldName = trace->GetName();
    FileSettingsDialog dialog(*trace, &doc);
    dialog.show();
    auto* description = child<QLineEdit>(dialog, "edit406");
    retype(description, trace->GetXAxis()->GetName());
    clickOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(trace->GetName(), oldName);
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.records()[0].text,
              trace->GetXAxis()->GetName() + "  is already in use.  Choose another name.");
    EXPECT_EQ(prompter.records()[0].caption, "Error");
    EXPECT_EQ(dialog.focusWidget(), description);

    retype(description, "run 1");
    clickOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(trace->GetName(), "run 1");
}

TEST_F(TraceDialogsTest, LongDefaultNameSurvivesOkButTypedNamesAreCut)
{
    trace->SetName("1-damped-oscillation.dat");
    FileSettingsDialog unchanged(*trace, &doc);
    clickOk(unchanged);
    EXPECT_EQ(trace->GetName(), "1-damped-oscillation.dat");

    FileSettingsDialog typed(*trace, &doc);
    retype(child<QLineEdit>(typed, "edit406"), "a name of twenty-five ch");
    clickOk(typed);
    EXPECT_EQ(trace->GetName(), "a name of twenty-fi");
}

TEST_F(TraceDialogsTest, OriginTypedInCentimetres)
{
    UnitsScope units(Settings::cm);
    FileSettingsDialog dialog(*trace, &doc);
    EXPECT_EQ(child<QLabel>(dialog, "label420")->text(), "Origin (cm):");
    EXPECT_EQ(child<QLineEdit>(dialog, "edit423")->text(), "2.54");
    retype(child<QLineEdit>(dialog, "edit423"), "5.08");
    retype(child<QLineEdit>(dialog, "edit424"), "2.54");
    clickOk(dialog);
    EXPECT_FLOAT_EQ(trace->GetXAxis()->x, 2.0f);
    EXPECT_FLOAT_EQ(trace->GetYAxis()->y, 1.0f);
    EXPECT_FLOAT_EQ(trace->x, 2.0f);
    EXPECT_FLOAT_EQ(trace->y, 1.0f);
}

// Line Settings that always switch to a red dashed line.
struct DashingEditors : ScriptedTraceEditors
{
    int lineSettings(Trace& t) override
    {
        t.SetPen(PenRecord(PS_DASH, 1, RGB(255, 0, 0)));
        return 1;
    }
};

TEST_F(TraceDialogsTest, CancelAfterLinetypeRestoresTheLine)
{
    DashingEditors editors;
    TraceEditorsScope scope(&editors);
    FileSettingsDialog dialog(*trace, &doc);
    QTest::mouseClick(child<QPushButton>(dialog, "button1109"), Qt::LeftButton);
    EXPECT_EQ(trace->GetPen()->lopnStyle, uint32_t(PS_DASH));
    dialog.reject();
    ASSERT_TRUE(trace->GetPen());
    EXPECT_EQ(*trace->GetPen(), PenRecord::stockBlack());
}

// Format Axes that confirms or cancels and remembers which axis the trace plotted on.
struct AnsweringAxisEditors : AxisEditors
{
    int formatAxes(Axis& axis, DocumentServices*) override
    {
        edited = &axis;
        traceAxis = trace->GetXAxis();
        return answer;
    }
    int formatTicks(Axis&) override { return 0; }
    int chooseLabelFont(Axis&) override { return 0; }
    int editTitle(AxisTitle&) override { return 0; }
    visibleobject* chooseAxis(const StringObMap&) override { return nullptr; }

    int answer = 1;
    Trace* trace = nullptr;
    Axis* edited = nullptr;
    Axis* traceAxis = nullptr;
};

TEST_F(TraceDialogsTest, NewAxisJoinsThePageOnlyWhenConfirmed)
{
    AnsweringAxisEditors editors;
    editors.trace = trace;
    Installed<AxisEditors>::Scope scope(&editors);
    Axis* oldAxis = trace->GetXAxis();
    FileSettingsDialog dialog(*trace, &doc);
    auto* xAxes = child<QComboBox>(dialog, "combo410");
    const int objects = doc.objects.size();

    editors.answer = 0;
    QTest::mouseClick(child<QPushButton>(dialog, "button414"), Qt::LeftButton);
    EXPECT_EQ(editors.traceAxis, editors.edited); // the trace plots on it while it is edited
    EXPECT_EQ(doc.objects.size(), objects);
    EXPECT_EQ(xAxes->count(), 2);

    editors.answer = 1;
    QTest::mouseClick(child<QPushButton>(dialog, "button414"), Qt::LeftButton);
    ASSERT_EQ(doc.objects.size(), objects + 1);
    Axis* added = static_cast<Axis*>(doc.objects.back());
    EXPECT_EQ(xAxes->count(), 3);
    EXPECT_EQ(xAxes->currentText(), added->GetName());
    EXPECT_EQ(child<QComboBox>(dialog, "combo412")->findText(added->GetName()), 2);
    EXPECT_EQ(trace->GetXAxis(), oldAxis);
    clickOk(dialog);
    EXPECT_EQ(trace->GetXAxis(), added);
}

// --- Error Bar -------------------------------------------------------------------------------

struct ErrorBarTest : TraceDialogsTest
{
    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = dir.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        return path;
    }
    QStringList entries(ErrorBarDialog& dialog)
    {
        auto* list = child<QComboBox>(dialog, "combo166");
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out.append(list->itemText(i));
        return out;
    }

    QTemporaryDir dir;
    filelist files;
};

TEST_F(ErrorBarTest, ColumnListFollowsTheErrorFile)
{
    ColumnFile* two = doc.file("1 2\n3 4\n", "/data/two.dat");
    ColumnFile* three = doc.file("1 2 3\n4 5 6\n", "/data/three.dat");
    ErrorBarDialog onTwo(two, 2, files, "/data/run.dat");
    EXPECT_EQ(entries(onTwo), (QStringList{"1", "2"}));
    EXPECT_EQ(child<QComboBox>(onTwo, "combo166")->currentIndex(), 1);
    EXPECT_EQ(child<QLabel>(onTwo, "text169")->text(), "run.dat");
    EXPECT_EQ(child<QLabel>(onTwo, "text167")->text(), "two.dat");

    ErrorBarDialog onThree(three, 3, files, "/data/run.dat");
    EXPECT_EQ(entries(onThree), (QStringList{"1", "2", "3"}));
    child<QComboBox>(onThree, "combo166")->setCurrentIndex(0);
    clickOk(onThree);
    EXPECT_EQ(onThree.errorFile(), three);
    EXPECT_EQ(onThree.errorColumn(), 1);
}

// Columns named by the header line are chosen by number and name.
TEST_F(ErrorBarTest, ColumnListsShowTheHeaderNames)
{
    ImportSettings named;
    named.headerLine = 1;
    ColumnFile* file = doc.file("0\n", "/data/named.dat");
    file->SetImportSettings(named);
    const std::string text = "time volts\n1 2\n3 4\n";
    ASSERT_EQ(file->ReadText(text.data(), text.size()), 1);
    ErrorBarDialog bars(file, 2, files, "/data/run.dat");
    EXPECT_EQ(entries(bars), (QStringList{"1 (time)", "2 (volts)"}));
    Trace* onNamed = doc.newTrace(&view, file);
    FileSettingsDialog settings(*onNamed, &doc);
    auto* yColumn = child<QComboBox>(settings, "combo1103");
    EXPECT_EQ(yColumn->itemText(0), "0");
    EXPECT_EQ(yColumn->itemText(2), "2 (volts)");
}

TEST_F(ErrorBarTest, ChangeErrorFileTakesItsLastColumn)
{
    ColumnFile* two = doc.file("1 2\n3 4\n", "/data/two.dat");
    const QString path = write("errors.dat", "1 2 3 4\n5 6 7 8\n");
    prompter.pushFileName(path);
    ErrorBarDialog dialog(two, 2, files, "/data/run.dat");
    QTest::mouseClick(child<QPushButton>(dialog, "button168"), Qt::LeftButton);
    EXPECT_EQ(entries(dialog), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(child<QLabel>(dialog, "text167")->text(), "errors.dat");
    clickOk(dialog);
    ASSERT_NE(dialog.errorFile(), nullptr);
    EXPECT_EQ(dialog.errorFile(), files.FindByPath(path));
    EXPECT_EQ(dialog.errorColumn(), 4);
}

TEST_F(ErrorBarTest, UnreadableFileKeepsThePreviousOne)
{
    ColumnFile* two = doc.file("1 2\n3 4\n", "/data/two.dat");
    const QString missing = dir.filePath("missing.dat");
    const QString text = write("words.dat", "no\nnumbers\nhere\nat all\nreally\n");
    for (const QString& path : {missing, text}) {
        prompter.clear();
        prompter.pushFileName(path);
        ErrorBarDialog dialog(two, 1, files, "/data/run.dat");
        QTest::mouseClick(child<QPushButton>(dialog, "button168"), Qt::LeftButton);
        ASSERT_EQ(prompter.records().size(), 2u) << path.toStdString(); // chooser, message
        EXPECT_EQ(prompter.records()[1].caption, path);
        EXPECT_EQ(child<QLabel>(dialog, "text167")->text(), "two.dat");
        EXPECT_EQ(entries(dialog), (QStringList{"1", "2"}));
        clickOk(dialog);
        EXPECT_EQ(dialog.errorFile(), two);
        EXPECT_EQ(dialog.errorColumn(), 1);
        EXPECT_TRUE(files.isEmpty());
    }
    EXPECT_EQ(prompter.records()[1].text, "Not able to open file as data file");
}

TEST_F(ErrorBarTest, RemoveErrorBarsAnswersNoFile)
{
    ColumnFile* two = doc.file("1 2\n3 4\n", "/data/two.dat");
    ErrorBarDialog dialog(two, 2, files, "/data/run.dat");
    QTest::mouseClick(child<QPushButton>(dialog, "button170"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.errorFile(), nullptr);
}

} // namespace
