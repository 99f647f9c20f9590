#pragma once

#include "doc/ui/DataSetDialog.h"

#include <QPoint>
#include <optional>

class QLineEdit;

// The Interpolate Data dialog: reads off y at an x of the chosen data set with a polynomial of
// the given order through the neighbouring points, marks the point on the trace and writes the
// result to the log. Several may be open at once.
class InterpolateDataDialog : public DataSetDialog
{
    Q_OBJECT

public:
    InterpolateDataDialog(PlotDocument& doc, PageView& view, QWidget* owner);

    void done(int result) override;

protected:
    void run() override;

private:
    // Takes away the marker this dialog placed, if its trace still shows it.
    void removeMarker();

    QLineEdit* x_;
    QLineEdit* order_;
    Trace* marked_ = nullptr; // not owned; may have left the page
    std::optional<QPoint> placed_;
    double markX_ = 0.0;
    double markY_ = 0.0;
};
