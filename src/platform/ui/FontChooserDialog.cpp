#include "platform/ui/FontChooserDialog.h"

#include "platform/ui/FontChooser.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The size the font panel starts on, in points, for a description whose height is in screen
// pixels (0: the program's default font).
double startPointSize(const LogFont& font, int dpi)
{
    if (font.lfHeight == 0)
        return QFont().pointSizeF();
    // A positive height is the cell; toQFont finds the em that fills it.
    const int em = font.toQFont(font.lfHeight).pixelSize();
    return std::max(1.0, em * 72.0 / dpi);
}

QIcon swatch(ColorRef color)
{
    QPixmap pixmap(24, 14);
    pixmap.fill(colorFromRef(color));
    return QIcon(pixmap);
}

} // namespace

FontChooserDialog::FontChooserDialog(const LogFont& font, ColorRef color, QWidget* parent)
    : QDialog(parent), start_(font), color_(color)
{
    setWindowTitle(tr("Font"));
    setObjectName(QStringLiteral("fontChooser"));

    QFont initial = font.toQFont(font.lfHeight == 0 ? 12 : font.lfHeight);
    initial.setPointSizeF(startPointSize(font, screenFontDpi()));
    // A face the machine lacks (Arial) is shown as the family that stands in for it, so the
    // list starts on what the text is drawn with.
    substitute_ = QFontInfo(initial).family();
    if (!font.faceName().isEmpty() && !QFontDatabase::hasFamily(font.faceName()))
        initial.setFamily(substitute_);

    // Qt's font dialog serves as a panel inside this one: its own buttons are hidden, and
    // Escape inside it closes this dialog rather than leaving an empty frame.
    panel_ = new QFontDialog(this);
    panel_->setObjectName(QStringLiteral("fontPanel"));
    panel_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    panel_->setWindowFlags(Qt::Widget);
    panel_->setCurrentFont(initial);
    connect(panel_, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted)
            accept();
        else
            reject();
    });

    colorButton_ = new QPushButton(tr("&Color..."));
    colorButton_->setObjectName(QStringLiteral("colorButton"));
    colorButton_->setAutoDefault(false);
    setChosenColor(color);
    connect(colorButton_, &QPushButton::clicked, this, &FontChooserDialog::pickColor);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(colorButton_);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_);
    layout->addLayout(bottom);
}

void FontChooserDialog::setChosenColor(ColorRef color)
{
    color_ = color;
    colorButton_->setIcon(swatch(color));
}

void FontChooserDialog::pickColor()
{
    const QColor picked = QColorDialog::getColor(colorFromRef(color_), this);
    if (picked.isValid())
        setChosenColor(refFromColor(picked));
}

int FontChooserDialog::chosenPointSize() const
{
    return int(std::lround(panel_->currentFont().pointSizeF() * 10.0));
}

LogFont FontChooserDialog::chosenFont() const
{
    const QFont chosen = panel_->currentFont();
    LogFont result = start_;
    // Keeping the stand-in keeps the face the description named.
    if (start_.faceName().isEmpty() || chosen.family() != substitute_ ||
        QFontDatabase::hasFamily(start_.faceName()))
        result.setFaceName(chosen.family());
    // The character height of the chosen size on the screen, negative as a character height.
    result.lfHeight = -int(std::llround(chosenPointSize() * double(screenFontDpi()) / 720.0));
    result.lfWidth = 0;
    result.lfEscapement = 0;
    result.lfOrientation = 0;
    result.lfWeight = std::clamp(int(chosen.weight()), 1, 1000);
    result.lfItalic = chosen.italic() ? 1 : 0;
    result.lfUnderline = chosen.underline() ? 1 : 0;
    result.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    return result;
}
