#include "data/ImportSettings.h"

#include <QJsonArray>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const std::pair<ImportSettings::Delimiter, const char*> delimiterNames[] = {
    {ImportSettings::Delimiter::standard, "standard"},
    {ImportSettings::Delimiter::blanks, "blanks"},
    {ImportSettings::Delimiter::comma, "comma"},
    {ImportSettings::Delimiter::semicolon, "semicolon"},
    {ImportSettings::Delimiter::tab, "tab"},
    {ImportSettings::Delimiter::automatic, "automatic"},
};

// The delimiter most of the first lines with numbers use.
ImportSettings::Delimiter guessDelimiter(std::string_view sample, const LineReader::Rules& rules)
{
    int lines = 0, semicolons = 0, tabs = 0, commas = 0;
    while (!sample.empty() && lines < 50) {
        size_t end = sample.find_first_of("\r\n");
        if (end == std::string_view::npos)
            end = sample.size();
        const std::string_view line = sample.substr(0, end);
        sample.remove_prefix(std::min(end + 1, sample.size()));
        const size_t first = line.find_first_not_of(" \t");
        // Titles and words say nothing of how the numbers are separated.
        if (first == std::string_view::npos || rules.comment[uint8_t(line[first])] ||
            line.find_first_of("0123456789") == std::string_view::npos)
            continue;
        ++lines;
        semicolons += line.find(';') != std::string_view::npos;
        tabs += line.find('\t') != std::string_view::npos;
        commas += line.find(',') != std::string_view::npos;
    }
    if (lines == 0)
        return ImportSettings::Delimiter::standard;
    if (2 * semicolons >= lines)
        return ImportSettings::Delimiter::semicolon;
    if (2 * tabs >= lines)
        return ImportSettings::Delimiter::tab;
    if (2 * commas >= lines)
        return ImportSettings::Delimiter::comma;
    return ImportSettings::Delimiter::blanks;
}

bool digitsAt(std::string_view text, size_t& i, int minDigits, int maxDigits, int* value)
{
    int n = 0, v = 0;
    while (i < text.size() && n < maxDigits && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + (text[i] - '0');
        ++i;
        ++n;
    }
    *value = v;
    return n >= minDigits;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct DateParts
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    bool hasDate = false;
    int zoneMinutes = 0;
};

bool fraction(std::string_view text, size_t& i, double* value)
{
    const size_t start = i;
    double f = 0.0, scale = 0.1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        f += (text[i] - '0') * scale;
        scale /= 10.0;
        ++i;
    }
    *value = f;
    return i > start;
}

bool timeOfDay(std::string_view t, size_t& i, DateParts& p)
{
    if (!digitsAt(t, i, 2, 2, &p.hour) || i >= t.size() || t[i] != ':')
        return false;
    ++i;
    if (!digitsAt(t, i, 2, 2, &p.minute))
        return false;
    if (i < t.size() && t[i] == ':') {
        ++i;
        int s = 0;
        if (!digitsAt(t, i, 2, 2, &s))
            return false;
        p.second = s;
        if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
            ++i;
            double f = 0.0;
            if (!fraction(t, i, &f))
                return false;
            p.second += f;
        }
    }
    return true;
}

bool parseIso(std::string_view t, DateParts& p)
{
    size_t i = 0;
    if (t.size() >= 5 && t[2] == ':')
        return timeOfDay(t, i, p) && i == t.size();
    if (!digitsAt(t, i, 4, 4, &p.year) || i >= t.size() || t[i] != '-')
        return false;
    ++i;
    if (!digitsAt(t, i, 2, 2, &p.month) || i >= t.size() || t[i] != '-')
        return false;
    ++i;
    if (!digitsAt(t, i, 2, 2, &p.day))
        return false;
    p.hasDate = true;
    if (i == t.size())
        return true;
    if (t[i] != 'T' && t[i] != ' ')
        return false;
    ++i;
    if (!timeOfDay(t, i, p))
        return false;
    if (i == t.size())
        return true;
    if (t[i] == 'Z')
        return i + 1 == t.size();
    if (t[i] != '+' && t[i] != '-')
        return false;
    const int sign = t[i] == '-' ? -1 : 1;
    ++i;
    int hh = 0, mm = 0;
    if (!digitsAt(t, i, 2, 2, &hh))
        return false;
    if (i < t.size() && t[i] == ':')
        ++i;
    if (i < t.size() && !digitsAt(t, i, 2, 2, &mm))
        return false;
    p.zoneMinutes = sign * (hh * 60 + mm);
    return i == t.size();
}

bool parsePattern(std::string_view t, std::string_view f, DateParts& p)
{
    size_t i = 0, k = 0;
    while (k < f.size()) {
        const char c = f[k];
        size_t run = 1;
        while (k + run < f.size() && f[k + run] == c)
            ++run;
        int v = 0;
        if (c == 'y' || c == 'M' || c == 'd' || c == 'H' || c == 'h' || c == 'm' || c == 's') {
            const int digits = c == 'y' ? (run >= 4 ? 4 : 2) : 2;
            const int least = run >= 2 ? digits : 1;
            if (!digitsAt(t, i, least, digits, &v))
                return false;
            switch (c) {
            case 'y':
                p.year = run >= 4 ? v : (v < 70 ? 2000 + v : 1900 + v);
                p.hasDate = true;
                break;
            case 'M':
                p.month = v;
                p.hasDate = true;
                break;
            case 'd':
                p.day = v;
                p.hasDate = true;
                break;
            case 'H':
            case 'h':
                p.hour = v;
                break;
            case 'm':
                p.minute = v;
                break;
            default:
                p.second += v;
            }
        } else if (c == 'z') {
            double fr = 0.0;
            if (!fraction(t, i, &fr))
                return false;
            p.second += fr;
        } else {
            for (size_t r = 0; r < run; ++r, ++i) {
                if (i >= t.size() || t[i] != c)
                    return false;
            }
        }
        k += run;
    }
    if (i != t.size())
        return false;
    if (p.hasDate) {
        if (p.year == 0)
            p.year = 1970;
        if (p.month == 0)
            p.month = 1;
        if (p.day == 0)
            p.day = 1;
    }
    return true;
}

ImportSettingsScope* currentScope = nullptr;

} // namespace

bool parseDateTime(std::string_view text, std::string_view pattern, double* seconds)
{
    DateParts p;
    if (!(pattern.empty() ? parseIso(text, p) : parsePattern(text, pattern, p)))
        return false;
    if (p.month > 12 || p.day > 31 || p.hour > 24 || p.minute > 59 || p.second >= 61.0)
        return false;
    if (p.hasDate && (p.month < 1 || p.day < 1))
        return false;
    const int64_t days = p.hasDate ? daysFromCivil(p.year, p.month, p.day) : 0;
    *seconds = double(days * 86400 + p.hour * 3600 + p.minute * 60 - p.zoneMinutes * 60) + p.second;
    return true;
}

QStringList columnNamesOf(std::string_view headerLine, const LineReader::Rules& rules)
{
    std::vector<std::string> fields = LineReader::fieldsOf(headerLine, rules);
    if (!fields.empty() && !fields.front().empty() && rules.comment[uint8_t(fields.front()[0])])
        fields.front().erase(0, 1);
    if (!fields.empty() && fields.front().find_first_not_of(" \t") == std::string::npos &&
        rules.delimiter == 0)
        fields.erase(fields.begin());
    QStringList names;
    for (const std::string& f : fields)
        names.append(QString::fromUtf8(f).trimmed());
    return names;
}

std::shared_ptr<const LineReader::Rules> ImportSettings::rules(std::string_view sample) const
{
    auto r = std::make_shared<LineReader::Rules>();
    r->comment = {};
    for (const QChar c : comments) {
        if (c.unicode() < 128)
            r->comment[c.unicode()] = true;
    }
    Delimiter d = delimiter;
    if (d == Delimiter::automatic)
        d = guessDelimiter(sample, *r);
    // A decimal comma leaves the comma to the numbers.
    if (decimalComma && (d == Delimiter::standard || d == Delimiter::comma))
        d = Delimiter::blanks;
    r->separator = {};
    r->separator[uint8_t(' ')] = r->separator[uint8_t('\t')] = true;
    if (d == Delimiter::standard)
        r->separator[uint8_t(',')] = true;
    r->delimiter = d == Delimiter::comma       ? ','
                   : d == Delimiter::semicolon ? ';'
                   : d == Delimiter::tab       ? '\t'
                                               : 0;
    r->missingValues = missingValues;
    for (const QString& p : placeholders) {
        if (!p.isEmpty())
            r->placeholders.push_back(p.toStdString());
    }
    r->stripQuotes = stripQuotes;
    r->decimalComma = decimalComma;
    r->breakLines = breakLines;
    for (int c : dateColumns) {
        if (c >= 1 && c <= 32)
            r->dateColumns |= 1u << (c - 1);
    }
    r->dateFormat = dateFormat.toStdString();
    r->widest = widestRow;
    r->firstDataLine = std::max(firstDataLine, 0);
    r->headerLine = std::max(headerLine, 0);
    // The plain rules' fast path serves where every field is read as they read it.
    r->fields = d != Delimiter::standard || missingValues || !r->placeholders.empty() ||
                stripQuotes || decimalComma || r->dateColumns != 0;
    return r;
}

QString ImportSettings::delimiterName(Delimiter d)
{
    for (const auto& [value, name] : delimiterNames) {
        if (value == d)
            return QString::fromLatin1(name);
    }
    return {};
}

bool ImportSettings::delimiterFromName(const QString& name, Delimiter* d)
{
    for (const auto& [value, n] : delimiterNames) {
        if (name == QLatin1String(n)) {
            *d = value;
            return true;
        }
    }
    return false;
}

QJsonObject ImportSettings::toJson() const
{
    QJsonObject o;
    o[QStringLiteral("comments")] = comments;
    o[QStringLiteral("firstDataLine")] = firstDataLine;
    o[QStringLiteral("headerLine")] = headerLine;
    o[QStringLiteral("delimiter")] = delimiterName(delimiter);
    o[QStringLiteral("missingValues")] = missingValues;
    o[QStringLiteral("placeholders")] = QJsonArray::fromStringList(placeholders);
    o[QStringLiteral("stripQuotes")] = stripQuotes;
    o[QStringLiteral("decimalComma")] = decimalComma;
    o[QStringLiteral("breakLines")] = breakLines;
    QJsonArray dates;
    for (int c : dateColumns)
        dates.append(c);
    o[QStringLiteral("dateColumns")] = dates;
    o[QStringLiteral("dateFormat")] = dateFormat;
    o[QStringLiteral("widestRow")] = widestRow;
    return o;
}

ImportSettings ImportSettings::fromJson(const QJsonObject& o)
{
    ImportSettings s;
    s.comments = o.value(QStringLiteral("comments")).toString(s.comments);
    s.firstDataLine = std::max(0, o.value(QStringLiteral("firstDataLine")).toInt());
    s.headerLine = std::max(0, o.value(QStringLiteral("headerLine")).toInt());
    delimiterFromName(o.value(QStringLiteral("delimiter")).toString(), &s.delimiter);
    s.missingValues = o.value(QStringLiteral("missingValues")).toBool();
    for (const QJsonValue& v : o.value(QStringLiteral("placeholders")).toArray()) {
        if (v.isString())
            s.placeholders.append(v.toString());
    }
    s.stripQuotes = o.value(QStringLiteral("stripQuotes")).toBool();
    s.decimalComma = o.value(QStringLiteral("decimalComma")).toBool();
    s.breakLines = o.value(QStringLiteral("breakLines")).toBool();
    for (const QJsonValue& v : o.value(QStringLiteral("dateColumns")).toArray()) {
        const int c = v.toInt();
        if (c >= 1 && c <= LineReader::maxColumns)
            s.dateColumns.append(c);
    }
    s.dateFormat = o.value(QStringLiteral("dateFormat")).toString();
    s.widestRow = o.value(QStringLiteral("widestRow")).toBool();
    return s;
}

ImportSettingsScope::ImportSettingsScope(QList<std::pair<QString, ImportSettings>> byPath)
    : byPath_(std::move(byPath)), previous_(currentScope)
{
    currentScope = this;
}

ImportSettingsScope::~ImportSettingsScope()
{
    currentScope = previous_;
}

ImportSettings ImportSettingsScope::forPath(const QString& path)
{
    if (currentScope) {
        for (const auto& [p, settings] : currentScope->byPath_) {
            if (p == path)
                return settings;
        }
    }
    return {};
}
