#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QDialog>
#include <optional>

class PageView;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Trace;

// How a trace is drawn: a line, symbols or both; the line's type, width and colour; the symbol
// font, size, colour and character. OK applies the choice to the trace; Cancel changes nothing.
class LineSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    enum Style { line = 0, symbol = 1, both = 2 };

    explicit LineSettingsDialog(Trace& trace, QWidget* parent = nullptr);

    void accept() override;

    // The screen's pixels per inch that font heights are converted with for the choosers: the
    // view's, or 96 without one.
    static int pixelsPerInch(const PageView* view);
    // Code 32 + i of a symbol font is entry i of the character list.
    static constexpr int firstSymbolCode = 32;

private:
    void setStyle(int style);
    void showLineControls(bool shown);
    void showSymbolControls(bool shown);
    void fillSymbolList();
    void chooseColor();
    void chooseFont();
    void applyLine();
    void applySymbol();

    Trace& trace_;
    int ppi_;

    // The working state; the controls of a style not chosen are cleared, and show it again
    // when the style is chosen.
    ColorRef penColor_ = 0;
    int penStyle_ = PS_SOLID;
    QString widthText_;
    bool thin_ = true;
    std::optional<LogFont> font_; // height in thousandths of an inch
    int symbolSize_ = 0;          // tenths of a point
    ColorRef symbolColor_ = 0;
    int symbolIndex_ = -1;
    bool lineShown_ = false;
    bool symbolShown_ = false;

    QButtonGroup* style_;
    QComboBox* type_;
    QLabel* widthLabel_;
    QLineEdit* width_;
    QCheckBox* thinBox_;
    QPushButton* color_;
    QLabel* face_;
    QLabel* size_;
    QComboBox* chars_;
    QPushButton* fontButton_;
    QPushButton* ok_;
};
