#include "doc/DocumentCommands.h"

#include "doc/AnalysisCommands.h"
#include "doc/PlotDocument.h"
#include "doc/UndoHistory.h"
#include "page/PageView.h"
#include "platform/Exceptions.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"

#include <QHash>
#include <new>

namespace {

QHash<int, CommandHandler>& handlers()
{
    static QHash<int, CommandHandler> installed;
    return installed;
}

bool isOwnCommand(int id)
{
    switch (id) {
    case Cmd::OpenDataFile:
    case Cmd::ImportDataFile:
    case Cmd::FileSettings:
    case Cmd::FormatAxes:
    case Cmd::FormatObject:
    case Cmd::RereadData:
    case Cmd::CenterPage:
    case Cmd::ErrorBars:
    case Cmd::Interpolate:
    case Cmd::FitPolynomial:
    case Cmd::FitPower:
    case Cmd::FitExponential:
    case Cmd::FitGaussian:
    case Cmd::Integrate:
    case Cmd::WriteData:
    case Cmd::Smooth:
        return true;
    default:
        return false;
    }
}

void runOwnCommand(int id, PlotDocument& doc)
{
    switch (id) {
    case Cmd::OpenDataFile:
        doc.OpenDataFile();
        break;
    case Cmd::ImportDataFile:
        doc.ImportDataFile();
        break;
    case Cmd::FileSettings:
        doc.FileSettings();
        break;
    case Cmd::FormatAxes:
        doc.FormatAxes();
        break;
    case Cmd::FormatObject:
        doc.FormatObject();
        break;
    case Cmd::RereadData:
        doc.RereadData();
        break;
    case Cmd::CenterPage:
        doc.CenterPage();
        break;
    case Cmd::ErrorBars:
        doc.ErrorBars();
        break;
    case Cmd::Interpolate:
        AnalysisCommands::interpolate(doc);
        break;
    case Cmd::FitPolynomial:
        AnalysisCommands::fit(doc, TraceAnalysis::FitModel::Polynomial);
        break;
    case Cmd::FitPower:
        AnalysisCommands::fit(doc, TraceAnalysis::FitModel::Power);
        break;
    case Cmd::FitExponential:
        AnalysisCommands::fit(doc, TraceAnalysis::FitModel::Exponential);
        break;
    case Cmd::FitGaussian:
        AnalysisCommands::fit(doc, TraceAnalysis::FitModel::Gaussian);
        break;
    case Cmd::Integrate:
        AnalysisCommands::integrate(doc);
        break;
    case Cmd::WriteData:
        AnalysisCommands::writeData(doc);
        break;
    case Cmd::Smooth:
        AnalysisCommands::smooth(doc);
        break;
    default:
        break;
    }
}

} // namespace

const QList<int>& documentCommandIds()
{
    static const QList<int> ids{
        Cmd::OpenDataFile,  Cmd::FileSettings, Cmd::FormatAxes,     Cmd::FormatObject,
        Cmd::Interpolate,   Cmd::DataZoom,     Cmd::DataUnzoom,     Cmd::DataReadout,
        Cmd::FitPolynomial, Cmd::FitPower,     Cmd::FitExponential, Cmd::FitGaussian,
        Cmd::RereadData,    Cmd::Integrate,    Cmd::WriteData,      Cmd::Smooth,
        Cmd::CenterPage,    Cmd::ErrorBars,    Cmd::ImportDataFile,
    };
    return ids;
}

bool commandRule(int id, const PlotDocument& doc, const PageView* activeView)
{
    switch (id) {
    case Cmd::OpenDataFile:
    case Cmd::ImportDataFile:
    case Cmd::FileSettings:
    case Cmd::FormatAxes:
    case Cmd::FormatObject:
    case Cmd::CenterPage:
        return true;
    case Cmd::DataZoom:
        return activeView && !activeView->focusRect().isNull() && !activeView->hasSelection();
    case Cmd::DataUnzoom:
        return doc.CanUnzoom();
    case Cmd::Interpolate:
    case Cmd::DataReadout:
    case Cmd::FitPolynomial:
    case Cmd::FitPower:
    case Cmd::FitExponential:
    case Cmd::FitGaussian:
    case Cmd::RereadData:
    case Cmd::Integrate:
    case Cmd::WriteData:
    case Cmd::Smooth:
    case Cmd::ErrorBars:
        return doc.HoldsTrace();
    default:
        return false;
    }
}

bool isCommandEnabled(int id, const PlotDocument& doc, const PageView* activeView)
{
    if (!isOwnCommand(id) && !handlers().contains(id))
        return false;
    return commandRule(id, doc, activeView);
}

bool onCommand(int id, PlotDocument& doc)
{
    CommandHandler handler;
    if (!isOwnCommand(id)) {
        handler = handlers().value(id);
        if (!handler)
            return false;
    }
    UndoAction action(&doc, UndoHistory::commandStepName(id));
    try {
        if (handler)
            handler(doc);
        else
            runOwnCommand(id, doc);
    } catch (const std::bad_alloc&) {
        action.fail();
        ReportCommandException();
    } catch (const PlotvaneException&) {
        action.fail();
        ReportCommandException();
    }
    return true;
}

void setCommandHandler(int id, CommandHandler handler)
{
    if (handler)
        handlers().insert(id, std::move(handler));
    else
        handlers().remove(id);
}
