#include "doc/ui/InterpolateDataDialog.h"

#include "doc/PlotDocument.h"
#include "doc/TraceAnalysis.h"
#include "page/PageView.h"
#include "platform/LogSink.h"
#include "platform/NumberFormat.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"
#include "traces/Trace.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

InterpolateDataDialog::InterpolateDataDialog(PlotDocument& doc, PageView& view, QWidget* owner)
    : DataSetDialog(doc, view, owner, tr("Interpolate Data"), tr("Interp"), {105, 108, 109}),
      x_(named(new QLineEdit, "edit", 106)), order_(named(new QLineEdit, "edit", 107))
{
    form_->addRow(tr("X:"), x_);
    form_->addRow(tr("Order:"), order_);
    form_->addRow(tr("Y:"), result_);
    DialogValidation::show(x_, 0.0);
    DialogValidation::show(order_, 2);
}

void InterpolateDataDialog::run()
{
    Trace* trace = currentTrace();
    if (!trace)
        return;
    double x = 0.0;
    int order = 2;
    DialogValidation dv;
    dv.number(x_, x, -1e100, 1e100);
    dv.integer(order_, order, 1, std::min(10, trace->GetNumPoints()));
    if (!dv.ok())
        return;

    const double y = TraceAnalysis::interpolate(*trace, x, order);
    removeMarker();
    trace->DataToDevice(x, y);
    // Asking again for a point already marked takes the marker away; it stays on the answer.
    if (!trace->GetMarker())
        trace->DataToDevice(x, y);
    marked_ = trace;
    placed_ = trace->GetMarker();
    markX_ = x;
    markY_ = y;
    result_->setText(NumberFormat::g(y).left(19));
    LogSink::append(TraceAnalysis::interpolationReport(trace->GetName(), order, x, y));
}

void InterpolateDataDialog::done(int result)
{
    removeMarker();
    DataSetDialog::done(result);
}

void InterpolateDataDialog::removeMarker()
{
    PageView* v = view();
    auto* doc = v ? dynamic_cast<PlotDocument*>(v->document()) : nullptr;
    if (marked_ && doc && doc->GetObjects().contains(marked_) && placed_ &&
        marked_->GetMarker() == placed_)
        marked_->DataToDevice(markX_, markY_);
    marked_ = nullptr;
    placed_.reset();
}
