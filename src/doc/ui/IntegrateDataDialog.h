#pragma once

#include "doc/ui/DataSetDialog.h"

class QLineEdit;

// The Integrate Data dialog: the area under the chosen data set between two x values, shown
// and written to the log. The limits start at the edges of the view's focus rectangle when it
// has one.
class IntegrateDataDialog : public DataSetDialog
{
    Q_OBJECT

public:
    IntegrateDataDialog(PlotDocument& doc, PageView& view, QWidget* owner);

protected:
    void run() override;

private:
    QLineEdit* startX_;
    QLineEdit* endX_;
};
