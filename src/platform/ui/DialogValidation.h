#pragma once

#include "platform/Prompter.h"

#include <QString>

class QLineEdit;

// Moves values between a dialog's fields and its variables the way every Plotvane dialog
// validates: fields are taken in order; the first bad one shows its message ("Please enter a
// number."), gets the focus with its text selected, and the rest of the pass is skipped so
// the dialog can stay open.
//
//     DialogValidation dv;
//     dv.number(ui.length, length, 0.01f, 300.0f);
//     dv.integer(ui.size, size);
//     if (!dv.ok())
//         return;
class DialogValidation
{
public:
    explicit DialogValidation(Prompter& prompter = Prompter::instance()) : prompter_(prompter) {}

    bool ok() const { return ok_; }

    // Real numbers; a float is range-checked after narrowing, as it is stored. Range messages
    // write the bounds with 6 significant digits for floats and 15 for doubles.
    void number(QLineEdit* edit, float& value);
    void number(QLineEdit* edit, float& value, float min, float max);
    void number(QLineEdit* edit, double& value);
    void number(QLineEdit* edit, double& value, double min, double max);
    void integer(QLineEdit* edit, int& value);
    void integer(QLineEdit* edit, int& value, int min, int max);
    void unsignedInteger(QLineEdit* edit, unsigned int& value);

    // Fills fields the way the validation above reads them back.
    static void show(QLineEdit* edit, float value);
    static void show(QLineEdit* edit, double value);
    static void show(QLineEdit* edit, int value);
    static void show(QLineEdit* edit, unsigned int value);

    // How numbers appear in fields: %.6g for floats, %.15g for doubles.
    static QString text(float value);
    static QString text(double value);

    // Text-only checks (a dialog's own rules) fail the same way.
    void fail(QLineEdit* edit, const QString& message);

private:
    bool parseReal(QLineEdit* edit, double& value);

    Prompter& prompter_;
    bool ok_ = true;
};
