#pragma once

#include "doc/TraceAnalysis.h"

class PlotDocument;
class Trace;

// The Data menu's analysis commands on a plot document: choose the data set, ask through the
// analysis dialogs, add the result to the page and write the report to the log.
namespace AnalysisCommands {

// The data set a command works on: the only one, or the one chosen in Select Data Set. Null
// on Cancel or when the document has none.
Trace* chooseDataSet(PlotDocument& doc);

void fit(PlotDocument& doc, TraceAnalysis::FitModel model);
void smooth(PlotDocument& doc);
void writeData(PlotDocument& doc);
void interpolate(PlotDocument& doc);
void integrate(PlotDocument& doc);

} // namespace AnalysisCommands
