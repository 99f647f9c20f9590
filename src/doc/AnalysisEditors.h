#pragma once

#include "doc/TraceAnalysis.h"
#include "platform/Installed.h"

#include <QString>

class PageView;
class PlotDocument;

// The dialogs of the analysis commands. The document's dialog library implements it and the
// application installs it at start-up; tests install scripted editors. With none installed the
// commands that need a dialog do nothing.
class AnalysisEditors
{
public:
    virtual ~AnalysisEditors() = default;

    // The Polynomial Fit dialog on a request (order, point count, limits, x choice); true on OK
    // with the request filled in.
    virtual bool polynomialFit(TraceAnalysis::FitRequest& request) = 0;
    // The Fit dialog of the other models, titled "Power Fit", "Exponential Fit" or "Gaussian
    // Fit"; true on OK.
    virtual bool fit(TraceAnalysis::FitRequest& request, const QString& title) = 0;
    // The Smooth dialog: a window size between 3 and maxWindow; true on OK.
    virtual bool smoothWindow(unsigned& windowSize, unsigned maxWindow) = 0;
    // Opens a new modeless Interpolate Data dialog on the document's data sets, owned by the
    // view (the document's first view).
    virtual void openInterpolate(PlotDocument& doc, PageView* view) = 0;
    // Opens a new modeless Integrate Data dialog on the document's data sets, owned by the
    // view (the active view); its focus rectangle gives the starting limits.
    virtual void openIntegrate(PlotDocument& doc, PageView* view) = 0;

    // The installed editors (not owned), or null.
    static AnalysisEditors* instance() { return Installed<AnalysisEditors>::get(); }
};
