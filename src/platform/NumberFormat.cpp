#include "platform/NumberFormat.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// Width and precision above this are refused: "%999999999g" would otherwise ask for a gigabyte.
constexpr int maxField = 500;

// QCoreApplication sets the user's locale, whose decimal comma must never reach a label or a
// file, so every conversion runs under a private C locale.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

class CLocaleScope
{
public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

struct Conversion
{
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1; // -1: the conversion's default
    char type = 'g';
};

// The exponent carries at least three digits, as the original runtime wrote it.
void widenExponent(std::string& text)
{
    const auto e = text.find_last_of("eE");
    if (e == std::string::npos || e + 1 >= text.size())
        return;
    size_t digits = e + 1;
    if (text[digits] == '+' || text[digits] == '-')
        ++digits;
    const size_t count = text.size() - digits;
    if (count < 3)
        text.insert(digits, 3 - count, '0');
}

// The conversion without its width: sign, digits, exponent.
std::string formatBody(double value, const Conversion& c)
{
    // A NaN's sign bit depends on how it was made (0.0/0.0 sets it on x86); it says nothing
    // about the data, so it is always written as "nan".
    if (std::isnan(value))
        value = std::fabs(value);
    char format[32];
    char* p = format;
    *p++ = '%';
    if (c.plusSign)
        *p++ = '+';
    if (c.spaceSign)
        *p++ = ' ';
    if (c.alternate)
        *p++ = '#';
    if (c.precision >= 0)
        p += std::snprintf(p, sizeof format - 4, ".%d", c.precision);
    *p++ = c.type;
    *p = '\0';

    CLocaleScope scope;
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, value);
    std::string text;
    if (n < 0)
        return text;
    if (size_t(n) < sizeof buffer) {
        text.assign(buffer, size_t(n));
    } else {
        text.resize(size_t(n) + 1);
        std::snprintf(text.data(), text.size(), format, value);
        text.resize(size_t(n));
    }
    if (std::isfinite(value) && c.type != 'a' && c.type != 'A' && c.type != 'f' && c.type != 'F')
        widenExponent(text);
    return text;
}

std::string applyWidth(std::string body, const Conversion& c, bool finite)
{
    if (int(body.size()) >= c.width)
        return body;
    const size_t pad = size_t(c.width) - body.size();
    if (c.leftAlign) {
        body.append(pad, ' ');
    } else if (c.zeroPad && finite) {
        size_t at = 0;
        if (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' '))
            at = 1;
        if (body.size() >= at + 2 && body[at] == '0' &&
            (body[at + 1] == 'x' || body[at + 1] == 'X'))
            at += 2;
        body.insert(at, pad, '0');
    } else {
        body.insert(0, pad, ' ');
    }
    return body;
}

QString convert(double value, const Conversion& c)
{
    return QString::fromLatin1(applyWidth(formatBody(value, c), c, std::isfinite(value)));
}

bool readNumber(const char*& p, int* out)
{
    if (*p < '0' || *p > '9')
        return false;
    int n = 0;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + (*p - '0');
        if (n > maxField)
            return false;
        ++p;
    }
    *out = n;
    return true;
}

// Parses one conversion after its '%'; false for anything that is not a double conversion.
bool parseConversion(const char*& p, Conversion* c)
{
    for (;; ++p) {
        if (*p == '-')
            c->leftAlign = true;
        else if (*p == '+')
            c->plusSign = true;
        else if (*p == ' ')
            c->spaceSign = true;
        else if (*p == '#')
            c->alternate = true;
        else if (*p == '0')
            c->zeroPad = true;
        else
            break;
    }
    if (*p >= '1' && *p <= '9' && !readNumber(p, &c->width))
        return false;
    if (*p == '.') {
        ++p;
        c->precision = 0;
        if (*p >= '0' && *p <= '9' && !readNumber(p, &c->precision))
            return false;
    }
    if (*p == 'l' || *p == 'L')
        ++p;
    switch (*p) {
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
        c->type = *p++;
        return true;
    default:
        return false;
    }
}

QString printfImpl(const char* format, double value)
{
    if (!format)
        return {};
    QString out;
    const char* literal = format;
    bool converted = false;
    for (const char* p = format; *p;) {
        if (*p != '%') {
            ++p;
            continue;
        }
        out += QString::fromUtf8(literal, p - literal);
        ++p;
        if (*p == '%') {
            out += QLatin1Char('%');
            literal = ++p;
            continue;
        }
        Conversion c;
        if (converted || !parseConversion(p, &c))
            return QString::fromUtf8(format);
        out += convert(value, c);
        converted = true;
        literal = p;
    }
    if (!converted)
        return QString::fromUtf8(format);
    out += QString::fromUtf8(literal);
    return out;
}

QString withPrecision(double value, int precision, char type)
{
    Conversion c;
    c.type = type;
    c.precision = precision < 0 ? 6 : std::min(precision, maxField);
    return convert(value, c);
}

// strtod under the C locale over the Latin-1 form of the text; characters outside Latin-1
// become '?', which ends every number.
double parsePrefix(QStringView text, qsizetype* consumed, bool* overflow)
{
    const QByteArray bytes = text.toLatin1();
    const char* begin = bytes.constData();
    char* end = nullptr;
    errno = 0;
    const double value = strtod_l(begin, &end, cLocale());
    *overflow = errno == ERANGE && std::isinf(value);
    *consumed = end - begin;
    return value;
}

} // namespace

namespace NumberFormat {

QString g(double value, int precision)
{
    return withPrecision(value, precision, 'g');
}

QString e(double value, int precision)
{
    return withPrecision(value, precision, 'e');
}

QString f(double value, int precision)
{
    return withPrecision(value, precision, 'f');
}

QString printf(const char* format, double value)
{
    return printfImpl(format, value);
}

QString printf(const QString& format, double value)
{
    const QByteArray utf8 = format.toUtf8();
    return printfImpl(utf8.constData(), value);
}

bool parseDouble(QStringView text, double* value)
{
    qsizetype consumed = 0;
    bool overflow = false;
    const double result = parsePrefix(text, &consumed, &overflow);
    if (consumed == 0 || consumed != text.size() || overflow)
        return false;
    if (value)
        *value = result;
    return true;
}

double atof(QStringView text)
{
    qsizetype consumed = 0;
    bool overflow = false;
    return parsePrefix(text, &consumed, &overflow);
}

} // namespace NumberFormat
