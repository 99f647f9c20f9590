#include "doc/AnalysisCommands.h"

#include "doc/AnalysisEditors.h"
#include "doc/DocumentEditors.h"
#include "doc/DocumentView.h"
#include "doc/PlotDocument.h"
#include "page/PageView.h"
#include "platform/Exceptions.h"
#include "platform/LogSink.h"
#include "platform/Prompter.h"
#include "platform/ShowFileMessage.h"
#include "platform/StringObMap.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"
#include "traces/MemTrace.h"

namespace AnalysisCommands {

namespace {

void addToPage(PlotDocument& doc, std::unique_ptr<MemTrace> trace)
{
    doc.AddObject(std::move(trace));
    doc.Refresh();
    doc.MarkChanged();
}

QString fitTitle(TraceAnalysis::FitModel model)
{
    switch (model) {
    case TraceAnalysis::FitModel::Power:
        return loadString(Str::PowerFitTitle);
    case TraceAnalysis::FitModel::Exponential:
        return loadString(Str::ExponentialFitTitle);
    default:
        return loadString(Str::GaussianFitTitle);
    }
}

} // namespace

Trace* chooseDataSet(PlotDocument& doc)
{
    const std::unique_ptr<StringObMap> traces = doc.GetTraceNames();
    Persistent* chosen = nullptr;
    if (traces->size() == 1) {
        chosen = traces->begin()->value;
    } else if (DocumentEditors* editors = DocumentEditors::instance()) {
        chosen = editors->chooseDataSet(*traces);
    }
    auto* trace = dynamic_cast<Trace*>(chosen);
    return trace && doc.pageObjects().contains(trace) ? trace : nullptr;
}

void fit(PlotDocument& doc, TraceAnalysis::FitModel model)
{
    AnalysisEditors* editors = AnalysisEditors::instance();
    if (!editors)
        return;
    Trace* trace = chooseDataSet(doc);
    if (!trace)
        return;
    TraceAnalysis::FitRequest request;
    const PageView* view = doc.GetActiveView();
    TraceAnalysis::initialFitRange(*trace, view ? view->focusRect() : Rect{}, request.xStart,
                                   request.xEnd);
    const bool confirmed = model == TraceAnalysis::FitModel::Polynomial
                               ? editors->polynomialFit(request)
                               : editors->fit(request, fitTitle(model));
    if (!confirmed)
        return;
    TraceAnalysis::Result result;
    {
        WaitCursor wait;
        result = TraceAnalysis::fit(*trace, model, request);
    }
    if (!result.trace)
        return;
    LogSink::append(result.report);
    addToPage(doc, std::move(result.trace));
}

void smooth(PlotDocument& doc)
{
    AnalysisEditors* editors = AnalysisEditors::instance();
    if (!editors)
        return;
    Trace* trace = chooseDataSet(doc);
    if (!trace)
        return;
    const unsigned maxWindow = TraceAnalysis::largestSmoothingWindow(trace->GetNumPoints());
    if (maxWindow < 3) {
        Prompter::instance().message(loadString(Str::TooFewPointsToSmooth), QString(),
                                     Prompter::Icon::Exclamation);
        return;
    }
    unsigned window = 5;
    if (!editors->smoothWindow(window, maxWindow))
        return;
    if (window % 2 == 0) {
        if (Prompter::instance().question(loadString(Str::AskOddWindow), QString(),
                                          Prompter::Buttons::OkCancel,
                                          Prompter::Icon::Question) != Prompter::Answer::Ok)
            return;
        --window;
    }
    std::unique_ptr<MemTrace> smoothed;
    {
        WaitCursor wait;
        smoothed = TraceAnalysis::smooth(*trace, window);
    }
    if (smoothed)
        addToPage(doc, std::move(smoothed));
}

void writeData(PlotDocument& doc)
{
    Trace* trace = chooseDataSet(doc);
    if (!trace)
        return;
    const QString path = Prompter::instance().saveFileName(
        QString(), QString(), loadString(Str::WriteDataFilter), QStringLiteral("dat"));
    if (path.isEmpty())
        return;
    try {
        WaitCursor wait;
        trace->WriteData(path);
    } catch (const FileException&) {
        ReportCommandException();
    }
}

void interpolate(PlotDocument& doc)
{
    if (AnalysisEditors* editors = AnalysisEditors::instance())
        editors->openInterpolate(doc, doc.FirstView());
}

void integrate(PlotDocument& doc)
{
    if (AnalysisEditors* editors = AnalysisEditors::instance())
        editors->openIntegrate(doc, doc.GetActiveView());
}

} // namespace AnalysisCommands
