#include "doc/ui/IntegrateDataDialog.h"

#include "doc/TraceAnalysis.h"
#include "page/PageView.h"
#include "platform/LogSink.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"
#include "traces/Trace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

IntegrateDataDialog::IntegrateDataDialog(PlotDocument& doc, PageView& view, QWidget* owner)
    : DataSetDialog(doc, view, owner, tr("Integrate Data"), tr("Integrate"), {130, 134, 131}),
      startX_(named(new QLineEdit, "edit", 132)), endX_(named(new QLineEdit, "edit", 133))
{
    form_->addRow(tr("X Start:"), startX_);
    form_->addRow(tr("X End:"), endX_);
    form_->addRow(tr("Area:"), result_);

    double start = 0.0;
    double end = 0.0;
    const Rect focus = view.focusRect();
    Trace* trace = dataSetBox()->count() > 0 ? currentTrace() : nullptr;
    if (trace && !focus.isNull()) {
        // Both edges are read at the rectangle's top; the trace gives data values, also on a
        // logarithmic axis.
        start = trace->DeviceToData(QPoint(focus.left, focus.top)).x();
        end = trace->DeviceToData(QPoint(focus.right, focus.top)).x();
    }
    DialogValidation::show(startX_, start);
    DialogValidation::show(endX_, end);
}

void IntegrateDataDialog::run()
{
    Trace* trace = currentTrace();
    if (!trace)
        return;
    double start = 0.0;
    double end = 0.0;
    DialogValidation dv;
    dv.number(startX_, start, -1e100, 1e100);
    dv.number(endX_, end, -1e100, 1e100);
    if (!dv.ok())
        return;

    const double area = TraceAnalysis::integrate(*trace, start, end);
    result_->setText(TraceAnalysis::areaText(area).left(20));
    LogSink::append(TraceAnalysis::integrationReport(trace->GetName(), start, end, area));
}
