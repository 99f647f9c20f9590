#include "doc/ui/DataSetDialog.h"

#include "doc/PlotDocument.h"
#include "page/PageView.h"
#include "platform/StringObMap.h"
#include "platform/ui/ControlNames.h"
#include "traces/Trace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DataSetDialog::DataSetDialog(PlotDocument& doc, PageView& view, QWidget* owner,
                             const QString& title, const QString& actionText,
                             const Controls& controls)
    : QDialog(owner), form_(new QFormLayout), result_(named(new QLabel, "static", controls.result)),
      view_(&view), viewWindow_(owner), dataSets_(doc.GetTraceNames()),
      dataSetBox_(named(new QComboBox, "combo", controls.dataSet))
{
    setWindowTitle(title);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    for (const StringObMap::Entry& entry : *dataSets_)
        dataSetBox_->addItem(entry.key);
    chooseDataSet(dataSetBox_->currentIndex());
    connect(dataSetBox_, &QComboBox::currentIndexChanged, this, &DataSetDialog::chooseDataSet);

    result_->setMinimumWidth(result_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 20);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form_->addRow(tr("Data set:"), dataSetBox_);

    auto* action = named(new QPushButton(actionText), "button", controls.action);
    action->setDefault(true);
    auto* close = new QPushButton(tr("Close"));
    close->setAutoDefault(false);
    connect(action, &QPushButton::clicked, this, [this] { run(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(action);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addLayout(buttons);
}

DataSetDialog::~DataSetDialog() = default;

PageView* DataSetDialog::view() const
{
    return viewWindow_ ? view_ : nullptr;
}

void DataSetDialog::chooseDataSet(int index)
{
    current_ = index >= 0
                   ? static_cast<visibleobject*>(dataSets_->value(dataSetBox_->itemText(index)))
                   : nullptr;
}

Trace* DataSetDialog::currentTrace()
{
    PageView* v = view();
    auto* doc = v ? dynamic_cast<PlotDocument*>(v->document()) : nullptr;
    for (;;) {
        // The pointer is looked up on the page before it is used: the trace may be gone.
        if (current_ && doc && doc->GetObjects().contains(current_)) {
            if (auto* trace = dynamic_cast<Trace*>(current_))
                return trace;
        }
        const int index = dataSetBox_->currentIndex();
        if (index >= 0) {
            dataSets_->remove(dataSetBox_->itemText(index));
            dataSetBox_->removeItem(index);
        }
        if (dataSetBox_->count() == 0) {
            close();
            return nullptr;
        }
        dataSetBox_->setCurrentIndex(0);
        chooseDataSet(0);
    }
}
