#pragma once

#include "doc/ui/DataSetDialog.h"

class QLineEdit;

// The Interpolate Data dialog: reads off y at an x of the chosen data set with a polynomial of
// the given order through the neighbouring points, marks the point on the trace and writes the
// result to the log. Several may be open at once.
class InterpolateDataDialog : public DataSetDialog
{
    Q_OBJECT

public:
    InterpolateDataDialog(PlotDocument& doc, PageView& view, QWidget* owner);

protected:
    void run() override;

private:
    QLineEdit* x_;
    QLineEdit* order_;
};
