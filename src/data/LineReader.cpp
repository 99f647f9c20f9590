#include "data/LineReader.h"

#include "data/ImportSettings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

enum : uint8_t {
    separator = 1, // ',', ' ', '\t'
    stop = 2,      // NUL ends the text of its line, as in a C string
};

constexpr std::array<uint8_t, 256> makeCharClasses()
{
    std::array<uint8_t, 256> c{};
    c[uint8_t(',')] = separator;
    c[uint8_t(' ')] = separator;
    c[uint8_t('\t')] = separator;
    c[0] = stop;
    return c;
}
constexpr std::array<uint8_t, 256> charClasses = makeCharClasses();

inline bool isSeparator(char c)
{
    return charClasses[uint8_t(c)] & separator;
}
inline bool endsToken(char c)
{
    return charClasses[uint8_t(c)] != 0;
}
inline bool isDigit(char c)
{
    return unsigned(c - '0') < 10u;
}

constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimal numbers ([-]digits[.digits][e[+-]digits]) whose significand fits in 53 bits and
// whose power of ten is exact: one correctly rounded multiplication or division then gives the
// correctly rounded value, the one strtod gives. The text must go on with a character that
// cannot continue a number (the line break, or the NUL after the text), so no end is checked.
// Returns the end of the number, or null when the token needs the full conversion.
inline const char* parseSimpleNumber(const char* p, double* value)
{
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    uint64_t m = 0;
    int digits = 0;
    int exponent = 0;
    const char* const start = p;
    while (*p == '0')
        ++p;
    while (isDigit(*p)) {
        m = m * 10 + unsigned(*p - '0');
        ++p;
        ++digits;
    }
    if (*p == '.') {
        ++p;
        const char* fraction = p;
        if (digits == 0) {
            while (*p == '0')
                ++p;
        }
        const char* significant = p;
        while (isDigit(*p)) {
            m = m * 10 + unsigned(*p - '0');
            ++p;
        }
        digits += int(p - significant);
        exponent -= int(p - fraction);
    }
    if (digits > 19)
        return nullptr; // m may have wrapped
    if (p == start || (p == start + 1 && *start == '.'))
        return nullptr; // no digit at all
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') {
            negativeExponent = *q == '-';
            ++q;
        }
        if (!isDigit(*q))
            return nullptr;
        int e = 0;
        while (isDigit(*q)) {
            if (e < 100000)
                e = e * 10 + (*q - '0');
            ++q;
        }
        exponent += negativeExponent ? -e : e;
        p = q;
    }
    if (m == 0) {
        *value = negative ? -0.0 : 0.0;
        return p;
    }
    if (m > (uint64_t(1) << 53) || exponent < -22 || exponent > 22)
        return nullptr;
    double v = double(m);
    v = exponent < 0 ? v / exactPowersOfTen[-exponent] : v * exactPowersOfTen[exponent];
    *value = negative ? -v : v;
    return p;
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

// Characters a token may start with when strtod can still take all of it: its leading white
// space, a sign, a point, a digit, inf or nan.
bool mayStartNumber(char c)
{
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '\v':
    case '\f':
    case '+':
    case '-':
    case '.':
    case 'i':
    case 'I':
    case 'n':
    case 'N':
        return true;
    default:
        return isDigit(c);
    }
}

// The whole conversion. from_chars gives the same correctly rounded values as strtod for the
// forms it takes; the C library decides the rest (a leading '+', hexadecimal, leading white
// space, values out of range, NaN payloads).
bool convertToken(const char* begin, const char* end, double* value)
{
    if (begin == end || !mayStartNumber(*begin))
        return false;
    double v;
    const auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec == std::errc() && ptr == end && !std::isnan(v)) {
        *value = v;
        return true;
    }
    const size_t n = size_t(end - begin);
    char small[LineReader::lineLimit + 1];
    std::string large;
    char* text = small;
    if (n >= sizeof small) {
        large.assign(begin, n);
        text = large.data();
    } else {
        std::memcpy(small, begin, n);
        small[n] = '\0';
    }
    if (std::memchr(text, '\0', n))
        return false;
    char* stopped = nullptr;
    v = strtod_l(text, &stopped, cLocale());
    if (stopped != text + n)
        return false;
    *value = v;
    return true;
}

// The first LF or CR among p[0, n), or null.
const char* findLineBreak(const char* p, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
        if (mask)
            return p + i + std::countr_zero(mask);
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == '\n' || p[i] == '\r')
            return p + i;
    }
    return nullptr;
}

// The first character of the line that is neither blank nor tab, or end.
const char* firstNonBlank(const char* p, const char* end)
{
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    return p;
}

const double missing = std::numeric_limits<double>::quiet_NaN();

// The text of a field without the blanks around it and, when asked, without its quotes.
void trimField(const char*& b, const char*& e, bool stripQuotes)
{
    while (b < e && (*b == ' ' || *b == '\t'))
        ++b;
    while (e > b && (e[-1] == ' ' || e[-1] == '\t'))
        --e;
    if (stripQuotes && e - b >= 2 && (*b == '"' || *b == '\'') && e[-1] == *b) {
        ++b;
        --e;
    }
}

// Calls f(begin, end) for each field of the text [p, end) as the rules split it.
template <class F>
void forEachField(const LineReader::Rules& rules, const char* p, const char* end, const F& f)
{
    if (const void* nul = std::memchr(p, '\0', size_t(end - p)))
        end = static_cast<const char*>(nul);
    // Where the field starting at q ends: at the first separator outside double quotes.
    const auto fieldEnd = [&rules, end](const char* q, const auto& isSeparator) {
        bool quoted = false;
        while (q < end && (quoted || !isSeparator(*q))) {
            if (rules.stripQuotes && *q == '"')
                quoted = !quoted;
            ++q;
        }
        return q;
    };
    const auto field = [&rules, &f](const char* b, const char* e) {
        trimField(b, e, rules.stripQuotes);
        return f(b, e);
    };
    if (rules.delimiter == 0) {
        // Runs of separators part the fields.
        const auto isSeparator = [&rules](char c) { return rules.separator[uint8_t(c)]; };
        for (;;) {
            while (p < end && isSeparator(*p))
                ++p;
            if (p == end)
                return;
            const char* q = fieldEnd(p, isSeparator);
            if (!field(p, q))
                return;
            p = q;
        }
    }
    // Each delimiter parts two fields, which may be empty.
    const auto isDelimiter = [&rules](char c) { return c == rules.delimiter; };
    for (;;) {
        const char* q = fieldEnd(p, isDelimiter);
        if (!field(p, q) || q == end)
            return;
        p = q + 1;
    }
}

enum class FieldValue { skipped, missing, placeholder, number };

} // namespace

LineReader::Rules::Rules()
{
    separator[uint8_t(',')] = separator[uint8_t(' ')] = separator[uint8_t('\t')] = true;
    comment[uint8_t('#')] = true;
}

const LineReader::Rules& LineReader::Rules::plain()
{
    static const Rules rules;
    return rules;
}

namespace {

FieldValue fieldValue(const LineReader::Rules& rules, int column, const char* b, const char* e,
                      double* value)
{
    if (b == e)
        return rules.missingValues ? FieldValue::missing : FieldValue::skipped;
    const std::string_view text(b, size_t(e - b));
    for (const std::string& p : rules.placeholders) {
        if (text == p)
            return FieldValue::placeholder;
    }
    if (column < 32 && (rules.dateColumns >> column & 1u)) {
        if (parseDateTime(text, rules.dateFormat, value))
            return FieldValue::number;
        return rules.missingValues ? FieldValue::missing : FieldValue::skipped;
    }
    // The field ends at a delimiter, a blank, a quote or the line's end: none goes on a number.
    if (parseSimpleNumber(b, value) == e)
        return FieldValue::number;
    if (text.size() <= LineReader::lineLimit) {
        char copy[LineReader::lineLimit + 1];
        std::memcpy(copy, b, text.size());
        if (rules.decimalComma)
            std::replace(copy, copy + text.size(), ',', '.');
        if (convertToken(copy, copy + text.size(), value))
            return FieldValue::number;
    }
    return rules.missingValues ? FieldValue::missing : FieldValue::skipped;
}

} // namespace

std::vector<std::string> LineReader::fieldsOf(std::string_view line, const Rules& rules)
{
    std::vector<std::string> fields;
    forEachField(rules, line.data(), line.data() + line.size(), [&](const char* b, const char* e) {
        fields.emplace_back(b, size_t(e - b));
        return true;
    });
    return fields;
}

bool LineReader::tokenToNumber(std::string_view token, double* value)
{
    if (token.empty())
        return false;
    const char* begin = token.data();
    const char* end = begin + token.size();
    char text[lineLimit + 1];
    if (token.size() < sizeof text) {
        std::memcpy(text, begin, token.size());
        text[token.size()] = '\0';
        double v = 0.0;
        if (parseSimpleNumber(text, &v) == text + token.size()) {
            *value = v;
            return true;
        }
    }
    return convertToken(begin, end, value);
}

LineReader::LineReader(const char* text, size_t size, const Rules* rules, Observer* observer)
    : cursor_(text), end_(text + size), rules_(rules ? rules : &Rules::plain()), observer_(observer)
{
    readFirstRow();
}

LineReader::LineReader(char* window, size_t capacity, size_t size, Source* source,
                       const Rules* rules)
    : cursor_(window), end_(window + size), window_(window), capacity_(capacity), source_(source),
      rules_(rules ? rules : &Rules::plain())
{
    window_[size] = '\0';
    readFirstRow();
}

LineReader::LineReader(char* window, size_t capacity, size_t size, Source* source,
                       Continuation from, const Rules* rules)
    : cursor_(window), end_(window + size), window_(window), capacity_(capacity), source_(source),
      numColumns_(from.numColumns), ok_(from.numColumns > 0), atTextStart_(false),
      textRun_(from.textLines), rules_(rules ? rules : &Rules::plain()),
      pendingBreak_(from.breakPending)
{
    window_[size] = '\0';
}

void LineReader::report(LineKind kind) const
{
    report(kind, line_, lineEnd_);
}

void LineReader::report(LineKind kind, const char* begin, const char* end) const
{
    if (observer_)
        observer_->line(linesConsumed_ + (kind == LineKind::tooLong ? 1 : 0), kind,
                        std::string_view(begin, size_t(end - begin)));
}

void LineReader::readFirstRow()
{
    inHeader_ = true;
    for (int i = 0; i <= maxTextLines; ++i) {
        if (!ReadLine())
            break;
        const int n = parseLine(numbers_, maxColumns);
        if (n > 0) {
            numColumns_ = n;
            ok_ = true;
            report(LineKind::data);
            break;
        }
        report(i == maxTextLines ? LineKind::stop : LineKind::text);
    }
    inHeader_ = false;
    // Nothing before the first row is broken off.
    pendingBreak_ = false;
}

void LineReader::widen(int columns)
{
    columns = std::min(columns, int(maxColumns));
    if (columns <= numColumns_)
        return;
    const int n = numColumns_;
    numColumns_ = columns;
    fillMissing(breakRow_ ? 0 : n);
}

void LineReader::fillMissing(int from)
{
    const double value = rules_->missingValues || breakRow_ ? missing : 0.0;
    for (int c = from; c < numColumns_; ++c)
        numbers_[c] = value;
}

size_t LineReader::Source::ReadUpTo(char* dst, size_t max, bool* ended)
{
    size_t size = 0;
    *ended = false;
    while (size < max) {
        const size_t got = Read(dst + size, max - size);
        if (got == 0) {
            *ended = true;
            break;
        }
        size += got;
    }
    return size;
}

void LineReader::refill()
{
    const size_t kept = size_t(end_ - cursor_);
    std::memmove(window_, cursor_, kept);
    bool ended = false;
    const size_t size = kept + source_->ReadUpTo(window_ + kept, capacity_ - kept, &ended);
    if (ended)
        source_ = nullptr;
    window_[size] = '\0';
    cursor_ = window_;
    end_ = window_ + size;
}

bool LineReader::ReadLine()
{
    if (broken_)
        return false;
    for (;;) {
        if (source_ && size_t(end_ - cursor_) < minWindow)
            refill();
        if (atTextStart_) {
            atTextStart_ = false;
            // Skipped as if not there: the window is topped up again after it.
            if (end_ - cursor_ >= 3 && std::memcmp(cursor_, "\xEF\xBB\xBF", 3) == 0) {
                cursor_ += 3;
                continue;
            }
        }
        if (cursor_ == end_)
            return false;
        // A readable line breaks within its first lineLimit characters, or is the last.
        const size_t left = size_t(end_ - cursor_);
        const char* lineEnd = findLineBreak(cursor_, std::min(left, size_t(lineLimit)));
        if (!lineEnd) {
            if (left >= size_t(lineLimit)) {
                broken_ = true;
                report(LineKind::tooLong, cursor_, cursor_ + lineLimit);
                return false;
            }
            lineEnd = end_;
        }
        line_ = cursor_;
        lineEnd_ = lineEnd;
        if (lineEnd == end_)
            cursor_ = end_;
        else if (lineEnd[0] == '\r' && lineEnd + 1 < end_ && lineEnd[1] == '\n')
            cursor_ = lineEnd + 2; // CR LF is one line break
        else
            cursor_ = lineEnd + 1;
        ++linesConsumed_;
        const Rules& rules = *rules_;
        if (inHeader_ && linesConsumed_ < std::max(rules.firstDataLine, rules.headerLine + 1)) {
            if (linesConsumed_ == rules.headerLine) {
                headerText_.assign(line_, lineEnd_);
                report(LineKind::header);
            } else {
                report(line_ == lineEnd_ ? LineKind::empty : LineKind::skipped);
            }
            continue;
        }
        if (lineEnd_ == line_) {
            pendingBreak_ |= rules.breakLines;
            report(rules.breakLines ? LineKind::curveBreak : LineKind::empty);
            continue;
        }
        // A comment is skipped like an empty line: its numbers (a year, a copyright, a
        // commented-out row) are not data.
        const char* first = firstNonBlank(line_, lineEnd_);
        if (first < lineEnd_ && rules.comment[uint8_t(*first)]) {
            report(LineKind::comment);
            continue;
        }
        if (rules.breakLines && (first == lineEnd_ || *first == '&')) {
            pendingBreak_ = true;
            report(LineKind::curveBreak);
            continue;
        }
        return true;
    }
}

int LineReader::parseLine(double* out, int max)
{
    if (rules_->fields)
        return rowWidth_ = parseFields(out, max);
    const char* p = line_;
    const char* const end = lineEnd_;
    int n = 0;
    for (;;) {
        while (p < end && isSeparator(*p))
            ++p;
        if (p == end || *p == '\0')
            return rowWidth_ = n;
        double v = 0.0;
        const char* q = parseSimpleNumber(p, &v);
        if (!q || (q != end && !endsToken(*q))) {
            q = p;
            while (q < end && !endsToken(*q))
                ++q;
            if (!convertToken(p, q, &v)) {
                p = q;
                continue;
            }
        }
        out[n++] = v;
        if (n == max)
            return rowWidth_ = n;
        p = q;
    }
}

int LineReader::parseFields(double* out, int max) const
{
    int n = 0;
    bool data = false;
    forEachField(*rules_, line_, lineEnd_, [&](const char* b, const char* e) {
        double v = missing;
        // Fields that are skipped take no column, as words do under the plain rules.
        const FieldValue value = fieldValue(*rules_, n, b, e, &v);
        if (value == FieldValue::skipped)
            return true;
        // A line of placeholders alone is a row of missing values.
        data |= value == FieldValue::number || value == FieldValue::placeholder;
        out[n++] = value == FieldValue::number ? v : missing;
        return n < max;
    });
    return data ? n : 0;
}

bool LineReader::NextDataLine()
{
    const int width = rules_->widest ? int(maxColumns) : numColumns_;
    if (heldLine_) {
        // The line after a break row: the window has not moved since it was read.
        heldLine_ = false;
        breakRow_ = false;
        fillMissing(parseLine(numbers_, width));
        runBeforeRow_ = 0;
        return true;
    }
    breakRow_ = false;
    // A run of text lines may have begun before a continued text started.
    while (textRun_ <= maxTextLines) {
        if (!ReadLine())
            break;
        const int n = parseLine(numbers_, width);
        if (n > 0) {
            report(LineKind::data);
            if (pendingBreak_) {
                pendingBreak_ = false;
                heldLine_ = true;
                breakRow_ = true;
                fillMissing(0);
            } else {
                fillMissing(n);
            }
            runBeforeRow_ = textRun_;
            textRun_ = 0;
            return true;
        }
        ++textRun_;
        report(textRun_ > maxTextLines ? LineKind::stop : LineKind::text);
    }
    ok_ = false;
    return false;
}
