#include "platform/ui/DialogValidation.h"

#include "platform/NumberFormat.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"

#include <QLineEdit>
#include <climits>
#include <cmath>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The field text without the blanks the framework allowed around a number.
QStringView trimmedBlanks(const QString& text)
{
    QStringView view(text);
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.mid(1);
    while (!view.isEmpty() && isBlank(view.back()))
        view.chop(1);
    return view;
}

// Optional sign and decimal digits only; false on anything else or beyond 64-bit range.
bool parseDecimal(QStringView text, bool allowMinus, long long& value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        if (negative && !allowMinus)
            return false;
        ++i;
    }
    if (i == text.size())
        return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        if (result > (LLONG_MAX - 9) / 10)
            return false;
        result = result * 10 + (c - u'0');
    }
    value = negative ? -result : result;
    return true;
}

} // namespace

void DialogValidation::fail(QLineEdit* edit, const QString& message)
{
    if (!ok_)
        return;
    ok_ = false;
    prompter_.message(message, QString(), Prompter::Icon::Exclamation);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool DialogValidation::parseReal(QLineEdit* edit, double& value)
{
    if (!ok_)
        return false;
    double parsed = 0.0;
    // NaN would slip through every range check below, infinity through the unranged fields.
    if (!NumberFormat::parseDouble(trimmedBlanks(edit->text()), &parsed) ||
        !std::isfinite(parsed)) {
        fail(edit, loadString(Str::ParseReal));
        return false;
    }
    value = parsed;
    return true;
}

void DialogValidation::number(QLineEdit* edit, float& value)
{
    double parsed = 0.0;
    if (!parseReal(edit, parsed))
        return;
    const float narrowed = static_cast<float>(parsed);
    if (!std::isfinite(narrowed)) {
        fail(edit, loadString(Str::ParseReal));
        return;
    }
    value = narrowed;
}

void DialogValidation::number(QLineEdit* edit, float& value, float min, float max)
{
    double parsed = 0.0;
    if (!parseReal(edit, parsed))
        return;
    const float narrowed = static_cast<float>(parsed);
    if (!(narrowed >= min && narrowed <= max)) {
        fail(edit, formatString(Str::ParseRealRange, text(min), text(max)));
        return;
    }
    value = narrowed;
}

void DialogValidation::number(QLineEdit* edit, double& value)
{
    parseReal(edit, value);
}

void DialogValidation::number(QLineEdit* edit, double& value, double min, double max)
{
    double parsed = 0.0;
    if (!parseReal(edit, parsed))
        return;
    if (!(parsed >= min && parsed <= max)) {
        fail(edit, formatString(Str::ParseRealRange, text(min), text(max)));
        return;
    }
    value = parsed;
}

void DialogValidation::integer(QLineEdit* edit, int& value)
{
    integer(edit, value, INT_MIN, INT_MAX);
}

void DialogValidation::integer(QLineEdit* edit, int& value, int min, int max)
{
    if (!ok_)
        return;
    long long parsed = 0;
    if (!parseDecimal(trimmedBlanks(edit->text()), true, parsed) || parsed < INT_MIN ||
        parsed > INT_MAX) {
        fail(edit, loadString(Str::ParseInt));
        return;
    }
    if (parsed < min || parsed > max) {
        fail(edit, formatString(Str::ParseIntRange, QString::number(min), QString::number(max)));
        return;
    }
    value = static_cast<int>(parsed);
}

void DialogValidation::unsignedInteger(QLineEdit* edit, unsigned int& value)
{
    if (!ok_)
        return;
    long long parsed = 0;
    if (!parseDecimal(trimmedBlanks(edit->text()), false, parsed) || parsed > UINT_MAX) {
        fail(edit, loadString(Str::ParseUInt));
        return;
    }
    value = static_cast<unsigned int>(parsed);
}

QString DialogValidation::text(float value)
{
    return NumberFormat::g(value, 6);
}

QString DialogValidation::text(double value)
{
    return NumberFormat::g(value, 15);
}

void DialogValidation::show(QLineEdit* edit, float value)
{
    edit->setText(text(value));
}

void DialogValidation::show(QLineEdit* edit, double value)
{
    edit->setText(text(value));
}

void DialogValidation::show(QLineEdit* edit, int value)
{
    edit->setText(QString::number(value));
}

void DialogValidation::show(QLineEdit* edit, unsigned int value)
{
    edit->setText(QString::number(value));
}
