#include "ole/ui/TextLabelDialog.h"

#include "platform/ui/ControlNames.h"
#include "platform/ui/FontChooser.h"

#include <QDialogButtonBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
enum Control { idText = 170, idFontValue = 171, idFont = 172 };
}

TextLabelDialog::TextLabelDialog(const TextLabel& label, QWidget* parent)
    : QDialog(parent), label_(label), font_(label.font), color_(label.color)
{
    setWindowTitle(tr("Text Label"));
    text_ = named(new QPlainTextEdit, "edit", idText);
    text_->setPlainText(label.text);
    text_->setTabChangesFocus(true);
    fontValue_ = named(new QLabel, "static", idFontValue);
    auto* fontButton = named(new QPushButton(tr("&Font...")), "button", idFont);
    fontButton->setAutoDefault(false);

    auto* textLabel = new QLabel(tr("&Text:"));
    textLabel->setBuddy(text_);
    auto* grid = new QGridLayout;
    grid->addWidget(textLabel, 0, 0, Qt::AlignTop);
    grid->addWidget(text_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Font:")), 1, 0);
    grid->addWidget(fontValue_, 1, 1);
    grid->addWidget(fontButton, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TextLabelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TextLabelDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    connect(fontButton, &QPushButton::clicked, this, &TextLabelDialog::chooseLabelFont);
    showFont();
}

void TextLabelDialog::showFont()
{
    // The em in whole points; the height is in thousandths of an inch.
    const int points = int(std::lround(std::abs(font_.lfHeight) * 72.0 / 1000.0));
    QString face = font_.faceName();
    if (face.isEmpty())
        face = QFontInfo(font_.toQFont()).family();
    fontValue_->setText(face + QStringLiteral(", ") + QString::number(points) +
                        QStringLiteral(" pt."));
    QPalette palette = fontValue_->palette();
    palette.setColor(QPalette::WindowText, colorFromRef(color_));
    fontValue_->setPalette(palette);
}

void TextLabelDialog::chooseLabelFont()
{
    LogFont chosen = font_;
    ColorRef color = color_;
    int pointSize = 0;
    if (!chooseFont(chosen, color, pointSize, this))
        return;
    chosen.lfWidth = 0;
    chosen.lfEscapement = 0;
    font_ = chosen;
    color_ = color;
    showFont();
}

void TextLabelDialog::accept()
{
    label_.text = text_->toPlainText();
    label_.font = font_;
    label_.color = color_;
    QDialog::accept();
}
