#pragma once

#include <QString>

class QLineEdit;

// How the axis dialogs show and read numbers. Fields are read leniently: at most the first 19
// characters, the longest valid number at their start, 0 when there is none (and for values
// that are not finite, which no axis can use).
namespace DialogNumbers {

constexpr int maxReadLength = 19;

double readNumber(const QLineEdit* edit);
int readWhole(const QLineEdit* edit);
// General notation with 6 significant digits.
QString general(double value);
void showGeneral(QLineEdit* edit, double value);
void showWhole(QLineEdit* edit, int value);

} // namespace DialogNumbers
