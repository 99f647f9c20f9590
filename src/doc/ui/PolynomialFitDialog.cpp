#include "doc/ui/PolynomialFitDialog.h"

#include "doc/ui/UnsignedField.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"

#include <QFormLayout>
#include <QLineEdit>

PolynomialFitDialog::PolynomialFitDialog(const TraceAnalysis::FitRequest& request, QWidget* parent)
    : FitDialog(request, tr("Polynomial Fit"), {120, 119, 121, 123, 125, 30000}, parent),
      order_(named(new QLineEdit, "edit", 118))
{
    form_->insertRow(0, tr("Order:"), order_);
    DialogValidation::show(order_, request.order);
    chainTabsAfter(order_);
}

void PolynomialFitDialog::read(DialogValidation& dv, TraceAnalysis::FitRequest& request)
{
    unsignedInRange(dv, order_, request.order, 1, 200);
    FitDialog::read(dv, request);
}
