#include "axes/ui/FormatAxesDialog.h"

#include "axes/Axis.h"
#include "axes/ui/DialogNumbers.h"
#include "axes/ui/FormatTicksDialog.h"
#include "page/DocumentServices.h"
#include "platform/Settings.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"
#include "platform/ui/UnitCaption.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cfloat>

using namespace DialogNumbers;

namespace {

enum Control {
    idName = 108,
    idAuto = 107,
    idLengthLabel = 110,
    idLength = 111,
    idLog = 117,
    idTicks = 123,
    idTitle = 142,
    idPositionLabel = 160,
    idDataMin = 301,
    idDataMax = 302,
    idOriginX = 309,
    idOriginY = 311,
    idStart = 1104,
    idEnd = 1105,
};

QLineEdit* makeEdit(int id)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    return edit;
}

QLabel* makeLabel(const QString& text, QWidget* buddy, int id = 0)
{
    auto* label = new QLabel(text);
    if (id)
        label->setObjectName(QStringLiteral("label%1").arg(id));
    label->setBuddy(buddy);
    return label;
}

QLabel* makeStatic(int id)
{
    auto* label = new QLabel(QStringLiteral(" "));
    label->setObjectName(QStringLiteral("static%1").arg(id));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000e+000")));
    return label;
}

int units()
{
    return defaultSettings().units;
}

// A logarithmic scale needs a positive end; a start at or below zero the automatic
// logarithmic ticks move up to a positive one.
bool logAllowed(const Axis& axis)
{
    return axis.GetStart() >= 0.0 && axis.GetEnd() > 0.0;
}

} // namespace

FormatAxesDialog::FormatAxesDialog(Axis& axis, DocumentServices* doc, QWidget* parent)
    : QDialog(parent), axis_(axis), doc_(doc), saved_(std::make_unique<Axis>(axis)),
      dataMin_(DBL_MAX), dataMax_(-1e30)
{
    setWindowTitle(tr("Format Axes"));
    hasData_ = doc_ && doc_->GetAxisDataRange(&axis_, dataMin_, dataMax_);

    name_ = makeEdit(idName);
    length_ = makeEdit(idLength);
    start_ = makeEdit(idStart);
    end_ = makeEdit(idEnd);
    originX_ = makeEdit(idOriginX);
    originY_ = makeEdit(idOriginY);
    dataMinText_ = makeStatic(idDataMin);
    dataMaxText_ = makeStatic(idDataMax);
    auto_ = new QCheckBox(tr("&Auto"));
    auto_->setObjectName(QStringLiteral("check%1").arg(idAuto));
    log_ = new QCheckBox(tr("L&og"));
    log_->setObjectName(QStringLiteral("check%1").arg(idLog));
    auto* lengthLabel = makeLabel(tr("Len&gth"), length_, idLengthLabel);
    auto* positionLabel = new QLabel(tr("Position"));
    positionLabel->setObjectName(QStringLiteral("label%1").arg(idPositionLabel));

    auto* top = new QGridLayout;
    top->addWidget(makeLabel(tr("&Name:"), name_), 0, 0);
    top->addWidget(name_, 0, 1);
    top->addWidget(lengthLabel, 1, 0);
    top->addWidget(length_, 1, 1);

    auto* limitsBox = new QGroupBox(tr("Limits"));
    auto* limits = new QGridLayout(limitsBox);
    limits->addWidget(makeLabel(tr("&Start:"), start_), 0, 0);
    limits->addWidget(start_, 0, 1);
    limits->addWidget(dataMinText_, 0, 2);
    limits->addWidget(makeLabel(tr("&End:"), end_), 1, 0);
    limits->addWidget(end_, 1, 1);
    limits->addWidget(dataMaxText_, 1, 2);
    auto* checks = new QHBoxLayout;
    checks->addWidget(auto_);
    checks->addWidget(log_);
    checks->addStretch();
    limits->addLayout(checks, 2, 1, 1, 2);
    limits->setColumnStretch(1, 1);

    auto* positionBox = new QGroupBox;
    auto* position = new QGridLayout(positionBox);
    position->addWidget(positionLabel, 0, 0, 1, 4);
    position->addWidget(makeLabel(tr("&X:"), originX_), 1, 0);
    position->addWidget(originX_, 1, 1);
    position->addWidget(makeLabel(tr("&Y:"), originY_), 1, 2);
    position->addWidget(originY_, 1, 3);

    auto* titleButton = new QPushButton(tr("&Title..."));
    titleButton->setObjectName(QStringLiteral("button%1").arg(idTitle));
    titleButton->setAutoDefault(false);
    auto* ticksButton = new QPushButton(tr("Ticks and &Labels ..."));
    ticksButton->setObjectName(QStringLiteral("button%1").arg(idTicks));
    ticksButton->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormatAxesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FormatAxesDialog::reject);

    auto* more = new QHBoxLayout;
    more->addWidget(titleButton);
    more->addWidget(ticksButton);
    more->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(limitsBox);
    layout->addWidget(positionBox);
    layout->addLayout(more);
    layout->addWidget(buttons);

    applyUnitCaption(positionLabel, units());
    applyUnitCaption(lengthLabel, units());
    if (hasData_) {
        dataMinText_->setText(general(dataMin_));
        dataMaxText_->setText(general(dataMax_));
    } else {
        auto_->setTristate(true);
        auto_->setCheckState(Qt::PartiallyChecked);
    }
    if (hasData_ && axis_.GetAutoRange()) {
        applyAutomaticRange();
        auto_->setCheckState(Qt::Checked);
    } else {
        showLimits();
        if (hasData_)
            auto_->setCheckState(Qt::Unchecked);
    }
    showGeneral(originX_, toDisplay(axis_.x, units()));
    showGeneral(originY_, toDisplay(axis_.y, units()));
    showGeneral(length_, toDisplay(axis_.GetLength(), units()));
    name_->setText(axis_.GetName());
    name_->setMaxLength(maxNameLength);
    log_->setChecked(axis_.GetLogScale());
    log_->setEnabled(logAllowed(axis_));

    // Only typing counts as a change: filling the fields from the axis must not clear Auto.
    connect(start_, &QLineEdit::textEdited, this, &FormatAxesDialog::limitsEdited);
    connect(end_, &QLineEdit::textEdited, this, &FormatAxesDialog::limitsEdited);
    connect(auto_, &QCheckBox::clicked, this, &FormatAxesDialog::autoClicked);
    connect(titleButton, &QPushButton::clicked, this, &FormatAxesDialog::editTitle);
    connect(ticksButton, &QPushButton::clicked, this, &FormatAxesDialog::editTicks);
}

FormatAxesDialog::~FormatAxesDialog() = default;

void FormatAxesDialog::showLimits()
{
    showGeneral(start_, axis_.GetStart());
    showGeneral(end_, axis_.GetEnd());
}

void FormatAxesDialog::applyAutomaticRange()
{
    axis_.SetAutoRange(true);
    axis_.AutoRange();
    axis_.AutoTicks();
    showLimits();
}

void FormatAxesDialog::autoClicked()
{
    // The box's own toggling is replaced by the dialog's rule.
    if (!hasData_) {
        auto_->setCheckState(Qt::PartiallyChecked);
        return;
    }
    // clicked() arrives after the toggle: Unchecked now means it was checked.
    if (auto_->checkState() == Qt::Unchecked)
        return;
    applyAutomaticRange();
    auto_->setCheckState(Qt::Checked);
    log_->setEnabled(logAllowed(axis_));
}

void FormatAxesDialog::limitsEdited()
{
    if (hasData_)
        auto_->setCheckState(Qt::Unchecked);
    log_->setEnabled(readNumber(start_) > 0.0 && readNumber(end_) > 0.0);
}

void FormatAxesDialog::editTitle()
{
    axis_.EditTitle();
    ok_->setFocus();
}

void FormatAxesDialog::editTicks()
{
    FormatTicksDialog dialog(axis_, this);
    if (dialog.exec() == QDialog::Accepted)
        ok_->setFocus();
}

void FormatAxesDialog::accept()
{
    const double start = readNumber(start_);
    const double end = readNumber(end_);
    if (start == end) {
        ShowFileMessage(Str::LimitsEqual);
        start_->setFocus();
        start_->selectAll();
        return;
    }
    const QString name = name_->text().left(maxNameLength);
    if (doc_ && doc_->IsNameInUse(name, &axis_)) {
        ShowFileMessage(Str::NameInUse, {}, name);
        name_->setFocus();
        name_->selectAll();
        return;
    }
    axis_.SetName(name);
    axis_.x = fromDisplay(float(readNumber(originX_)), units());
    axis_.y = fromDisplay(float(readNumber(originY_)), units());
    const float length = fromDisplay(float(readNumber(length_)), units());
    if (length > 0.0f && std::isfinite(length))
        axis_.SetLength(length);
    const bool automatic = auto_->checkState() == Qt::Checked;
    if (hasData_)
        axis_.SetAutoRange(automatic);
    // Switching to linear and back returns the ticks to automatic on a logarithmic axis too.
    axis_.SetLog(false);
    if (!automatic || !hasData_)
        axis_.SetLimits(start, end);
    if (log_->isEnabled())
        axis_.SetLog(log_->isChecked());
    QDialog::accept();
}

void FormatAxesDialog::reject()
{
    // The title link stays: a title made meanwhile remains the axis's.
    axis_.CopyAxis(*saved_);
    QDialog::reject();
}
