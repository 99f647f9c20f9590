#include "data/LineReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
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

// A comment is skipped like an empty line: its numbers (a year, a copyright, a commented-out
// row) are not data.
bool isCommentLine(const char* p, const char* end)
{
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    return p < end && *p == '#';
}

} // namespace

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

LineReader::LineReader(const char* text, size_t size) : cursor_(text), end_(text + size)
{
    readFirstRow();
}

LineReader::LineReader(char* window, size_t capacity, size_t size, Source* source)
    : cursor_(window), end_(window + size), window_(window), capacity_(capacity), source_(source)
{
    window_[size] = '\0';
    readFirstRow();
}

LineReader::LineReader(char* window, size_t capacity, size_t size, Source* source,
                       Continuation from)
    : cursor_(window), end_(window + size), window_(window), capacity_(capacity), source_(source),
      numColumns_(from.numColumns), ok_(from.numColumns > 0), atTextStart_(false),
      textRun_(from.textLines)
{
    window_[size] = '\0';
}

void LineReader::readFirstRow()
{
    for (int i = 0; i <= maxTextLines; ++i) {
        if (!ReadLine())
            return;
        const int n = parseLine(numbers_, maxColumns);
        if (n > 0) {
            numColumns_ = n;
            ok_ = true;
            return;
        }
    }
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
        if (lineEnd_ != line_ && !isCommentLine(line_, lineEnd_))
            return true;
    }
}

int LineReader::parseLine(double* out, int max) const
{
    const char* p = line_;
    const char* const end = lineEnd_;
    int n = 0;
    for (;;) {
        while (p < end && isSeparator(*p))
            ++p;
        if (p == end || *p == '\0')
            return n;
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
            return n;
        p = q;
    }
}

bool LineReader::NextDataLine()
{
    // A run of text lines may have begun before a continued text started.
    while (textRun_ <= maxTextLines) {
        if (!ReadLine())
            break;
        const int n = parseLine(numbers_, numColumns_);
        if (n > 0) {
            for (int c = n; c < numColumns_; ++c)
                numbers_[c] = 0.0;
            runBeforeRow_ = textRun_;
            textRun_ = 0;
            return true;
        }
        ++textRun_;
    }
    ok_ = false;
    return false;
}
