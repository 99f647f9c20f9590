#include "traces/ui/LineSettingsDialog.h"

#include "page/PageView.h"
#include "platform/NumberFormat.h"
#include "platform/Settings.h"
#include "platform/Strings.h"
#include "platform/SymbolFont.h"
#include "platform/ui/ControlNames.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/UnitCaption.h"
#include "traces/Trace.h"
#include "traces/TraceEditors.h"
#include "traces/ui/TraceDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Control ids of the dialog's resource, kept as object names so tests and scripts find them.
enum Control {
    idFace = 828,
    idSize = 829,
    idType = 903,
    idWidth = 904,
    idColor = 906,
    idThin = 907,
    idLine = 909,
    idSymbol = 910,
    idBoth = 911,
    idChars = 913,
    idFont = 914,
};

// A line left without a usable width is drawn this wide, in inches.
constexpr double defaultWidth = 0.05;

QIcon swatch(ColorRef color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colorFromRef(color));
    return QIcon(pixmap);
}

} // namespace

LineSettingsDialog::LineSettingsDialog(Trace& trace, QWidget* parent)
    : QDialog(parent), trace_(trace), ppi_(pixelsPerInch(trace.view))
{
    setWindowTitle(tr("Line Settings"));
    const DefaultSettings& defaults = defaultSettings();

    auto* styleBox = new QGroupBox;
    auto* styleRow = new QHBoxLayout(styleBox);
    style_ = new QButtonGroup(this);
    const std::pair<int, const char*> styles[] = {{idLine, QT_TR_NOOP("&Line")},
                                                  {idSymbol, QT_TR_NOOP("&Symbol")},
                                                  {idBoth, QT_TR_NOOP("&Both")}};
    int value = line;
    for (const auto& [id, text] : styles) {
        auto* radio = named(new QRadioButton(tr(text)), "radio", id);
        style_->addButton(radio, value++);
        styleRow->addWidget(radio);
    }

    auto* lineBox = new QGroupBox;
    auto* lineGrid = new QGridLayout(lineBox);
    type_ = named(new QComboBox, "combo", idType);
    for (int id = Str::PenSolid; id <= Str::PenDashDotDot; ++id)
        type_->addItem(loadString(id));
    auto* typeLabel = new QLabel(tr("&Type:"));
    typeLabel->setBuddy(type_);
    width_ = named(new QLineEdit, "edit", idWidth);
    widthLabel_ = new QLabel(tr("&Width"));
    widthLabel_->setBuddy(width_);
    applyUnitCaption(widthLabel_, defaults.units);
    thinBox_ = named(new QCheckBox(tr("T&hin (one pixel)")), "check", idThin);
    color_ = named(new QPushButton(tr("&Color...")), "button", idColor);
    color_->setAutoDefault(false);
    lineGrid->addWidget(typeLabel, 0, 0);
    lineGrid->addWidget(type_, 0, 1);
    lineGrid->addWidget(widthLabel_, 1, 0);
    lineGrid->addWidget(width_, 1, 1);
    lineGrid->addWidget(thinBox_, 2, 1);
    lineGrid->addWidget(color_, 3, 1, Qt::AlignLeft);
    lineGrid->setColumnStretch(1, 1);

    auto* symbolBox = new QGroupBox;
    auto* symbolGrid = new QGridLayout(symbolBox);
    face_ = named(new QLabel, "text", idFace);
    size_ = named(new QLabel, "text", idSize);
    chars_ = named(new QComboBox, "combo", idChars);
    // A list of 224 characters opens as a scrolling list, not as a menu over the whole screen.
    chars_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    chars_->setMaxVisibleItems(16);
    fontButton_ = named(new QPushButton(tr("&Font...")), "button", idFont);
    fontButton_->setAutoDefault(false);
    symbolGrid->addWidget(new QLabel(tr("Font: ")), 0, 0);
    symbolGrid->addWidget(face_, 0, 1);
    symbolGrid->addWidget(new QLabel(tr("Size:")), 1, 0);
    symbolGrid->addWidget(size_, 1, 1);
    symbolGrid->addWidget(chars_, 2, 0, 1, 2);
    symbolGrid->addWidget(fontButton_, 3, 0, 1, 2, Qt::AlignLeft);
    symbolGrid->setColumnStretch(1, 1);
    face_->setMinimumWidth(face_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 12);

    auto* groups = new QHBoxLayout;
    groups->addWidget(lineBox, 1);
    groups->addWidget(symbolBox, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &LineSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LineSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(styleBox);
    layout->addLayout(groups);
    layout->addWidget(buttons);

    // The working state starts from the trace; what it lacks comes from the defaults, so a
    // style switched on here has something to show.
    const PenRecord pen = trace.GetPen() ? *trace.GetPen() : PenRecord::stockBlack();
    penColor_ = pen.lopnColor;
    penStyle_ = pen.lopnStyle <= PS_DASHDOTDOT ? int(pen.lopnStyle) : int(PS_SOLID);
    thin_ = !(trace.GetLineWidth() > 0.0f);
    widthText_ = thin_ ? QStringLiteral("0")
                       : NumberFormat::g(toDisplay(trace.GetLineWidth(), defaults.units));
    if (trace.GetSymbolFont()) {
        font_ = *trace.GetSymbolFont();
        symbolSize_ = trace.GetSymbolSize();
    } else {
        LogFont font;
        font.lfHeight = defaults.symbolSize * 1000 / -72;
        font.lfCharSet = LogFont::SYMBOL_CHARSET;
        font.setFaceName(defaults.symbolFace);
        font_ = font;
        symbolSize_ = defaults.symbolSize * 10;
    }
    symbolColor_ = trace.GetSymbolColor();
    if (trace.GetSymbolChar() >= firstSymbolCode)
        symbolIndex_ = trace.GetSymbolChar() - firstSymbolCode;

    const int start = trace.GetPen() ? (trace.GetSymbolFont() ? both : line)
                                     : (trace.GetSymbolFont() ? symbol : line);
    style_->button(start)->setChecked(true);
    setStyle(start);

    connect(style_, &QButtonGroup::idClicked, this, &LineSettingsDialog::setStyle);
    connect(type_, &QComboBox::activated, this, [this](int index) {
        if (index != PS_SOLID) {
            width_->setText(QStringLiteral("0"));
            thinBox_->setChecked(true);
        }
    });
    connect(width_, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool whole = false;
        if (text.toInt(&whole) == 0 && whole)
            return;
        thinBox_->setChecked(false);
        type_->setCurrentIndex(PS_SOLID);
    });
    connect(thinBox_, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            width_->setText(QStringLiteral("0"));
    });
    connect(color_, &QPushButton::clicked, this, &LineSettingsDialog::chooseColor);
    connect(fontButton_, &QPushButton::clicked, this, &LineSettingsDialog::chooseFont);
}

int LineSettingsDialog::pixelsPerInch(const PageView* view)
{
    const int ppi = view ? int(view->pixelsPerInchY()) : 0;
    return ppi > 0 ? ppi : 96;
}

void LineSettingsDialog::setStyle(int style)
{
    showLineControls(style == line || style == both);
    showSymbolControls(style == symbol || style == both);
}

void LineSettingsDialog::showLineControls(bool shown)
{
    if (lineShown_ && !shown) {
        penStyle_ = type_->currentIndex();
        widthText_ = width_->text();
        thin_ = thinBox_->isChecked();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{type_, width_, widthLabel_, thinBox_, color_})
        w->setEnabled(shown);
    if (shown) {
        type_->setCurrentIndex(penStyle_);
        width_->setText(widthText_);
        thinBox_->setChecked(thin_);
        color_->setIcon(swatch(penColor_));
    } else {
        type_->setCurrentIndex(-1);
        width_->clear();
        thinBox_->setChecked(false);
        color_->setIcon(QIcon());
    }
    lineShown_ = shown;
}

void LineSettingsDialog::showSymbolControls(bool shown)
{
    if (symbolShown_ && !shown)
        symbolIndex_ = chars_->currentIndex();
    chars_->setEnabled(shown);
    fontButton_->setEnabled(shown);
    if (shown) {
        fillSymbolList();
    } else {
        face_->clear();
        size_->clear();
        chars_->clear();
    }
    symbolShown_ = shown;
}

void LineSettingsDialog::fillSymbolList()
{
    const int keep = symbolShown_ ? chars_->currentIndex() : symbolIndex_;
    face_->setText(font_ ? font_->faceName() : QString());
    size_->setText(NumberFormat::g(symbolSize_ / 10.0));

    // The list shows every code in the symbol font itself; the symbol fonts of the original
    // platform are absent here, so their codes are shown as the characters they stand for.
    const SymbolFont::Kind kind =
        font_ ? SymbolFont::kindOf(font_->faceName()) : SymbolFont::Kind::none;
    QFont shownFont = font_ ? font_->toQFont() : chars_->font();
    if (kind != SymbolFont::Kind::none)
        shownFont.setFamily(SymbolFont::drawingFamily());
    shownFont.setPointSizeF(std::clamp(symbolSize_ / 10.0, 10.0, 16.0));
    shownFont.setUnderline(false);
    shownFont.setStrikeOut(false);
    chars_->setFont(shownFont);

    chars_->clear();
    for (int code = firstSymbolCode; code <= 255; ++code) {
        QString text;
        if (kind != SymbolFont::Kind::none) {
            const char32_t c = SymbolFont::toUnicode(kind, uint32_t(code));
            text = c ? QString::fromUcs4(&c, 1) : QStringLiteral(" ");
        } else {
            text = QString(QChar(char16_t(code)));
        }
        chars_->addItem(text);
    }
    chars_->setCurrentIndex(keep);
}

void LineSettingsDialog::chooseColor()
{
    if (chooseColorDialog(penColor_, this))
        color_->setIcon(swatch(penColor_));
    ok_->setFocus();
}

void LineSettingsDialog::chooseFont()
{
    LogFont font = font_ ? *font_ : LogFont();
    ColorRef color = symbolColor_;
    int size = symbolSize_;
    if (::chooseFont(font, color, size, this)) {
        font_ = font;
        symbolColor_ = color;
        symbolSize_ = size;
        fillSymbolList();
    }
    ok_->setFocus();
}

void LineSettingsDialog::applyLine()
{
    PenRecord pen;
    pen.lopnColor = penColor_;
    if (thinBox_->isChecked()) {
        pen.lopnStyle = uint32_t(std::max(type_->currentIndex(), int(PS_SOLID)));
        pen.lopnWidth = QPoint(1, 0);
        trace_.SetLineWidth(0.0f);
    } else {
        const int units = defaultSettings().units;
        double w = NumberFormat::atof(width_->text());
        if (units == Settings::cm)
            w = fromDisplay(float(w), units);
        if (!(w > 0.0))
            w = defaultWidth;
        pen.lopnStyle = PS_SOLID;
        // A width typed in cm is a hair over its inch value after the division: that hair
        // must not add a unit.
        pen.lopnWidth = QPoint(int(std::ceil(w * 1000.0 - 1e-6)), 0);
        trace_.SetLineWidth(float(w));
    }
    trace_.SetPen(pen);
}

void LineSettingsDialog::applySymbol()
{
    trace_.SetSymbolFont(font_);
    trace_.SetSymbolSize(symbolSize_);
    trace_.SetSymbolColor(symbolColor_);
    if (chars_->currentIndex() >= 0)
        trace_.SetSymbolChar(uint8_t(chars_->currentIndex() + firstSymbolCode));
}

void LineSettingsDialog::accept()
{
    switch (style_->checkedId()) {
    case line:
        applyLine();
        trace_.SetSymbolFont(std::nullopt);
        break;
    case symbol:
        applySymbol();
        trace_.SetPen(std::nullopt);
        break;
    default:
        applySymbol();
        applyLine();
        break;
    }
    QDialog::accept();
}
