#pragma once

#include <QString>
#include <QStringView>

// Numbers as text, written the way the original platform's C library writes them: exponents
// carry a sign and at least three digits (1e+006, 2.5e-005), independent of the locale.
namespace NumberFormat {

// %.<precision>g
QString g(double value, int precision = 6);
// %.<precision>e
QString e(double value, int precision = 6);
// %.<precision>f
QString f(double value, int precision = 6);
// One printf conversion of a double, e.g. "%g", "%10.3e", "%-8.2f", "%.*g" is not supported.
// Text around the conversion is kept ("x = %g s").
// A format without a double conversion (none, "%d", "%s", "%*g", a second conversion, a width
// or precision above 500) is returned unchanged. Non-finite values read "inf", "-inf", "nan".
QString printf(const char* format, double value);
QString printf(const QString& format, double value);

// C-locale string-to-double over the whole text: leading white space allowed, the entire rest
// must be consumed. Returns false (and leaves *value alone) otherwise, and for a finite text
// that overflows the double range ("1e400"); "inf" and "nan" are accepted.
bool parseDouble(QStringView text, double* value);
// The C library's atof: the longest valid prefix, 0 when there is none.
double atof(QStringView text);

} // namespace NumberFormat
