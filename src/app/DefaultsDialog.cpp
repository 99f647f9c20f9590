#include "app/DefaultsDialog.h"

#include "platform/Profile.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "platform/ui/DialogValidation.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Control ids of the dialog's resource, kept as object names so tests and scripts find them.
enum Control {
    idXAxisLength = 143,
    idYAxisLength = 144,
    idLabelSize = 145,
    idLabelFace = 146,
    idTitleSize = 147,
    idTitleFace = 148,
    idTickIn = 149,
    idTickOut = 150,
    idLabelSpacing = 151,
    idSymbolSize = 152,
    idSymbolFace = 154,
    idSymbolChar = 155,
    idTitleSpacing = 156,
    idInch = 157,
    idCm = 158,
    idOriginY = 164,
    idOriginX = 165,
    idScale = 172,
};

QLineEdit* addField(QFormLayout* form, int id, const QString& caption)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    auto* label = new QLabel(caption);
    label->setObjectName(QStringLiteral("label%1").arg(id));
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

QRadioButton* addRadio(QButtonGroup* group, QBoxLayout* layout, int id, int value,
                       const QString& text)
{
    auto* button = new QRadioButton(text);
    button->setObjectName(QStringLiteral("radio%1").arg(id));
    group->addButton(button, value);
    layout->addWidget(button);
    return button;
}

QFormLayout* addGroup(QBoxLayout* column, const QString& title = {})
{
    auto* box = new QGroupBox(title);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    column->addWidget(box);
    return form;
}

// The six lengths, which alone change with the units shown.
template <typename F> void forEachLength(DefaultSettings& s, F&& f)
{
    for (float* length :
         {&s.xAxisLength, &s.yAxisLength, &s.labelSpacing, &s.titleSpacing, &s.originX, &s.originY})
        f(*length);
}

} // namespace

DefaultsDialog::DefaultsDialog(const DefaultSettings& settings, Prompter& prompter, QWidget* parent,
                               Profile* profile)
    : QDialog(parent), prompter_(prompter), profile_(profile), result_(settings), shown_(settings),
      shownUnits_(settings.units == Settings::cm ? Settings::cm : Settings::inch)
{
    setWindowTitle(tr("Plotvane Defaults"));

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    QFormLayout* page = addGroup(left);
    xAxisLength_ = addField(page, idXAxisLength, tr("X Axis Length:"));
    yAxisLength_ = addField(page, idYAxisLength, tr("Y Axis Length:"));
    originX_ = addField(page, idOriginX, tr("Origin Pos. (X):"));
    originY_ = addField(page, idOriginY, tr("Origin Pos. (Y):"));
    scale_ = addField(page, idScale, tr("Default Scale:"));

    auto* unitsBox = new QGroupBox(tr("Units"));
    auto* unitsLayout = new QHBoxLayout(unitsBox);
    units_ = new QButtonGroup(this);
    addRadio(units_, unitsLayout, idInch, Settings::inch, tr("Inch"));
    addRadio(units_, unitsLayout, idCm, Settings::cm, tr("cm"));
    left->addWidget(unitsBox);

    auto* tickBox = new QGroupBox(tr("Tick Direction"));
    auto* tickLayout = new QHBoxLayout(tickBox);
    tickDir_ = new QButtonGroup(this);
    addRadio(tickDir_, tickLayout, idTickIn, 0, tr("&In"));
    addRadio(tickDir_, tickLayout, idTickOut, 1, tr("&Out"));
    left->addWidget(tickBox);
    left->addStretch();

    QFormLayout* text = addGroup(right);
    labelFace_ = addField(text, idLabelFace, tr("Label Font:"));
    labelSize_ = addField(text, idLabelSize, tr("Label Font Size:"));
    labelSpacing_ = addField(text, idLabelSpacing, tr("Label Spacing:"));
    titleFace_ = addField(text, idTitleFace, tr("Title Font:"));
    titleSize_ = addField(text, idTitleSize, tr("Title Font Size (pt.):"));
    titleSpacing_ = addField(text, idTitleSpacing, tr("Title Spacing:"));

    QFormLayout* symbol = addGroup(right);
    symbolFace_ = addField(symbol, idSymbolFace, tr("Symbol Font:"));
    symbolSize_ = addField(symbol, idSymbolSize, tr("Symbol Font Size (pt.):"));
    symbolChar_ = addField(symbol, idSymbolChar, tr("Symbol Character:"));
    right->addStretch();

    for (QLineEdit* face : {labelFace_, titleFace_, symbolFace_})
        face->setMaxLength(Settings::maxFaceLength);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &DefaultsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DefaultsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    forEachLength(shown_, [this](float& v) { v = toDisplay(v, shownUnits_); });
    shown_.units = shownUnits_;
    showFields();

    connect(units_, &QButtonGroup::idClicked, this, &DefaultsDialog::switchUnits);
}

void DefaultsDialog::showFields()
{
    DialogValidation::show(xAxisLength_, shown_.xAxisLength);
    DialogValidation::show(yAxisLength_, shown_.yAxisLength);
    DialogValidation::show(labelSize_, shown_.labelSize);
    labelFace_->setText(shown_.labelFace);
    DialogValidation::show(titleSize_, shown_.titleSize);
    titleFace_->setText(shown_.titleFace);
    DialogValidation::show(titleSpacing_, shown_.titleSpacing);
    tickDir_->button(shown_.tickDir == 1 ? 1 : 0)->setChecked(true);
    DialogValidation::show(labelSpacing_, shown_.labelSpacing);
    DialogValidation::show(symbolSize_, shown_.symbolSize);
    symbolFace_->setText(shown_.symbolFace);
    DialogValidation::show(symbolChar_, shown_.symbolChar);
    DialogValidation::show(originX_, shown_.originX);
    DialogValidation::show(originY_, shown_.originY);
    units_->button(shownUnits_)->setChecked(true);
    DialogValidation::show(scale_, shown_.scale);
}

bool DefaultsDialog::takeFields()
{
    DefaultSettings taken = shown_;
    DialogValidation dv(prompter_);
    dv.number(xAxisLength_, taken.xAxisLength, 0.01f, 300.0f);
    dv.number(yAxisLength_, taken.yAxisLength, 0.01f, 300.0f);
    dv.integer(labelSize_, taken.labelSize);
    taken.labelFace = labelFace_->text();
    dv.integer(titleSize_, taken.titleSize);
    taken.titleFace = titleFace_->text();
    dv.number(titleSpacing_, taken.titleSpacing);
    taken.tickDir = tickDir_->checkedId() == 1 ? 1 : 0;
    dv.number(labelSpacing_, taken.labelSpacing, -100.0f, 100.0f);
    dv.integer(symbolSize_, taken.symbolSize);
    taken.symbolFace = symbolFace_->text();
    dv.unsignedInteger(symbolChar_, taken.symbolChar);
    dv.number(originX_, taken.originX, -32.0f, 32.0f);
    dv.number(originY_, taken.originY, -32.0f, 32.0f);
    taken.units = shownUnits_;
    dv.number(scale_, taken.scale, 0.1f, 10.0f);
    if (!dv.ok())
        return false;
    shown_ = taken;
    return true;
}

void DefaultsDialog::switchUnits(int units)
{
    if (units == shownUnits_)
        return;
    if (!takeFields()) {
        // The lengths still are in the old units, so the old button stays chosen.
        units_->button(shownUnits_)->setChecked(true);
        return;
    }
    forEachLength(shown_, [units](float& v) {
        v = units == Settings::cm ? toDisplay(v, Settings::cm) : fromDisplay(v, Settings::cm);
    });
    shownUnits_ = units;
    shown_.units = units;
    showFields();
}

void DefaultsDialog::accept()
{
    if (!takeFields())
        return;
    DefaultSettings confirmed = shown_;
    forEachLength(confirmed, [this](float& v) { v = fromDisplay(v, shownUnits_); });
    if (profile_ && !confirmed.write(*profile_)) {
        prompter_.message(formatString(Str::FailedAccessWrite, profile_->fileName()), {},
                          Prompter::Icon::Exclamation);
        return;
    }
    result_ = confirmed;
    QDialog::accept();
}

bool runDefaultsCommand(QWidget* parent, DefaultSettings& settings, Profile& profile,
                        Prompter& prompter, bool* written)
{
    DefaultsDialog dialog(settings, prompter, parent, &profile);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.settings();
    if (written)
        *written = true;
    return true;
}

bool runDefaultsCommand(QWidget* parent)
{
    Profile profile;
    return runDefaultsCommand(parent, defaultSettings(), profile, Prompter::instance());
}
