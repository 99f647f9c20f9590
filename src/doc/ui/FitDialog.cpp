#include "doc/ui/FitDialog.h"

#include "doc/ui/UnsignedField.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr double limit = 1e10;

} // namespace

FitDialog::FitDialog(const TraceAnalysis::FitRequest& request, const QString& title,
                     QWidget* parent)
    : FitDialog(request, title, {120, 129, 128, 126, 127, 10000}, parent)
{}

FitDialog::FitDialog(const TraceAnalysis::FitRequest& request, const QString& title,
                     const Controls& controls, QWidget* parent)
    : QDialog(parent), form_(new QFormLayout), request_(request), maxPoints_(controls.maxPoints),
      useDataX_(named(new QRadioButton(tr("Use X data")), "button", controls.useDataX)),
      evenX_(named(new QRadioButton(tr("Even X values")), "button", controls.evenX)),
      points_(named(new QLineEdit, "edit", controls.points)),
      xStart_(named(new QLineEdit, "edit", controls.xStart)),
      xEnd_(named(new QLineEdit, "edit", controls.xEnd))
{
    setWindowTitle(title);

    auto* choice = new QVBoxLayout;
    choice->addWidget(evenX_);
    choice->addWidget(useDataX_);
    form_->addRow(choice);
    form_->addRow(tr("No. of points:"), points_);
    form_->addRow(tr("X Start:"), xStart_);
    form_->addRow(tr("X End:"), xEnd_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &FitDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FitDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addWidget(buttons);

    (request.useDataX ? useDataX_ : evenX_)->setChecked(true);
    points_->setEnabled(!request.useDataX);
    connect(evenX_, &QRadioButton::toggled, points_, &QLineEdit::setEnabled);
    DialogValidation::show(points_, request.pointCount);
    DialogValidation::show(xStart_, request.xStart);
    DialogValidation::show(xEnd_, request.xEnd);
}

void FitDialog::chainTabsAfter(QWidget* field)
{
    QWidget* previous = field;
    for (QWidget* next : {static_cast<QWidget*>(evenX_), static_cast<QWidget*>(useDataX_),
                          static_cast<QWidget*>(points_), static_cast<QWidget*>(xStart_),
                          static_cast<QWidget*>(xEnd_)}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void FitDialog::read(DialogValidation& dv, TraceAnalysis::FitRequest& request)
{
    request.useDataX = useDataX_->isChecked();
    // The data's own x values need no count, so a stale count in the greyed field is no error.
    if (!request.useDataX)
        unsignedInRange(dv, points_, request.pointCount, 1, maxPoints_);
    dv.number(xStart_, request.xStart, -limit, limit);
    dv.number(xEnd_, request.xEnd, -limit, limit);
}

void FitDialog::accept()
{
    TraceAnalysis::FitRequest request = request_;
    DialogValidation dv;
    read(dv, request);
    if (!dv.ok())
        return;
    if (request.xStart > request.xEnd)
        std::swap(request.xStart, request.xEnd);
    request_ = request;
    QDialog::accept();
}
