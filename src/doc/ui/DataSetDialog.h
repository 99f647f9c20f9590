#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

class PageView;
class PlotDocument;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class StringObMap;
class Trace;
class visibleobject;

// A modeless dialog that works on one data set of a document chosen in a combo box: the base
// of the Interpolate Data and Integrate Data dialogs. It keeps its own name-to-trace map, taken
// when it opens, and checks before each use that the chosen trace is still on the page of its
// view. It is a child of the view's window and deletes itself when closed.
class DataSetDialog : public QDialog
{
    Q_OBJECT

public:
    ~DataSetDialog() override;

    QComboBox* dataSetBox() const { return dataSetBox_; }
    // The last result, blank until the action ran.
    QLabel* resultLabel() const { return result_; }

protected:
    struct Controls
    {
        int dataSet;
        int result;
        int action;
    };

    // `owner` is the view as a window; the view must be that same widget.
    DataSetDialog(PlotDocument& doc, PageView& view, QWidget* owner, const QString& title,
                  const QString& actionText, const Controls& controls);

    // The chosen trace, once the data sets that left the page are dropped from the list. Null,
    // with the dialog closing, when none is left.
    Trace* currentTrace();
    // The view while its window exists (not owned), else null.
    PageView* view() const;
    // The action button runs this.
    virtual void run() = 0;

    QFormLayout* form_;
    QLabel* result_;

private:
    void chooseDataSet(int index);

    PageView* view_; // not owned; valid while viewWindow_ is
    QPointer<QWidget> viewWindow_;
    std::unique_ptr<StringObMap> dataSets_; // owns the map, not the traces
    QComboBox* dataSetBox_;
    visibleobject* current_ = nullptr; // not owned; may have left the page
};
