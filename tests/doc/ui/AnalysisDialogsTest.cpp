#include "doc/ui/AnalysisDialogs.h"
#include "doc/ui/FitDialog.h"
#include "doc/ui/IntegrateDataDialog.h"
#include "doc/ui/InterpolateDataDialog.h"
#include "doc/ui/PolynomialFitDialog.h"
#include "doc/ui/SmoothDialog.h"
#include "platform/LogSink.h"
#include "platform/NumberFormat.h"
#include "platform/ScriptedPrompter.h"
#include "platform/ui/DialogValidation.h"
#include "view/ViewTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class RecordingSink : public LogSink
{
public:
    void appendLine(const QString& text) override { lines.append(text); }
    QStringList lines;
};

class AnalysisDialogsTest : public ::testing::Test
{
protected:
    Trace* addTrace(const QString& name, const char* text)
    {
        const QString path = QDir(dir.path()).filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return nullptr;
        f.write(text);
        f.close();
        auto* file = new ColumnFile(path);
        file->ReadFile();
        doc.GetFiles().AddUnique(file);
        return doc.NewTrace(file);
    }
    template <class Dialog> Dialog* open(TestWindow& view)
    {
        if constexpr (std::is_same_v<Dialog, InterpolateDataDialog>)
            dialogs.openInterpolate(doc, &view);
        else
            dialogs.openIntegrate(doc, &view);
        return view.findChild<Dialog*>();
    }
    static void press(QWidget* dialog, int id)
    {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button%1").arg(id)),
                          Qt::LeftButton);
    }
    static QLineEdit* edit(QWidget* dialog, int id)
    {
        return dialog->findChild<QLineEdit*>(QStringLiteral("edit%1").arg(id));
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    PrompterScope prompterScope{&prompter};
    RecordingSink sink;
    Installed<LogSink>::Scope sinkScope{&sink};
    PlotDocument doc;
    AnalysisDialogs dialogs;
};

struct ValidationCase
{
    const char* dialog; // polynomial, fit, smooth, interpolate, integrate
    int field;
    const char* text;
    const char* message;
};

void PrintTo(const ValidationCase& c, std::ostream* os)
{
    *os << c.dialog << " edit" << c.field << " \"" << c.text << '"';
}

class AnalysisValidationTest : public AnalysisDialogsTest,
                               public ::testing::WithParamInterface<ValidationCase>
{};

// A refused field names its range and keeps the dialog open.
TEST_P(AnalysisValidationTest, RefusesOutOfRangeFieldsAndStaysOpen)
{
    const ValidationCase& c = GetParam();
    const QString kind = QLatin1String(c.dialog);
    ASSERT_NE(addTrace("squares.dat", "0 0\n1 1\n2 4\n3 9\n4 16\n"), nullptr);
    TestWindow view(&doc);
    TraceAnalysis::FitRequest request;
    std::unique_ptr<QDialog> modal;
    QDialog* dialog = nullptr;
    if (kind == "polynomial")
        modal = std::make_unique<PolynomialFitDialog>(request);
    else if (kind == "fit")
        modal = std::make_unique<FitDialog>(request, "Power Fit");
    else if (kind == "smooth")
        modal = std::make_unique<SmoothDialog>(5, 9);
    else if (kind == "interpolate")
        dialog = open<InterpolateDataDialog>(view);
    else
        dialog = open<IntegrateDataDialog>(view);
    if (modal)
        dialog = modal.get();
    ASSERT_NE(dialog, nullptr);
    dialog->show();
    QLineEdit* field = edit(dialog, c.field);
    ASSERT_NE(field, nullptr);
    field->setText(c.text);

    if (modal)
        modal->accept();
    else
        press(dialog, kind == "interpolate" ? 109 : 131);

    EXPECT_EQ(prompter.texts(), QStringList{c.message});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(sink.lines.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, AnalysisValidationTest,
    ::testing::Values(
        ValidationCase{"polynomial", 118, "0", "Please enter an integer between 1 and 200."},
        ValidationCase{"polynomial", 118, "-1", "Please enter a positive integer."},
        ValidationCase{"polynomial", 121, "30001", "Please enter an integer between 1 and 30000."},
        ValidationCase{"polynomial", 123, "-1.5e10",
                       "Please enter a number between -10000000000 and 10000000000."},
        ValidationCase{"fit", 128, "10001", "Please enter an integer between 1 and 10000."},
        ValidationCase{"fit", 127, "x", "Please enter a number."},
        ValidationCase{"smooth", 135, "10", "Please enter an integer between 3 and 9."},
        ValidationCase{"interpolate", 106, "1e101",
                       "Please enter a number between -1e+100 and 1e+100."},
        // The order is bounded by the 5 points of the data set.
        ValidationCase{"interpolate", 107, "6", "Please enter an integer between 1 and 5."},
        ValidationCase{"interpolate", 107, "1.5", "Please enter an integer."},
        ValidationCase{"integrate", 133, "-2e100",
                       "Please enter a number between -1e+100 and 1e+100."}));

TEST_F(AnalysisDialogsTest, PolynomialFitTakesTheDataXWithoutReadingTheCountAndOrdersTheLimits)
{
    TraceAnalysis::FitRequest request;
    request.xStart = 1.0;
    request.xEnd = 2.0;
    PolynomialFitDialog dialog(request);
    EXPECT_EQ(edit(&dialog, 118)->text(), "1");
    EXPECT_EQ(edit(&dialog, 121)->text(), "60");
    edit(&dialog, 118)->setText("3");
    dialog.findChild<QRadioButton*>("button120")->setChecked(true);
    EXPECT_FALSE(edit(&dialog, 121)->isEnabled());
    edit(&dialog, 121)->setText("junk");
    edit(&dialog, 123)->setText("5");
    edit(&dialog, 125)->setText("-1");
    dialog.accept();
    EXPECT_TRUE(prompter.texts().isEmpty());
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.request().order, 3u);
    EXPECT_TRUE(dialog.request().useDataX);
    EXPECT_EQ(dialog.request().pointCount, 60u);
    EXPECT_EQ(dialog.request().xStart, -1.0);
    EXPECT_EQ(dialog.request().xEnd, 5.0);
}

// A data set deleted while the dialog is open is dropped at the next Interp; with none left the
// dialog closes itself.
TEST_F(AnalysisDialogsTest, InterpolateDropsDeletedDataSetsAndClosesWhenNoneIsLeft)
{
    Trace* lines = addTrace("lines.dat", "0 0\n1 2\n2 4\n3 6\n");
    Trace* squares = addTrace("squares.dat", "0 0\n1 1\n2 4\n3 9\n4 16\n");
    ASSERT_TRUE(lines && squares);
    TestWindow view(&doc);
    QPointer<InterpolateDataDialog> dialog = open<InterpolateDataDialog>(view);
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->dataSetBox()->count(), 2);
    Trace* first = dialog->dataSetBox()->currentText() == lines->GetName() ? lines : squares;
    Trace* second = first == lines ? squares : lines;
    const QString secondName = second->GetName();
    ASSERT_TRUE(doc.DeleteObject(first));
    doc.Refresh();

    edit(dialog, 106)->setText("2.5");
    press(dialog, 109);
    ASSERT_EQ(dialog->dataSetBox()->count(), 1);
    EXPECT_EQ(dialog->dataSetBox()->currentText(), secondName);
    const double y = TraceAnalysis::interpolate(*second, 2.5, 2);
    EXPECT_EQ(dialog->resultLabel()->text(), NumberFormat::g(y));
    EXPECT_EQ(sink.lines, TraceAnalysis::interpolationReport(secondName, 2, 2.5, y));
    EXPECT_TRUE(second->GetMarker().has_value());
    press(dialog, 109);
    EXPECT_TRUE(second->GetMarker().has_value()) << "the same point again keeps its marker";

    sink.lines.clear();
    ASSERT_TRUE(doc.DeleteObject(second));
    doc.Refresh();
    press(dialog, 109);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(sink.lines.isEmpty());
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(AnalysisDialogsTest, ClosingInterpolateTakesItsMarkerAway)
{
    Trace* trace = addTrace("squares.dat", "0 0\n1 1\n2 4\n3 9\n4 16\n");
    ASSERT_NE(trace, nullptr);
    TestWindow view(&doc);
    QPointer<InterpolateDataDialog> dialog = open<InterpolateDataDialog>(view);
    ASSERT_TRUE(dialog);
    edit(dialog, 106)->setText("1.5");
    press(dialog, 109);
    EXPECT_TRUE(trace->GetMarker().has_value());
    dialog->close();
    EXPECT_FALSE(trace->GetMarker().has_value());
}

TEST_F(AnalysisDialogsTest, IntegrateStartsAtTheFocusRectangleEdges)
{
    Trace* trace = addTrace("squares.dat", "0 0\n1 1\n2 4\n3 9\n4 16\n");
    ASSERT_NE(trace, nullptr);
    TestWindow view(&doc, 800, 600);
    const Rect plot = trace->GetRect();
    const Rect focus{plot.left + plot.width() / 4, plot.top + 10, plot.right - plot.width() / 5,
                     plot.bottom - 10};
    view.setFocusRect(focus);
    IntegrateDataDialog* dialog = open<IntegrateDataDialog>(view);
    ASSERT_NE(dialog, nullptr);

    const double start = trace->DeviceToData(QPoint(focus.left, focus.top)).x();
    const double end = trace->DeviceToData(QPoint(focus.right, focus.top)).x();
    ASSERT_LT(0.5, start);
    ASSERT_LT(start, end);
    ASSERT_LT(end, 3.5);
    EXPECT_EQ(edit(dialog, 132)->text(), DialogValidation::text(start));
    EXPECT_EQ(edit(dialog, 133)->text(), DialogValidation::text(end));

    double s = 0.0, e = 0.0;
    ASSERT_TRUE(NumberFormat::parseDouble(edit(dialog, 132)->text(), &s));
    ASSERT_TRUE(NumberFormat::parseDouble(edit(dialog, 133)->text(), &e));
    press(dialog, 131);
    const double area = TraceAnalysis::integrate(*trace, s, e);
    EXPECT_EQ(dialog->resultLabel()->text(), TraceAnalysis::areaText(area));
    EXPECT_EQ(sink.lines, TraceAnalysis::integrationReport(trace->GetName(), s, e, area));
}

TEST_F(AnalysisDialogsTest, IntegrateLimitsStartAtZeroWithoutAFocusRectangle)
{
    ASSERT_NE(addTrace("squares.dat", "0 0\n1 1\n2 4\n3 9\n4 16\n"), nullptr);
    TestWindow view(&doc);
    IntegrateDataDialog* dialog = open<IntegrateDataDialog>(view);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(edit(dialog, 132)->text(), "0");
    EXPECT_EQ(edit(dialog, 133)->text(), "0");
}

} // namespace
