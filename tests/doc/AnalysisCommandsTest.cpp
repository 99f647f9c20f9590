#include "DocTestSupport.h"

#include "data/ColumnFile.h"
#include "data/DataColumn.h"
#include "doc/AnalysisEditors.h"
#include "platform/LogSink.h"
#include "platform/Strings.h"
#include "traces/MemTrace.h"

#include <cmath>
#include <functional>
#include <sstream>

namespace {

using TraceAnalysis::FitRequest;

// Dialogs that change the request as scripted and answer OK unless told otherwise.
class ScriptedAnalysisEditors : public AnalysisEditors
{
public:
    bool polynomialFit(FitRequest& request) override { return answer(request, {}); }
    bool fit(FitRequest& request, const QString& title) override { return answer(request, title); }
    bool smoothWindow(unsigned& windowSize, unsigned maxWindow) override
    {
        offeredMaxWindow = maxWindow;
        windowSize = window;
        return ok;
    }
    void openInterpolate(PlotDocument&, PageView*) override {}
    void openIntegrate(PlotDocument&, PageView*) override {}

    std::function<void(FitRequest&)> edit;
    bool ok = true;
    unsigned window = 5;
    unsigned offeredMaxWindow = 0;
    QList<FitRequest> offered;
    QStringList titles;

private:
    bool answer(FitRequest& request, const QString& title)
    {
        offered.append(request);
        titles.append(title);
        if (edit)
            edit(request);
        return ok;
    }
};

class RecordingLog : public LogSink
{
public:
    void appendLine(const QString& text) override { lines.append(text); }
    QStringList lines;
};

std::string table(int first, int last, const std::function<double(double)>& f)
{
    std::ostringstream out;
    out.precision(17);
    for (int i = first; i <= last; ++i)
        out << i << ' ' << f(i) << '\n';
    return out.str();
}

class AnalysisCommandsTest : public DocFixture
{
protected:
    // Plots a new data set and makes it the one the commands choose.
    Trace* plot(const std::string& text, const QString& name = QStringLiteral("run1"))
    {
        const int before = traceCount();
        open(writeFile(name + QStringLiteral(".dat"), text));
        EXPECT_EQ(traceCount(), before + 1);
        Trace* trace = traceAt(traceCount() - 1);
        trace->SetName(name);
        choosers.choice = name;
        return trace;
    }
    MemTrace* result() const
    {
        return traceCount() > 1 ? dynamic_cast<MemTrace*>(traceAt(traceCount() - 1)) : nullptr;
    }
    std::vector<double> values(const DataColumn* column) const
    {
        return std::vector<double>(column->GetData(), column->GetData() + column->GetSize());
    }

    ScriptedDocumentEditors choosers;
    ScriptedAnalysisEditors editors;
    Installed<AnalysisEditors>::Scope editorsScope{&editors};
    RecordingLog log;
    Installed<LogSink>::Scope logScope{&log};
};

TEST_F(AnalysisCommandsTest, PolynomialFitReportsItsCoefficientsAndAddsTheCurve)
{
    plot(table(0, 10, [](double x) { return 3 * x * x; }));
    ASSERT_TRUE(doc.onCommand(32788));
    // The dialog opens on the data's x extent.
    ASSERT_EQ(editors.offered.size(), 1);
    EXPECT_EQ(editors.offered[0].xStart, 0.0);
    EXPECT_EQ(editors.offered[0].xEnd, 10.0);
    EXPECT_EQ(editors.offered[0].pointCount, 60u);
    editors.edit = [](FitRequest& r) { r.order = 2; };
    ASSERT_TRUE(doc.onCommand(32788));
    ASSERT_EQ(log.lines.size(), 4 + 5);
    log.lines.remove(0, 4);
    EXPECT_EQ(log.lines[0], "run1-- polynomial fit of order 2");
    EXPECT_TRUE(log.lines[1].startsWith("chi square = ")) << log.lines[1].toStdString();
    EXPECT_LT(std::fabs(log.lines[1].mid(13).toDouble()), 1e-18);
    EXPECT_EQ(log.lines[4], "c[2] = 3");
    for (int k : {2, 3})
        EXPECT_LT(std::fabs(log.lines[k].mid(7).toDouble()), 1e-9) << log.lines[k].toStdString();

    MemTrace* curve = result();
    ASSERT_TRUE(curve);
    EXPECT_TRUE(curve->GetName().endsWith(" (fit)"));
    EXPECT_NE(curve->GetName(), "run1 (fit)");
    // 60 even points over [0, 10] in 59 equal steps.
    const std::vector<double> xs = values(curve->GetXValues());
    ASSERT_EQ(xs.size(), 60u);
    EXPECT_EQ(xs.front(), 0.0);
    EXPECT_DOUBLE_EQ(xs.back(), 10.0);
    EXPECT_DOUBLE_EQ(xs[1], 10.0 / 59);
    EXPECT_NEAR(curve->GetYValues()->GetAt(59), 300.0, 1e-9);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(AnalysisCommandsTest, FitRangeSelectsFromThePointBelowTheStart)
{
    plot(table(0, 10, [](double x) { return x; }));
    editors.edit = [](FitRequest& r) {
        r.xStart = 5; // reversed limits are swapped
        r.xEnd = 2;
        r.useDataX = true;
    };
    ASSERT_TRUE(doc.onCommand(32788));
    ASSERT_TRUE(result());
    EXPECT_EQ(values(result()->GetXValues()), (std::vector<double>{1, 2, 3, 4}));

    // A range wholly below the data takes the first point; equal limits make nothing.
    editors.edit = [](FitRequest& r) {
        r.xStart = -9;
        r.xEnd = -8;
        r.useDataX = true;
    };
    ASSERT_TRUE(doc.onCommand(32788));
    EXPECT_EQ(values(result()->GetXValues()), (std::vector<double>{0}));
    const int before = traceCount();
    editors.edit = [](FitRequest& r) { r.xStart = r.xEnd = 3; };
    ASSERT_TRUE(doc.onCommand(32788));
    EXPECT_EQ(traceCount(), before);
}

TEST_F(AnalysisCommandsTest, OrderAboveThePointCountIsLowered)
{
    plot("1 2\n2 3\n3 5\n4 4\n");
    editors.edit = [](FitRequest& r) { r.order = 10; };
    ASSERT_TRUE(doc.onCommand(32788));
    ASSERT_EQ(log.lines.size(), 7);
    EXPECT_EQ(log.lines[0], "run1-- polynomial fit of order 4");
    for (const QString& line : std::as_const(log.lines))
        EXPECT_FALSE(line.contains("nan") || line.contains("inf")) << line.toStdString();
}

TEST_F(AnalysisCommandsTest, LogarithmicModelsAskBeforeUsingAbsoluteValues)
{
    plot(table(1, 10, [](double x) { return 2 * x * x * x; }));
    ASSERT_TRUE(doc.onCommand(32789));
    EXPECT_EQ(editors.titles.last(), "Power Fit");
    EXPECT_EQ(log.lines.mid(0, 2), (QStringList{"run1-- fit to y = a x^n", "a= 2 n= 3"}));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(result()->GetName(), "run1 (fit)");

    // One negative y: asked once; No makes nothing.
    plot("1 2\n2 -16\n3 54\n4 128\n", QStringLiteral("neg"));
    log.lines.clear();
    prompter.pushAnswer(Prompter::Answer::No);
    const int before = traceCount();
    editors.edit = nullptr;
    doc.onCommand(32789);
    EXPECT_EQ(prompter.texts(), QStringList{loadString(Str::AskAbsoluteValues)});
    EXPECT_EQ(traceCount(), before);
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(AnalysisCommandsTest, ExponentialAndGaussianRecoverExactModels)
{
    plot(table(-5, 5, [](double x) { return 4 * std::exp(-0.5 * (x - 1) * (x - 1)); }));
    ASSERT_TRUE(doc.onCommand(32792));
    EXPECT_EQ(editors.titles.last(), "Gaussian Fit");
    ASSERT_EQ(log.lines.size(), 3);
    EXPECT_EQ(log.lines[0], "run1-- fit to y = a exp(-b^2 (x-xo)^2)");
    EXPECT_EQ(log.lines[1], "a= 4 b^2= 0.5 xo =1");

    log.lines.clear();
    plot(table(0, 10, [](double x) { return 1.5e7 * std::exp(-0.25 * x); }), QStringLiteral("e"));
    ASSERT_TRUE(doc.onCommand(32790));
    EXPECT_EQ(log.lines.mid(0, 2),
              (QStringList{"e-- fit to y = a exp(bx)", "a= 1.5e+007 b= -0.25"}));
}

TEST_F(AnalysisCommandsTest, SmoothingWindowMustBeOddAndFitTheData)
{
    plot(table(0, 19, [](double x) { return x * x; }));
    editors.window = 4;
    prompter.pushAnswer(Prompter::Answer::Cancel);
    ASSERT_TRUE(doc.onCommand(32799));
    EXPECT_EQ(editors.offeredMaxWindow, 9u); // 20 points: windows 3 .. 9
    EXPECT_EQ(prompter.texts(), QStringList{loadString(Str::AskOddWindow)});
    EXPECT_EQ(traceCount(), 1);

    prompter.pushAnswer(Prompter::Answer::Ok);
    ASSERT_TRUE(doc.onCommand(32799));
    ASSERT_TRUE(result());
    EXPECT_EQ(result()->GetName(), "run1 (sm)");
    EXPECT_DOUBLE_EQ(result()->GetYValues()->GetAt(5), (16 + 25 + 36) / 3.0);
    EXPECT_DOUBLE_EQ(result()->GetYValues()->GetAt(0), 0.5);

    // Too few points: told so, no dialog.
    plot("1 1\n2 2\n3 3\n", QStringLiteral("few"));
    editors.offeredMaxWindow = 0;
    prompter.clear();
    ASSERT_TRUE(doc.onCommand(32799));
    EXPECT_EQ(editors.offeredMaxWindow, 0u);
    EXPECT_EQ(prompter.texts(), QStringList{loadString(Str::TooFewPointsToSmooth)});
}

TEST_F(AnalysisCommandsTest, WriteDataWritesThePointsThatHaveBothValues)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::to_string(i) + " " + std::to_string(i * 1000000) + "\n";
    Trace* trace = plot(text);
    trace->GetFile()->GetColumn(trace->GetYColumn() - 1)->SetSize(98);
    const QString out = path("out.dat");
    prompter.pushFileName(out);
    ASSERT_TRUE(doc.onCommand(32798));
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.size(), 99); // 98 lines and the empty rest after the last line end
    EXPECT_EQ(lines[2], "2  2e+006");

    // A file that cannot be written is reported and the old one stays.
    prompter.clear();
    prompter.pushFileName(path("missing/out.dat"));
    ASSERT_TRUE(doc.onCommand(32798));
    EXPECT_EQ(prompter.texts().size(), 1);
}

} // namespace
