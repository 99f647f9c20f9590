#include "axes/ui/DialogNumbers.h"

#include "platform/NumberFormat.h"

#include <QLineEdit>
#include <climits>
#include <cmath>

namespace DialogNumbers {

double readNumber(const QLineEdit* edit)
{
    const double value = NumberFormat::atof(QStringView(edit->text()).left(maxReadLength));
    return std::isfinite(value) ? value : 0.0;
}

int readWhole(const QLineEdit* edit)
{
    const QStringView text = QStringView(edit->text()).left(maxReadLength);
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        // Held within int so that a long run of digits cannot overflow.
        value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), INT_MAX);
    }
    return int(negative ? -value : value);
}

QString general(double value)
{
    return NumberFormat::g(value, 6);
}

void showGeneral(QLineEdit* edit, double value)
{
    edit->setText(general(value));
}

void showWhole(QLineEdit* edit, int value)
{
    edit->setText(QString::number(value));
}

} // namespace DialogNumbers
