#pragma once

#include "doc/TraceAnalysis.h"

#include <QDialog>

class DialogValidation;
class QFormLayout;
class QLineEdit;
class QRadioButton;

// The Fit dialog of the power, exponential and Gaussian fits, titled by its caller: the curve at
// even x spacing or at the data's x values, its point count and the x range. The point count
// is not read (and its field is disabled) while the data's x values are chosen.
class FitDialog : public QDialog
{
    Q_OBJECT

public:
    FitDialog(const TraceAnalysis::FitRequest& request, const QString& title,
              QWidget* parent = nullptr);

    // The confirmed request, its limits in ascending order; the initial one until OK succeeds.
    const TraceAnalysis::FitRequest& request() const { return request_; }

    void accept() override;

protected:
    struct Controls
    {
        int useDataX;
        int evenX;
        int points;
        int xStart;
        int xEnd;
        unsigned maxPoints;
    };

    FitDialog(const TraceAnalysis::FitRequest& request, const QString& title,
              const Controls& controls, QWidget* parent);

    // Takes the fields into the request in their order; a derived dialog reads its own fields
    // first.
    virtual void read(DialogValidation& dv, TraceAnalysis::FitRequest& request);
    // Puts the common fields in the tab order right after a field of the derived dialog.
    void chainTabsAfter(QWidget* field);

    QFormLayout* form_;

private:
    TraceAnalysis::FitRequest request_;
    unsigned maxPoints_;
    QRadioButton* useDataX_;
    QRadioButton* evenX_;
    QLineEdit* points_;
    QLineEdit* xStart_;
    QLineEdit* xEnd_;
};
