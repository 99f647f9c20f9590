#pragma once

#include "doc/ui/FitDialog.h"

// The Polynomial Fit dialog: the Fit dialog with the polynomial's order first.
class PolynomialFitDialog : public FitDialog
{
    Q_OBJECT

public:
    explicit PolynomialFitDialog(const TraceAnalysis::FitRequest& request,
                                 QWidget* parent = nullptr);

protected:
    void read(DialogValidation& dv, TraceAnalysis::FitRequest& request) override;

private:
    QLineEdit* order_;
};
