#pragma once

#include "doc/AnalysisEditors.h"

// The analysis commands' dialogs: the fit and smooth dialogs modal over the program's active
// window, Interpolate Data and Integrate Data modeless over the view. The application installs
// one at start-up.
class AnalysisDialogs : public AnalysisEditors
{
public:
    bool polynomialFit(TraceAnalysis::FitRequest& request) override;
    bool fit(TraceAnalysis::FitRequest& request, const QString& title) override;
    bool smoothWindow(unsigned& windowSize, unsigned maxWindow) override;
    // Nothing opens without a view window to own the dialog.
    void openInterpolate(PlotDocument& doc, PageView* view) override;
    void openIntegrate(PlotDocument& doc, PageView* view) override;
};
