#include "view/DataCursorDialog.h"

#include "platform/StringObMap.h"
#include "platform/ui/ControlNames.h"
#include "traces/Trace.h"
#include "view/PageScrollView.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double noMark = std::numeric_limits<double>::infinity();

QString readoutText(double value)
{
    return QString::asprintf("%g", value).left(19);
}

enum { idCursorX = 111, idCursorY = 112, idDataX = 113, idDataY = 114, idDataSet = 115 };

QLineEdit* readoutField(int id)
{
    auto* edit = named(new QLineEdit, "edit", id);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

DataCursorDialog::DataCursorDialog(PageScrollView& view)
    : QDialog(&view), view_(&view), dataSetBox_(named(new QComboBox, "combo", idDataSet)),
      cursorX_(readoutField(idCursorX)), cursorY_(readoutField(idCursorY)),
      dataX_(readoutField(idDataX)), dataY_(readoutField(idDataY)), markX_(noMark), markY_(noMark)
{
    setWindowTitle(tr("Data Cursor"));
    setModal(false);

    dataSets_ = view.document()->GetTraceNames();
    for (const StringObMap::Entry& entry : *dataSets_)
        dataSetBox_->addItem(entry.key);

    auto* cursorGroup = new QGroupBox(tr("Cursor"));
    auto* cursorForm = new QFormLayout(cursorGroup);
    cursorForm->addRow(tr("X:"), cursorX_);
    cursorForm->addRow(tr("Y:"), cursorY_);
    auto* dataGroup = new QGroupBox(tr("Data"));
    auto* dataForm = new QFormLayout(dataGroup);
    dataForm->addRow(tr("X:"), dataX_);
    dataForm->addRow(tr("Y:"), dataY_);
    auto* groups = new QHBoxLayout;
    groups->addWidget(cursorGroup);
    groups->addWidget(dataGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dataSetBox_);
    layout->addLayout(groups);

    chooseDataSet(dataSetBox_->currentIndex());
    connect(dataSetBox_, &QComboBox::currentIndexChanged, this, &DataCursorDialog::chooseDataSet);
    // The readout follows the pointer whether or not a button is held.
    view.viewport()->setMouseTracking(true);
    view.viewport()->installEventFilter(this);
}

DataCursorDialog::~DataCursorDialog() = default;

DataCursorDialog* DataCursorDialog::open(PageScrollView& view)
{
    if (!view.document())
        return nullptr;
    auto* dialog = new DataCursorDialog(view);
    dialog->show();
    return dialog;
}

QList<DataCursorDialog*> DataCursorDialog::readouts(const PageScrollView& view)
{
    QList<DataCursorDialog*> open;
    const QList<DataCursorDialog*> children =
        view.findChildren<DataCursorDialog*>(Qt::FindDirectChildrenOnly);
    for (DataCursorDialog* dialog : children) {
        if (!dialog->closed_)
            open.append(dialog);
    }
    return open;
}

void DataCursorDialog::closeAll(PageScrollView& view)
{
    const QList<DataCursorDialog*> open = readouts(view);
    for (DataCursorDialog* dialog : open)
        dialog->reject();
}

Trace* DataCursorDialog::trace() const
{
    // A trace deleted or replaced while the readout is open is no longer read.
    if (!trace_ || !view_ || !view_->document() ||
        !view_->document()->GetObjects().contains(trace_))
        return nullptr;
    return trace_;
}

void DataCursorDialog::readout(QPoint devicePoint)
{
    Trace* t = trace();
    if (!t)
        return;
    const QPointF cursor = t->DeviceToData(devicePoint);
    cursorX_->setText(readoutText(cursor.x()));
    cursorY_->setText(readoutText(cursor.y()));
    // The point with the largest x below the cursor, or the first point when none is below.
    std::vector<double> xs, ys;
    t->GetWindow(cursor.x(), 1, xs, ys);
    if (xs.empty() || ys.empty()) {
        dataX_->clear();
        dataY_->clear();
        return;
    }
    if (xs.front() != markX_) {
        t->DataToDevice(xs.front(), ys.front());
        // Another readout of the same trace had the marker there already: the call took it away.
        if (!t->GetMarker())
            t->DataToDevice(xs.front(), ys.front());
        markX_ = xs.front();
        markY_ = ys.front();
        placed_ = t->GetMarker();
    }
    dataX_->setText(readoutText(xs.front()));
    dataY_->setText(readoutText(ys.front()));
}

void DataCursorDialog::chooseDataSet(int index)
{
    removeMarker();
    trace_ = nullptr;
    if (index < 0)
        return;
    trace_ = dynamic_cast<Trace*>(dataSets_->value(dataSetBox_->itemText(index)));
}

void DataCursorDialog::removeMarker()
{
    if (markX_ == noMark)
        return;
    // Marking the point already marked takes the marker away; a marker another readout of
    // the same trace has moved since is left to that one.
    Trace* t = trace();
    if (t && t->GetMarker() && t->GetMarker() == placed_)
        t->DataToDevice(markX_, markY_);
    placed_.reset();
    markX_ = noMark;
    markY_ = noMark;
}

void DataCursorDialog::done(int result)
{
    if (!closed_) {
        closed_ = true;
        removeMarker();
        if (view_)
            view_->viewport()->removeEventFilter(this);
        deleteLater();
    }
    QDialog::done(result);
}

bool DataCursorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (!closed_ && event->type() == QEvent::MouseMove && view_ && watched == view_->viewport())
        readout(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}
