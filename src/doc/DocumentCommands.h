#pragma once

#include <QList>
#include <functional>

class PageView;
class PlotDocument;

// The commands of the plot menus that the document carries out, by menu id.
namespace Cmd {
enum : int {
    OpenDataFile = 32770,
    FileSettings = 32771,
    FormatAxes = 32772,
    FormatObject = 32773,
    Interpolate = 32782,
    DataZoom = 32785,
    DataUnzoom = 32786,
    DataReadout = 32787,
    FitPolynomial = 32788,
    FitPower = 32789,
    FitExponential = 32790,
    FitGaussian = 32792,
    RereadData = 32795,
    Integrate = 32796,
    WriteData = 32798,
    Smooth = 32799,
    CenterPage = 32802,
    ErrorBars = 32805,
    ImportDataFile = 32812,
};
} // namespace Cmd

// Every document command, ascending.
const QList<int>& documentCommandIds();

// The enabling rule of a command over the document and its active view (may be null).
bool commandRule(int id, const PlotDocument& doc, const PageView* activeView);
// The rule, for commands that someone carries out: the document's own, or those with a
// handler installed. Unknown ids are disabled.
bool isCommandEnabled(int id, const PlotDocument& doc, const PageView* activeView);
// Carries out a command; false when the id is not a document command or has no handler.
// Memory and resource shortages are reported here and end the command.
bool onCommand(int id, PlotDocument& doc);

// The commands whose work belongs to the analysis, zoom and error-bar code install their
// handlers here (an empty function removes one).
using CommandHandler = std::function<void(PlotDocument&)>;
void setCommandHandler(int id, CommandHandler handler);
