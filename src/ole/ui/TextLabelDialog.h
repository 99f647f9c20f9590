#pragma once

#include "ole/TextLabel.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// The editor of a text label: its text (several lines), its font through the font chooser
// and its colour (chosen with the font). Controls carry the object names edit170 (text),
// static171 (font value) and button172 (Font...).
class TextLabelDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TextLabelDialog(const TextLabel& label, QWidget* parent = nullptr);

    // The confirmed label; the initial one until OK.
    const TextLabel& label() const { return label_; }

    void accept() override;

private:
    void chooseLabelFont();
    void showFont();

    TextLabel label_;
    LogFont font_;
    ColorRef color_;
    QPlainTextEdit* text_;
    QLabel* fontValue_;
};
