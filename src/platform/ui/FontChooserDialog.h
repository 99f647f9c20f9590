#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

// The platform's font dialog with a colour beside it: Qt's font panel (face, style, size,
// strike-out and underline) over a "Color:" button that opens the colour dialog, so font and
// colour are chosen in one window. Heights are in pixels of the screen here; chooseFont converts.
class FontChooserDialog : public QDialog
{
    Q_OBJECT

public:
    // font: the description to start from, height in screen pixels.
    FontChooserDialog(const LogFont& font, ColorRef color, QWidget* parent = nullptr);

    // The choice: the starting description with face, height (negative: character height in
    // screen pixels), weight, italic, underline and strike-out replaced, width, escapement and
    // orientation 0.
    LogFont chosenFont() const;
    ColorRef chosenColor() const { return color_; }
    // Tenths of a point.
    int chosenPointSize() const;

    QFontDialog* fontPanel() const { return panel_; }
    QPushButton* colorButton() const { return colorButton_; }
    void setChosenColor(ColorRef color);

private:
    void pickColor();

    LogFont start_;
    QString substitute_; // the family the starting face is drawn with
    ColorRef color_;
    QFontDialog* panel_ = nullptr;
    QPushButton* colorButton_ = nullptr;
};
