#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <memory>
#include <optional>

class PageScrollView;
class QComboBox;
class QLineEdit;
class StringObMap;
class Trace;

// The data readout of a view: a modeless dialog that follows the pointer over the view and
// shows where it is in data values and the data point at or before it, which the trace marks
// with a line. A view may have several open, each reading its own data set.
class DataCursorDialog : public QDialog
{
    Q_OBJECT

public:
    // The Data Readout command: a new readout over the view, shown and following the pointer.
    static DataCursorDialog* open(PageScrollView& view);
    // The open readouts of a view, oldest first.
    static QList<DataCursorDialog*> readouts(const PageScrollView& view);
    // Closes every open readout of the view, taking their markers away.
    static void closeAll(PageScrollView& view);

    ~DataCursorDialog() override;

    // The pointer at a point of the view, client pixels.
    void readout(QPoint devicePoint);
    // The trace read now; null when it has left the page.
    Trace* trace() const;
    QComboBox* dataSetBox() const { return dataSetBox_; }
    QLineEdit* cursorXEdit() const { return cursorX_; }
    QLineEdit* cursorYEdit() const { return cursorY_; }
    QLineEdit* dataXEdit() const { return dataX_; }
    QLineEdit* dataYEdit() const { return dataY_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DataCursorDialog(PageScrollView& view);
    void chooseDataSet(int index);
    // Takes the marker of the current trace away, if this readout placed one.
    void removeMarker();

    QPointer<PageScrollView> view_;
    std::unique_ptr<StringObMap> dataSets_; // owns the map, not the traces
    QComboBox* dataSetBox_;
    QLineEdit* cursorX_;
    QLineEdit* cursorY_;
    QLineEdit* dataX_;
    QLineEdit* dataY_;
    double markX_;
    double markY_;
    Trace* trace_ = nullptr;       // not owned
    std::optional<QPoint> placed_; // the trace's marker as this readout left it
    bool closed_ = false;
};
