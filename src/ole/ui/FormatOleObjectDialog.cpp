#include "ole/ui/FormatOleObjectDialog.h"

#include "ole/VisibleOLE.h"
#include "platform/Settings.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/DialogValidation.h"
#include "platform/ui/UnitCaption.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

enum Control { idX = 101, idY = 102, idAngle = 103, idScaleX = 104, idScaleY = 105, idPos = 160 };

constexpr float positionLimit = 10000.0f;
constexpr double angleLimit = 360.0;

int units()
{
    return defaultSettings().units;
}

QLineEdit* field(int id)
{
    return named(new QLineEdit, "edit", id);
}

QLabel* buddyLabel(const QString& text, QLineEdit* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

FormatOleObjectDialog::FormatOleObjectDialog(VisibleOLE& object, QWidget* parent)
    : QDialog(parent), object_(object), shownAngle_(object.angle() / 10.0)
{
    setWindowTitle(tr("Format OLE Object"));
    x_ = field(idX);
    y_ = field(idY);
    angle_ = field(idAngle);
    scaleX_ = field(idScaleX);
    scaleY_ = field(idScaleY);

    auto* position = named(new QLabel(tr("Position")), "static", idPos);
    auto* grid = new QGridLayout;
    grid->addWidget(position, 0, 0, 1, 4);
    grid->addWidget(buddyLabel(tr("&X:"), x_), 1, 0);
    grid->addWidget(x_, 1, 1);
    grid->addWidget(buddyLabel(tr("&Y:"), y_), 1, 2);
    grid->addWidget(y_, 1, 3);
    grid->addWidget(buddyLabel(tr("&Angle (deg):"), angle_), 2, 0);
    grid->addWidget(angle_, 2, 1);

    auto* scale = new QGroupBox(tr("&Scale"));
    auto* scaleGrid = new QGridLayout(scale);
    scaleGrid->addWidget(buddyLabel(tr("X:"), scaleX_), 0, 0);
    scaleGrid->addWidget(scaleX_, 0, 1);
    scaleGrid->addWidget(buddyLabel(tr("Y:"), scaleY_), 0, 2);
    scaleGrid->addWidget(scaleY_, 0, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormatOleObjectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FormatOleObjectDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(scale);
    layout->addWidget(buttons);

    applyUnitCaption(position, units());
    DialogValidation::show(x_, toDisplay(object.x, units()));
    DialogValidation::show(y_, toDisplay(object.y, units()));
    DialogValidation::show(angle_, shownAngle_);
    DialogValidation::show(scaleX_, object.horizontalScale());
    DialogValidation::show(scaleY_, object.verticalScale());
}

void FormatOleObjectDialog::accept()
{
    float x = 0.0f;
    float y = 0.0f;
    double angle = 0.0;
    int scaleX = 0;
    int scaleY = 0;
    DialogValidation dv;
    dv.number(x_, x, -positionLimit, positionLimit);
    dv.number(y_, y, -positionLimit, positionLimit);
    dv.number(angle_, angle, -angleLimit, angleLimit);
    dv.integer(scaleX_, scaleX, int(VisibleOLE::minScale), int(VisibleOLE::maxScale));
    dv.integer(scaleY_, scaleY, int(VisibleOLE::minScale), int(VisibleOLE::maxScale));
    if (!dv.ok())
        return;
    // An angle left as shown keeps its exact tenths.
    if (angle != shownAngle_)
        object_.setAngle(int(angle * 10.0));
    object_.x = fromDisplay(x, units());
    object_.y = fromDisplay(y, units());
    object_.setScales(uint32_t(scaleX), uint32_t(scaleY));
    object_.ComputeRect();
    QDialog::accept();
}
