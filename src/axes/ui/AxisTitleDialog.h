#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

// What the Axis Title dialog edits: a title's text, its distance from the axis (inches), its
// colour and its font (height in thousandths of an inch, as stored).
struct AxisTitleValues
{
    QString text;
    float distance = 0.1f;
    ColorRef color = 0;
    LogFont font;
};

// The Axis Title dialog over plain values. The distance is taken in the display unit between
// -10 and 10; a new font keeps the escapement the old one had, so a turned title stays
// turned. Controls carry the object names edit138 (text), static139 (font value), button140
// (Font...), edit141 (distance) and label159.
class AxisTitleDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AxisTitleDialog(const AxisTitleValues& values, QWidget* parent = nullptr);

    // The confirmed values; the initial ones until OK succeeds.
    const AxisTitleValues& values() const { return values_; }

    void accept() override;

    // "Face, N pt." for a description whose height is in thousandths of an inch.
    static QString fontValueText(const LogFont& font);

private:
    void chooseTitleFont();

    AxisTitleValues values_;
    LogFont font_;
    ColorRef color_;
    QLineEdit* text_;
    QLineEdit* distance_;
    QLabel* fontValue_;
};

// Runs the dialog on the values; on OK they take the confirmed ones. Nonzero when confirmed.
int runAxisTitleDialog(AxisTitleValues& values, QWidget* parent);
