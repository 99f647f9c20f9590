#pragma once

#include "axes/tickstruct.h"

#include <QDialog>

class Axis;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

// The Format Ticks and Labels dialog. It works on a copy of the axis's tick record and changes
// the axis only on OK; the Automatic Ticks preview computes on the axis and puts it back.
// Controls carry the object names edit814 .. edit820, edit822, edit823, edit824, check825
// (digits Auto), check833 (Automatic Ticks), radio811 / radio812 / radio813 (Decimal,
// Exponential, Auto), static828 (font), static829 (size), button830 (Fonts...), check832
// (Hide Labels) and label805, label806, label807.
class FormatTicksDialog : public QDialog
{
    Q_OBJECT

public:
    // axis: not owned.
    explicit FormatTicksDialog(Axis& axis, QWidget* parent = nullptr);

    void accept() override;

private:
    void fillControls();
    void fillFont();
    void manualEdit();
    void digitsEdited();
    void autoDigitsClicked();
    void automaticTicksClicked();
    void chooseFonts();
    // The manual settings the axis can draw; false (with a message) when it cannot.
    bool checkManualTicks(double spacing, int interval);

    Axis& axis_;
    tickstruct copy_;
    ColorRef color_;
    LogFont font_;
    int pointSize_; // tenths of a point

    QLineEdit* spacing_;
    QLineEdit* interval_;
    QLineEdit* firstTick_;
    QLineEdit* tickAngle_;
    QLineEdit* minorLength_;
    QLineEdit* majorLength_;
    QCheckBox* automatic_;
    QButtonGroup* format_;
    QLineEdit* offsetX_;
    QLineEdit* offsetY_;
    QLineEdit* digits_;
    QCheckBox* autoDigits_;
    QLabel* fontValue_;
    QLabel* sizeValue_;
    QCheckBox* hideLabels_;
    QPushButton* ok_;
};
