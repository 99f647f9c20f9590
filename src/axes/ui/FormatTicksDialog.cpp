#include "axes/ui/FormatTicksDialog.h"

#include "axes/Axis.h"
#include "axes/ui/DialogNumbers.h"
#include "platform/Settings.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/UnitCaption.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

using namespace DialogNumbers;

namespace {

enum Control {
    idMinorLabel = 805,
    idMajorLabel = 806,
    idOffsetLabel = 807,
    idDecimal = 811,
    idExponential = 812,
    idAutoFormat = 813,
    idSpacing = 814,
    idInterval = 815,
    idFirstTick = 816,
    idTickAngle = 817,
    idMinorLength = 819,
    idMajorLength = 820,
    idOffsetX = 822,
    idOffsetY = 823,
    idDigits = 824,
    idAutoDigits = 825,
    idFontValue = 828,
    idSizeValue = 829,
    idFonts = 830,
    idHideLabels = 832,
    idAutomatic = 833,
};

QLineEdit* addField(QFormLayout* form, int id, const QString& caption, int labelId = 0)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    auto* label = new QLabel(caption);
    if (labelId)
        label->setObjectName(QStringLiteral("label%1").arg(labelId));
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

QCheckBox* makeCheck(int id, const QString& text)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QStringLiteral("check%1").arg(id));
    return box;
}

QLabel* makeStatic(int id)
{
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("static%1").arg(id));
    return label;
}

using Format = tickstruct::Format;

int units()
{
    return defaultSettings().units;
}

// The radio button a format is shown with: Auto for anything but Decimal and Exponential.
Format shownFormat(Format format)
{
    return format == Format::Decimal || format == Format::Exponential ? format : Format::Auto;
}

// The number of ticks a spacing asks for between the axis's limits (in decades on a
// logarithmic axis); NaN when the limits have no logarithm.
double tickCount(const Axis& axis, double spacing)
{
    const double span = axis.GetLogScale() ? std::log10(axis.GetEnd()) - std::log10(axis.GetStart())
                                           : axis.GetEnd() - axis.GetStart();
    return std::abs(span / spacing);
}

} // namespace

FormatTicksDialog::FormatTicksDialog(Axis& axis, QWidget* parent)
    : QDialog(parent), axis_(axis), copy_(axis.GetTicks()), color_(copy_.labelColor),
      font_(copy_.labelFont), pointSize_(copy_.labelPointSize)
{
    setWindowTitle((loadString(Str::FormatTicksTitle) + axis.GetName()).left(50));

    auto* ticksBox = new QGroupBox(tr("Ticks"));
    auto* ticks = new QFormLayout(ticksBox);
    spacing_ = addField(ticks, idSpacing, tr("Tick &Spacing:"));
    interval_ = addField(ticks, idInterval, tr("Label &Interval:"));
    firstTick_ = addField(ticks, idFirstTick, tr("&First Label:"));
    tickAngle_ = addField(ticks, idTickAngle, tr("Tick &Angle:"));
    minorLength_ = addField(ticks, idMinorLength, tr("Mi&nor Tick Length"), idMinorLabel);
    majorLength_ = addField(ticks, idMajorLength, tr("Ma&jor Tick Length"), idMajorLabel);
    automatic_ = makeCheck(idAutomatic, tr("Auto&matic Ticks"));
    ticks->addRow(automatic_);

    auto* formatBox = new QGroupBox(tr("Label Format"));
    auto* formatLayout = new QVBoxLayout(formatBox);
    format_ = new QButtonGroup(this);
    const std::pair<int, Format> radios[] = {{idDecimal, Format::Decimal},
                                             {idExponential, Format::Exponential},
                                             {idAutoFormat, Format::Auto}};
    const QString radioTexts[] = {tr("&Decimal"), tr("&Exponential"), tr("A&uto")};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(radioTexts[i]);
        radio->setObjectName(QStringLiteral("radio%1").arg(radios[i].first));
        format_->addButton(radio, int(radios[i].second));
        formatLayout->addWidget(radio);
    }
    digits_ = new QLineEdit;
    digits_->setObjectName(QStringLiteral("edit%1").arg(idDigits));
    auto* digitsLabel = new QLabel(tr("&Decimal Digits:"));
    digitsLabel->setBuddy(digits_);
    autoDigits_ = makeCheck(idAutoDigits, tr("Au&to"));
    auto* digitsRow = new QHBoxLayout;
    digitsRow->addWidget(digitsLabel);
    digitsRow->addWidget(digits_);
    digitsRow->addWidget(autoDigits_);
    formatLayout->addLayout(digitsRow);

    auto* offsetBox = new QGroupBox;
    auto* offset = new QGridLayout(offsetBox);
    auto* offsetLabel = new QLabel(tr("Label Offset"));
    offsetLabel->setObjectName(QStringLiteral("label%1").arg(idOffsetLabel));
    offset->addWidget(offsetLabel, 0, 0, 1, 4);
    offsetX_ = new QLineEdit;
    offsetX_->setObjectName(QStringLiteral("edit%1").arg(idOffsetX));
    offsetY_ = new QLineEdit;
    offsetY_->setObjectName(QStringLiteral("edit%1").arg(idOffsetY));
    auto* xLabel = new QLabel(tr("&X:"));
    xLabel->setBuddy(offsetX_);
    auto* yLabel = new QLabel(tr("&Y:"));
    yLabel->setBuddy(offsetY_);
    offset->addWidget(xLabel, 1, 0);
    offset->addWidget(offsetX_, 1, 1);
    offset->addWidget(yLabel, 1, 2);
    offset->addWidget(offsetY_, 1, 3);

    auto* fontBox = new QGroupBox(tr("Label Font"));
    auto* fontLayout = new QGridLayout(fontBox);
    fontValue_ = makeStatic(idFontValue);
    sizeValue_ = makeStatic(idSizeValue);
    auto* fontsButton = new QPushButton(tr("&Fonts..."));
    fontsButton->setObjectName(QStringLiteral("button%1").arg(idFonts));
    fontsButton->setAutoDefault(false);
    hideLabels_ = makeCheck(idHideLabels, tr("&Hide Labels"));
    fontLayout->addWidget(new QLabel(tr("Font:")), 0, 0);
    fontLayout->addWidget(fontValue_, 0, 1);
    fontLayout->addWidget(new QLabel(tr("Size:")), 1, 0);
    fontLayout->addWidget(sizeValue_, 1, 1);
    fontLayout->addWidget(fontsButton, 2, 0, 1, 2, Qt::AlignLeft);
    fontLayout->addWidget(hideLabels_, 3, 0, 1, 2);
    fontLayout->setColumnStretch(1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(formatBox);
    right->addWidget(fontBox);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(ticksBox);
    left->addWidget(offsetBox);
    left->addStretch();
    columns->addLayout(left);
    columns->addLayout(right);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormatTicksDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FormatTicksDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    for (QWidget* label : {ticks->labelForField(minorLength_), ticks->labelForField(majorLength_),
                           static_cast<QWidget*>(offsetLabel)})
        applyUnitCaption(qobject_cast<QLabel*>(label), units());
    fillControls();

    // Only typing counts as a change: filling the fields must not clear the check boxes.
    for (QLineEdit* edit :
         {spacing_, interval_, firstTick_, tickAngle_, minorLength_, majorLength_})
        connect(edit, &QLineEdit::textEdited, this, &FormatTicksDialog::manualEdit);
    for (Format format : {Format::Decimal, Format::Exponential})
        connect(format_->button(int(format)), &QRadioButton::clicked, this,
                &FormatTicksDialog::manualEdit);
    connect(digits_, &QLineEdit::textEdited, this, &FormatTicksDialog::digitsEdited);
    connect(autoDigits_, &QCheckBox::clicked, this, &FormatTicksDialog::autoDigitsClicked);
    connect(automatic_, &QCheckBox::clicked, this, &FormatTicksDialog::automaticTicksClicked);
    connect(fontsButton, &QPushButton::clicked, this, &FormatTicksDialog::chooseFonts);
}

void FormatTicksDialog::fillControls()
{
    showGeneral(spacing_, copy_.tickSpacing);
    showGeneral(firstTick_, copy_.firstTick);
    showWhole(interval_, copy_.labelInterval);
    showWhole(tickAngle_, copy_.tickAngle);
    showGeneral(minorLength_, toDisplay(copy_.minorTickLength, units()));
    showGeneral(majorLength_, toDisplay(copy_.majorTickLength, units()));
    showGeneral(offsetX_, toDisplay(copy_.labelOffsetX, units()));
    showGeneral(offsetY_, toDisplay(copy_.labelOffsetY, units()));
    format_->button(int(shownFormat(copy_.labelFormat)))->setChecked(true);
    if (!copy_.autoDigits) {
        showWhole(digits_, copy_.decimalDigits);
        autoDigits_->setChecked(false);
    } else {
        autoDigits_->setChecked(true);
    }
    automatic_->setChecked(copy_.autoTicks);
    hideLabels_->setChecked(!copy_.showLabels);
    font_ = copy_.labelFont;
    pointSize_ = copy_.labelPointSize;
    fillFont();
}

void FormatTicksDialog::fillFont()
{
    const QString face = font_.faceName();
    fontValue_->setText(face.isEmpty() ? loadString(Str::SystemDefault) : face);
    sizeValue_->setText(general(pointSize_ / 10.0).left(10));
}

void FormatTicksDialog::manualEdit()
{
    automatic_->setChecked(false);
}

void FormatTicksDialog::digitsEdited()
{
    autoDigits_->setChecked(false);
    automatic_->setChecked(false);
    if (format_->checkedId() == int(Format::Auto))
        format_->button(int(Format::Decimal))->setChecked(true);
}

void FormatTicksDialog::autoDigitsClicked()
{
    // clicked() arrives after the toggle: unchecked now means it was checked.
    if (!autoDigits_->isChecked()) {
        showWhole(digits_, copy_.decimalDigits);
    } else {
        digits_->setText(QStringLiteral("   "));
    }
}

void FormatTicksDialog::automaticTicksClicked()
{
    if (!automatic_->isChecked())
        return;
    // The automatic values are worked out on the axis itself, which is then put back as it
    // was: its limits too, since automatic ticks move the start of an automatic range.
    const tickstruct saved = axis_.GetTicks();
    const double start = axis_.start;
    const double end = axis_.end;
    const double scale = axis_.scale;
    copy_.autoTicks = true;
    axis_.GetTicks().CopyTicks(copy_);
    axis_.AutoTicks();
    copy_.CopyTicks(axis_.GetTicks());
    axis_.GetTicks().CopyTicks(saved);
    axis_.start = start;
    axis_.end = end;
    axis_.scale = scale;
    fillControls();
    automatic_->setChecked(true);
}

void FormatTicksDialog::chooseFonts()
{
    LogFont font = font_;
    ColorRef color = color_;
    int pointSize = pointSize_;
    if (chooseFont(font, color, pointSize, this)) {
        font_ = font;
        color_ = color;
        pointSize_ = pointSize;
        fillFont();
    }
    ok_->setFocus();
}

bool FormatTicksDialog::checkManualTicks(double spacing, int interval)
{
    if (spacing == 0.0) {
        ShowFileMessage(Str::TickSpacingZero);
        spacing_->setFocus();
        spacing_->selectAll();
        return false;
    }
    if (interval < 1) {
        ShowFileMessage(Str::LabelIntervalBelowOne);
        interval_->setFocus();
        interval_->selectAll();
        return false;
    }
    if (tickCount(axis_, spacing) > Axis::maxTickMarks) {
        ShowFileMessage(Str::TooManyTicks, {}, QString::number(Axis::maxTickMarks));
        spacing_->setFocus();
        spacing_->selectAll();
        return false;
    }
    return true;
}

void FormatTicksDialog::accept()
{
    const bool automatic = automatic_->isChecked();
    const double spacing = readNumber(spacing_);
    const int interval = readWhole(interval_);
    if (!automatic && !checkManualTicks(spacing, interval))
        return;

    copy_.showLabels = !hideLabels_->isChecked();
    copy_.labelColor = color_;
    copy_.labelOffsetX = fromDisplay(float(readNumber(offsetX_)), units());
    copy_.labelOffsetY = fromDisplay(float(readNumber(offsetY_)), units());
    if (automatic) {
        copy_.autoTicks = true;
        axis_.GetTicks().CopyTicks(copy_);
        axis_.AutoTicks();
    } else {
        copy_.autoTicks = false;
        copy_.tickSpacing = spacing;
        copy_.labelInterval = interval;
        copy_.firstTick = readNumber(firstTick_);
        copy_.tickAngle = readWhole(tickAngle_);
        copy_.minorTickLength = fromDisplay(float(readNumber(minorLength_)), units());
        copy_.majorTickLength = fromDisplay(float(readNumber(majorLength_)), units());
        copy_.labelFormat = shownFormat(Format(format_->checkedId()));
        copy_.autoDigits = autoDigits_->isChecked();
        if (!copy_.autoDigits)
            copy_.decimalDigits = readWhole(digits_);
        axis_.GetTicks().CopyTicks(copy_);
    }
    axis_.SetLabelFont(font_, pointSize_);
    QDialog::accept();
}
