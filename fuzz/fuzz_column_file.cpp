// Feeds arbitrary text to the data file reader and checks it against a plain, slow model of the
// same rules: lines split on LF, CR LF or a lone CR, a UTF-8 byte order mark at the start
// skipped, tokens on ", \t", numbers by strtod in the C locale. The text is read whole and through
// a small window that is refilled as a file's would be; any difference in outcome, shape or value
// bits is a crash.

#include "data/ColumnFile.h"
#include "data/LineReader.h"
#include "platform/Exceptions.h"

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum class Outcome { read, notData, parseError };

struct Model
{
    Outcome outcome = Outcome::notData;
    std::vector<std::vector<double>> columns;
};

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

std::optional<double> strtodWhole(const std::string& token)
{
    char* end = nullptr;
    const double v = strtod_l(token.c_str(), &end, cLocale());
    if (end == token.c_str() || *end != '\0')
        return std::nullopt;
    return v;
}

std::vector<double> numbersOf(std::string line)
{
    line = line.substr(0, line.find('\0'));
    std::vector<double> numbers;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ',' || line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t j = i;
        while (j < line.size() && line[j] != ',' && line[j] != ' ' && line[j] != '\t')
            ++j;
        if (j > i) {
            if (auto v = strtodWhole(line.substr(i, j - i)))
                numbers.push_back(*v);
        }
        i = j;
    }
    return numbers;
}

Model model(std::string_view raw)
{
    if (raw.substr(0, 3) == "\xEF\xBB\xBF")
        raw.remove_prefix(3);
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r')
            text += raw[i];
        else if (i + 1 == raw.size() || raw[i + 1] != '\n')
            text += '\n';
    }
    long lineFeeds = 0;
    for (char c : text)
        lineFeeds += c == '\n';

    size_t pos = 0;
    long consumed = 0;
    bool broken = false;
    auto readLine = [&]() -> std::optional<std::string> {
        for (;;) {
            if (broken || pos == text.size())
                return std::nullopt;
            size_t e = text.find('\n', pos);
            if (e == std::string::npos)
                e = text.size();
            if (e - pos >= 255) {
                broken = true;
                return std::nullopt;
            }
            std::string line = text.substr(pos, e - pos);
            pos = e == text.size() ? e : e + 1;
            ++consumed;
            const size_t first = line.find_first_not_of(" \t");
            if (!line.empty() && (first == std::string::npos || line[first] != '#'))
                return line;
        }
    };

    Model m;
    std::vector<double> row;
    for (int i = 0; i < 4 && row.empty(); ++i) {
        auto line = readLine();
        if (!line)
            break;
        row = numbersOf(*line);
    }
    if (row.empty())
        return m;
    if (row.size() > 20)
        row.resize(20);
    m.columns.resize(row.size());
    for (;;) {
        for (size_t c = 0; c < m.columns.size(); ++c)
            m.columns[c].push_back(c < row.size() ? row[c] : 0.0);
        row.clear();
        for (int i = 0; i < 4 && row.empty(); ++i) {
            auto line = readLine();
            if (!line)
                break;
            row = numbersOf(*line);
        }
        if (row.empty())
            break;
    }
    m.outcome = consumed < lineFeeds ? Outcome::parseError : Outcome::read;
    return m;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "reader and model differ: %s\n", what);
    std::abort();
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void checkToken(std::string_view input)
{
    const std::string token(input.substr(0, std::min<size_t>(input.size(), 64)));
    if (token.empty() || token.find('\0') != std::string::npos)
        return;
    double v = 0;
    const bool ours = LineReader::tokenToNumber(token, &v);
    const auto theirs = strtodWhole(token);
    if (ours != theirs.has_value())
        fail("token accepted differently");
    if (ours && !sameBits(v, *theirs))
        fail("token value");
}

// Reads the text whole, or through a window of windowBytes when that is nonzero.
Outcome readText(ColumnFile& file, std::string_view text, size_t windowBytes)
{
    try {
        const int r = windowBytes ? file.ReadText(text.data(), text.size(), windowBytes)
                                  : file.ReadText(text.data(), text.size());
        if (!r)
            fail("ReadText returned 0");
    } catch (const FileException& e) {
        if (e.cause() != FileException::invalidFile)
            fail("unexpected file exception cause");
        return file.GetNumPoints() > 0 ? Outcome::parseError : Outcome::notData;
    }
    return Outcome::read;
}

void checkColumns(ColumnFile& file, const Model& expected)
{
    if (file.GetNumColumns() != int(expected.columns.size()))
        fail("number of columns");
    for (int c = 0; c < file.GetNumColumns(); ++c) {
        const DataColumn* column = file.GetColumn(c);
        const auto& values = expected.columns[size_t(c)];
        if (column->GetSize() != int(values.size()))
            fail("number of rows");
        for (int r = 0; r < column->GetSize(); ++r) {
            if (!sameBits(column->GetAt(r), values[size_t(r)]))
                fail("value");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkToken(text);

    ColumnFile file(QStringLiteral("fuzz.dat"));
    const Model expected = model(text);
    if (readText(file, text, 0) != expected.outcome)
        fail("outcome");
    checkColumns(file, expected);
    // Through a small window the refills fall inside lines and line breaks, as in a file.
    ColumnFile windowed(QStringLiteral("fuzz.dat"));
    if (readText(windowed, text, LineReader::minWindow + size % 61) != expected.outcome)
        fail("outcome through a window");
    checkColumns(windowed, expected);

    for (int c = 0; c < file.GetNumColumns(); ++c) {
        const DataColumn* column = file.GetColumn(c);
        // The derived data must stay sound on anything the reader accepts.
        (void)column->GetMin();
        (void)column->GetMax();
        if (column->GetSize() > 0) {
            const double x = column->GetAt(0);
            const int rank = column->LocateRank(x);
            if (rank < 0 || rank >= column->GetSize())
                fail("rank out of range");
            const auto window = column->GetWindow(x, 3);
            const auto range = column->GetRange(column->GetMin(), x);
            for (int p : window.positions)
                if (p < 0 || p >= column->GetSize())
                    fail("window position");
            for (int p : range.positions)
                if (p < 0 || p >= column->GetSize())
                    fail("range position");
        }
    }
    DataColumn* numbers = file.GetColumn(-1);
    if (numbers->GetSize() != file.GetNumPoints())
        fail("point numbers");
    return 0;
}
