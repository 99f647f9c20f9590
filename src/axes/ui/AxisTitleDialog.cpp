#include "axes/ui/AxisTitleDialog.h"

#include "platform/Settings.h"
#include "platform/ui/DialogValidation.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/UnitCaption.h"

#include <QDialogButtonBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

enum Control {
    idText = 138,
    idFontValue = 139,
    idFont = 140,
    idDistance = 141,
    idDistanceLabel = 159,
};

// Clip precision the title font is created with, so that turned text is not clipped.
constexpr uint8_t clipLhAngles = 16;

int units()
{
    return defaultSettings().units;
}

} // namespace

AxisTitleDialog::AxisTitleDialog(const AxisTitleValues& values, QWidget* parent)
    : QDialog(parent), values_(values), font_(values.font), color_(values.color)
{
    setWindowTitle(tr("Axis Title"));

    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("edit%1").arg(idText));
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    distance_ = new QLineEdit;
    distance_->setObjectName(QStringLiteral("edit%1").arg(idDistance));
    fontValue_ = new QLabel;
    fontValue_->setObjectName(QStringLiteral("static%1").arg(idFontValue));
    auto* fontButton = new QPushButton(tr("Font..."));
    fontButton->setObjectName(QStringLiteral("button%1").arg(idFont));
    fontButton->setAutoDefault(false);

    auto* textLabel = new QLabel(tr("Text:"));
    textLabel->setBuddy(text_);
    auto* distanceLabel = new QLabel(tr("Distance from Axis"));
    distanceLabel->setObjectName(QStringLiteral("label%1").arg(idDistanceLabel));
    distanceLabel->setBuddy(distance_);

    auto* grid = new QGridLayout;
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(text_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Font:")), 1, 0);
    grid->addWidget(fontValue_, 1, 1);
    grid->addWidget(fontButton, 1, 2);
    grid->addWidget(distanceLabel, 2, 0);
    grid->addWidget(distance_, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &AxisTitleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AxisTitleDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    text_->setText(values_.text);
    DialogValidation::show(distance_, toDisplay(values_.distance, units()));
    fontValue_->setText(fontValueText(font_));
    applyUnitCaption(distanceLabel, units());

    connect(fontButton, &QPushButton::clicked, this, &AxisTitleDialog::chooseTitleFont);
}

QString AxisTitleDialog::fontValueText(const LogFont& font)
{
    // The em of the font in thousandths of an inch (its character height without the
    // internal leading), in whole points.
    int points = 0;
    if (font.lfHeight != 0) {
        const int em = font.toQFont(font.lfHeight).pixelSize();
        points = int(std::llround(em * 72.0 / 1000.0));
    } else {
        points = int(std::lround(QFont().pointSizeF()));
    }
    QString face = font.faceName();
    if (face.isEmpty())
        face = QFontInfo(font.toQFont()).family();
    return (face + QStringLiteral(", ") + QString::number(points) + QStringLiteral(" pt."))
        .left(79);
}

void AxisTitleDialog::chooseTitleFont()
{
    LogFont chosen = font_;
    ColorRef color = color_;
    int pointSize = 0;
    if (!chooseFont(chosen, color, pointSize, this))
        return;
    chosen.lfWidth = 0;
    chosen.lfEscapement = font_.lfEscapement;
    chosen.lfClipPrecision = clipLhAngles;
    font_ = chosen;
    color_ = color;
    fontValue_->setText(fontValueText(font_));
}

void AxisTitleDialog::accept()
{
    float distance = 0.0f;
    DialogValidation dv;
    dv.number(distance_, distance, -10.0f, 10.0f);
    if (!dv.ok())
        return;
    values_.text = text_->text();
    values_.distance = fromDisplay(distance, units());
    values_.color = color_;
    values_.font = font_;
    QDialog::accept();
}

int runAxisTitleDialog(AxisTitleValues& values, QWidget* parent)
{
    AxisTitleDialog dialog(values, parent);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    values = dialog.values();
    return 1;
}
