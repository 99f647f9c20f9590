#include "traces/ui/FileSettingsDialog.h"

#include "axes/AxisEditors.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "data/ColumnFile.h"
#include "page/DocumentServices.h"
#include "platform/NumberFormat.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/Strings.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/UnitCaption.h"
#include "traces/Trace.h"
#include "traces/TraceEditors.h"
#include "traces/ui/LineSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Control ids of the dialog's resource, kept as object names so tests and scripts find them.
enum Control {
    idSort = 110,
    idXMax = 303,
    idYMin = 304,
    idYMax = 305,
    idXMin = 306,
    idDescription = 406,
    idXAxis = 410,
    idYAxis = 412,
    idNewX = 414,
    idNewY = 415,
    idEditX = 416,
    idEditY = 417,
    idOrigin = 420,
    idOriginX = 423,
    idOriginY = 424,
    idPoints = 426,
    idColumns = 1100,
    idXColumn = 1101,
    idYColumn = 1103,
    idAxes = 1108,
    idLinetype = 1109,
};

// Names and origin fields read at most this many characters.
constexpr int maxFieldLength = 19;

QLabel* valueText(int id)
{
    auto* label = named(new QLabel, "text", id);
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000e+000")));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* button(const QString& text, int id)
{
    auto* b = named(new QPushButton(text), "button", id);
    b->setAutoDefault(false);
    return b;
}

QString lengthText(float inches)
{
    return NumberFormat::g(toDisplay(inches, defaultSettings().units));
}

float lengthFrom(const QLineEdit* edit)
{
    const double shown = NumberFormat::atof(QStringView(edit->text()).left(maxFieldLength));
    return fromDisplay(float(shown), defaultSettings().units);
}

} // namespace

FileSettingsDialog::FileSettingsDialog(Trace& trace, DocumentServices* doc, QWidget* parent)
    : QDialog(parent), trace_(trace), doc_(doc), saved_(std::make_unique<Trace>(trace)),
      file_(trace.GetFile())
{
    setWindowTitle(file_ ? file_->GetFullPath() : QString());

    if (auto* source = dynamic_cast<PageObjectSource*>(doc_)) {
        for (visibleobject* obj : source->pageObjects()) {
            if (obj && obj->isKindOf(&Axis::classRecord))
                axes_.insert(obj->GetName(), obj);
        }
    }

    const int columns = file_ ? file_->GetNumColumns() : 0;
    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel(tr("Number of Columns:")), 0, 0);
    counts->addWidget(named(new QLabel(QString::number(columns)), "text", idColumns), 0, 1);
    counts->addWidget(new QLabel(tr("No. of Points:")), 0, 2);
    counts->addWidget(
        named(new QLabel(QString::number(file_ ? file_->GetNumPoints() : 0)), "text", idPoints), 0,
        3);
    counts->setColumnStretch(1, 1);
    counts->setColumnStretch(3, 1);

    auto columnGroup = [](const QString& caption, QComboBox*& list, int listId, QLabel*& min,
                          int minId, QLabel*& max, int maxId) {
        auto* box = new QGroupBox;
        auto* grid = new QGridLayout(box);
        list = named(new QComboBox, "combo", listId);
        auto* label = new QLabel(caption);
        label->setBuddy(list);
        grid->addWidget(label, 0, 0);
        grid->addWidget(list, 0, 1);
        min = valueText(minId);
        max = valueText(maxId);
        grid->addWidget(new QLabel(tr("Min:")), 1, 0);
        grid->addWidget(min, 1, 1);
        grid->addWidget(new QLabel(tr("Max:")), 2, 0);
        grid->addWidget(max, 2, 1);
        grid->setColumnStretch(1, 1);
        return box;
    };
    auto* columnRow = new QHBoxLayout;
    columnRow->addWidget(
        columnGroup(tr("X Column:"), xColumn_, idXColumn, xMin_, idXMin, xMax_, idXMax));
    columnRow->addWidget(
        columnGroup(tr("Y Column:"), yColumn_, idYColumn, yMin_, idYMin, yMax_, idYMax));

    auto* descriptionRow = new QHBoxLayout;
    description_ = named(new QLineEdit(trace.GetName()), "edit", idDescription);
    // A name is at most 19 characters, but a longer default name is shown whole and kept when
    // it is left alone.
    description_->setMaxLength(std::max<int>(maxFieldLength, trace.GetName().size()));
    auto* descriptionLabel = new QLabel(tr("Description:"));
    descriptionLabel->setBuddy(description_);
    descriptionRow->addWidget(descriptionLabel);
    descriptionRow->addWidget(description_, 1);

    auto* axesBox = new QGroupBox;
    auto* axesGrid = new QGridLayout(axesBox);
    auto axisRow = [&](int row, const QString& caption, QComboBox*& list, int listId, int newId,
                       int editId, Direction d) {
        list = named(new QComboBox, "combo", listId);
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* label = new QLabel(caption);
        label->setBuddy(list);
        QPushButton* create = button(tr("New..."), newId);
        QPushButton* edit = button(tr("Edit..."), editId);
        create->setEnabled(doc_ != nullptr);
        axesGrid->addWidget(label, row, 0);
        axesGrid->addWidget(list, row, 1);
        axesGrid->addWidget(create, row, 2);
        axesGrid->addWidget(edit, row, 3);
        connect(create, &QPushButton::clicked, this, [this, d] { newAxis(d); });
        connect(edit, &QPushButton::clicked, this, [this, d] { editAxis(d); });
    };
    axisRow(0, tr("X-Axis:"), xAxis_, idXAxis, idNewX, idEditX, Direction::x);
    axisRow(1, tr("Y-Axis:"), yAxis_, idYAxis, idNewY, idEditY, Direction::y);
    axesGrid->setColumnStretch(1, 1);

    auto* originBox = new QGroupBox;
    auto* originGrid = new QGridLayout(originBox);
    auto* originLabel = named(new QLabel(tr("Origin")), "label", idOrigin);
    applyUnitCaption(originLabel, defaultSettings().units);
    originX_ = named(new QLineEdit, "edit", idOriginX);
    originY_ = named(new QLineEdit, "edit", idOriginY);
    auto* xLabel = new QLabel(tr("X:"));
    auto* yLabel = new QLabel(tr("Y:"));
    xLabel->setBuddy(originX_);
    yLabel->setBuddy(originY_);
    originGrid->addWidget(originLabel, 0, 0, 1, 4);
    originGrid->addWidget(xLabel, 1, 0);
    originGrid->addWidget(originX_, 1, 1);
    originGrid->addWidget(yLabel, 1, 2);
    originGrid->addWidget(originY_, 1, 3);

    sort_ = named(new QCheckBox(tr("Sort on X data")), "check", idSort);
    sort_->setChecked(trace.GetSort());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    QPushButton* axes = button(tr("A&xes..."), idAxes);
    QPushButton* linetype = button(tr("&Linetype..."), idLinetype);
    buttons->addButton(axes, QDialogButtonBox::ActionRole);
    buttons->addButton(linetype, QDialogButtonBox::ActionRole);
    axes->setEnabled(doc_ != nullptr);
    connect(buttons, &QDialogButtonBox::accepted, this, &FileSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FileSettingsDialog::reject);
    connect(axes, &QPushButton::clicked, this, &FileSettingsDialog::chooseAxes);
    connect(linetype, &QPushButton::clicked, this, &FileSettingsDialog::editLineType);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(counts);
    layout->addLayout(columnRow);
    layout->addLayout(descriptionRow);
    layout->addWidget(axesBox);
    layout->addWidget(originBox);
    layout->addWidget(sort_);
    layout->addWidget(buttons);

    fillColumn(xColumn_, trace.GetXColumn());
    fillColumn(yColumn_, trace.GetYColumn());
    showRange(Direction::x);
    showRange(Direction::y);
    for (const StringObMap::Entry& entry : axes_) {
        if (entry.key.isEmpty())
            continue;
        xAxis_->addItem(entry.key);
        yAxis_->addItem(entry.key);
    }
    if (trace.GetXAxis())
        xAxis_->setCurrentIndex(xAxis_->findText(trace.GetXAxis()->GetName()));
    if (trace.GetYAxis())
        yAxis_->setCurrentIndex(yAxis_->findText(trace.GetYAxis()->GetName()));
    originX_->setText(lengthText(trace.x));
    originY_->setText(lengthText(trace.y));

    connect(xColumn_, &QComboBox::currentIndexChanged, this, [this] { showRange(Direction::x); });
    connect(yColumn_, &QComboBox::currentIndexChanged, this, [this] { showRange(Direction::y); });
    connect(xAxis_, &QComboBox::currentIndexChanged, this, [this] { showOrigin(Direction::x); });
    connect(yAxis_, &QComboBox::currentIndexChanged, this, [this] { showOrigin(Direction::y); });
}

FileSettingsDialog::~FileSettingsDialog() = default;

void FileSettingsDialog::fillColumn(QComboBox* list, int column)
{
    // Entry i is column i; 0 stands for the point numbers.
    const int columns = file_ ? file_->GetNumColumns() : 0;
    for (int i = 0; i <= columns; ++i)
        list->addItem(file_ ? file_->ColumnLabel(i) : QString::number(i));
    list->setCurrentIndex(column <= columns ? column : -1);
}

void FileSettingsDialog::showRange(Direction d)
{
    QComboBox* list = d == Direction::x ? xColumn_ : yColumn_;
    QLabel* min = d == Direction::x ? xMin_ : yMin_;
    QLabel* max = d == Direction::x ? xMax_ : yMax_;
    const int column = list->currentIndex();
    const DataColumn* values = file_ && column >= 0 ? file_->GetColumn(column - 1) : nullptr;
    if (!values || values->GetSize() == 0) {
        min->clear();
        max->clear();
        return;
    }
    min->setText(NumberFormat::g(values->GetMin()));
    max->setText(NumberFormat::g(values->GetMax()));
}

Axis* FileSettingsDialog::selectedAxis(Direction d) const
{
    const QComboBox* list = d == Direction::x ? xAxis_ : yAxis_;
    if (list->currentIndex() < 0)
        return nullptr;
    return static_cast<Axis*>(axes_.value(list->currentText()));
}

void FileSettingsDialog::showOrigin(Direction d)
{
    const Axis* axis = selectedAxis(d);
    if (!axis)
        return;
    if (d == Direction::x)
        originX_->setText(lengthText(axis->x));
    else
        originY_->setText(lengthText(axis->y));
}

void FileSettingsDialog::newAxis(Direction d)
{
    if (!doc_)
        return;
    std::unique_ptr<Axis> axis;
    if (d == Direction::x)
        axis = trace_.CreateXAxis();
    else
        axis = trace_.CreateYAxis();
    axis->SetDocument(doc_);
    // While its dialog runs the trace plots on the new axis, so its automatic range is the
    // trace's.
    Axis* previous = d == Direction::x ? trace_.GetXAxis() : trace_.GetYAxis();
    auto setAxis = [this, d](Axis* a) {
        if (d == Direction::x)
            trace_.SetXAxis(a);
        else
            trace_.SetYAxis(a);
    };
    setAxis(axis.get());
    AxisEditors* editors = AxisEditors::instance();
    const int confirmed = editors ? editors->formatAxes(*axis, doc_) : 0;
    setAxis(previous);
    if (confirmed) {
        Axis* added = axis.get();
        axes_.insert(added->GetName(), added);
        doc_->AddObject(std::move(axis));
        for (QComboBox* list : {xAxis_, yAxis_}) {
            if (list->findText(added->GetName()) < 0)
                list->addItem(added->GetName());
        }
        QComboBox* list = d == Direction::x ? xAxis_ : yAxis_;
        list->setCurrentIndex(list->findText(added->GetName()));
        showOrigin(d);
    }
    ok_->setFocus();
}

void FileSettingsDialog::editAxis(Direction d)
{
    Axis* axis = selectedAxis(d);
    AxisEditors* editors = AxisEditors::instance();
    if (axis && editors) {
        editors->formatAxes(*axis, doc_);
        showOrigin(d);
    }
    ok_->setFocus();
}

void FileSettingsDialog::chooseAxes()
{
    AxisEditors* chooser = AxisEditors::instance();
    visibleobject* chosen = chooser ? chooser->chooseAxis(axes_) : nullptr;
    if (chosen && chosen->isKindOf(&Axis::classRecord) && xColumn_->currentIndex() >= 0 &&
        yColumn_->currentIndex() >= 0) {
        // The axis dialog ranges over the data of the columns chosen so far.
        trace_.SetColumns(xColumn_->currentIndex(), yColumn_->currentIndex());
        if (AxisEditors* editors = AxisEditors::instance())
            editors->formatAxes(*static_cast<Axis*>(chosen), doc_);
    }
    ok_->setFocus();
}

void FileSettingsDialog::editLineType()
{
    if (TraceEditors* editors = TraceEditors::instance()) {
        editors->lineSettings(trace_);
    } else {
        LineSettingsDialog dialog(trace_, this);
        dialog.exec();
    }
    ok_->setFocus();
}

void FileSettingsDialog::accept()
{
    QString name = description_->text();
    if (name != trace_.GetName())
        name.truncate(maxFieldLength);
    if (doc_ && doc_->IsNameInUse(name, &trace_)) {
        Prompter::instance().message(formatC(Str::NameInUse, name), loadString(Str::ErrorCaption),
                                     Prompter::Icon::Exclamation);
        description_->setFocus();
        description_->selectAll();
        return;
    }
    trace_.SetName(name);
    if (xColumn_->currentIndex() >= 0 && yColumn_->currentIndex() >= 0)
        trace_.SetColumns(xColumn_->currentIndex(), yColumn_->currentIndex());
    if (Axis* axis = selectedAxis(Direction::x))
        trace_.SetXAxis(axis);
    if (Axis* axis = selectedAxis(Direction::y))
        trace_.SetYAxis(axis);
    trace_.MoveOrigin(lengthFrom(originX_), lengthFrom(originY_));
    trace_.SetSort(sort_->isChecked());
    QDialog::accept();
}

void FileSettingsDialog::reject()
{
    trace_ = *saved_;
    QDialog::reject();
}
