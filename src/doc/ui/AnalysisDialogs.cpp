#include "doc/ui/AnalysisDialogs.h"

#include "doc/ui/FitDialog.h"
#include "doc/ui/IntegrateDataDialog.h"
#include "doc/ui/InterpolateDataDialog.h"
#include "doc/ui/PolynomialFitDialog.h"
#include "doc/ui/SmoothDialog.h"
#include "page/PageView.h"

#include <QApplication>

namespace {

bool runFit(FitDialog& dialog, TraceAnalysis::FitRequest& request)
{
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request = dialog.request();
    return true;
}

template <class Dialog> void openOver(PlotDocument& doc, PageView* view)
{
    auto* owner = dynamic_cast<QWidget*>(view);
    if (!owner)
        return;
    // Owned by the view's window; it deletes itself when closed.
    auto* dialog = new Dialog(doc, *view, owner);
    dialog->show();
}

} // namespace

bool AnalysisDialogs::polynomialFit(TraceAnalysis::FitRequest& request)
{
    PolynomialFitDialog dialog(request, QApplication::activeWindow());
    return runFit(dialog, request);
}

bool AnalysisDialogs::fit(TraceAnalysis::FitRequest& request, const QString& title)
{
    FitDialog dialog(request, title, QApplication::activeWindow());
    return runFit(dialog, request);
}

bool AnalysisDialogs::smoothWindow(unsigned& windowSize, unsigned maxWindow)
{
    SmoothDialog dialog(windowSize, maxWindow, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    windowSize = dialog.windowSize();
    return true;
}

void AnalysisDialogs::openInterpolate(PlotDocument& doc, PageView* view)
{
    openOver<InterpolateDataDialog>(doc, view);
}

void AnalysisDialogs::openIntegrate(PlotDocument& doc, PageView* view)
{
    openOver<IntegrateDataDialog>(doc, view);
}
