// Reading with import settings: each case is a small file of a kind people have, the settings
// it needs and the columns read. Each is read whole, through small windows and in parts on
// threads, which must all agree.

#include "data/ImportSettings.h"
#include "DataTestFiles.h"
#include "data/ColumnFile.h"
#include "data/ImportPreview.h"
#include "data/LineReader.h"
#include "platform/Exceptions.h"

#include <QJsonDocument>
#include <cmath>
#include <limits>

namespace {

using Delimiter = ImportSettings::Delimiter;
const double nan = std::numeric_limits<double>::quiet_NaN();

struct SettingsCase
{
    const char* name;
    std::string text;
    ImportSettings settings;
    std::vector<std::vector<double>> rows;
    QStringList names = {};
};

ImportSettings with(const std::function<void(ImportSettings&)>& change)
{
    ImportSettings s;
    change(s);
    return s;
}

std::string repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

std::vector<SettingsCase> settingsCases()
{
    return {
        {"FirstDataLineSkipsLongHeaderAndNumbers",
         "Reference data\nlines 41 to 42\nCertified\nvalues\nmore\nx y\n1 2\n3 4\n",
         with([](ImportSettings& s) { s.firstDataLine = 7; }),
         {{1, 2}, {3, 4}}},
        {"HeaderLineNamesColumnsAndDataFollowIt",
         "# run 12 of 1990\ntime,volts,amps\n1,2,3\n4,5,6\n",
         with([](ImportSettings& s) { s.headerLine = 2; }),
         {{1, 2, 3}, {4, 5, 6}},
         {"time", "volts", "amps"}},
        {"CommentedHeaderLine",
         "# x  y\n1 2\n",
         with([](ImportSettings& s) { s.headerLine = 1; }),
         {{1, 2}},
         {"x", "y"}},
        {"TextColumnKeepsItsPlace",
         "name,a,b\nfoo,1,2\nbar,3,4\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::comma;
             s.missingValues = true;
             s.headerLine = 1;
         }),
         {{nan, 1, 2}, {nan, 3, 4}},
         {"name", "a", "b"}},
        {"IsoDatesAndTimesAsSeconds",
         "date,t,v\n1970-01-02,09:00,1\n2024-03-01T12:30:15.5Z,00:00:30,2\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::comma;
             s.headerLine = 1;
             s.dateColumns = {1, 2};
         }),
         {{86400, 32400, 1}, {1709296215.5, 30, 2}},
         {"date", "t", "v"}},
        {"TimeWithoutColonsByPattern",
         "0900 1.5\n1745 2.5\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::blanks;
             s.dateColumns = {1};
             s.dateFormat = QStringLiteral("HHmm");
         }),
         {{32400, 1.5}, {63900, 2.5}}},
        {"EmptyFieldsAndPlaceholdersAreMissing",
         "1,,3\n4,-,6\n7,8,NA\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::comma;
             s.missingValues = true;
             s.placeholders = {QStringLiteral("-"), QStringLiteral("NA")};
         }),
         {{1, nan, 3}, {4, nan, 6}, {7, 8, nan}}},
        {"WidestRowCountsAndShortRowsAreMissing",
         "1 2\n3 4 5\n6\n",
         with([](ImportSettings& s) {
             s.widestRow = true;
             s.missingValues = true;
         }),
         {{1, 2, nan}, {3, 4, 5}, {6, nan, nan}}},
        {"EmptyAndAmpersandLinesBreakTheCurve",
         "\n1 2\n3 4\n\n\n5 6\n&\n7 8\n\n",
         with([](ImportSettings& s) { s.breakLines = true; }),
         {{1, 2}, {3, 4}, {nan, nan}, {5, 6}, {nan, nan}, {7, 8}}},
        {"QuotedNumbersAndSemicolons",
         "\"x\";\"y\"\n\"1.5\";\"2\"\n\"3;5\";4\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::semicolon;
             s.stripQuotes = true;
             s.missingValues = true;
         }),
         {{1.5, 2}, {nan, 4}}},
        {"DecimalCommaWithSemicolons",
         "1,5;2,25\n-3,0;4\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::semicolon;
             s.decimalComma = true;
         }),
         {{1.5, 2.25}, {-3, 4}}},
        {"AutomaticDelimiterFindsTabs",
         "a\tb c\td\n1\t2 3\t4\n",
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::automatic;
             s.headerLine = 1;
             s.missingValues = true;
         }),
         {{1, nan, 4}},
         {"a", "b c", "d"}},
        {"OtherCommentCharacters",
         "% 1990\n; 3\n# 4 5\n1 2\n",
         with([](ImportSettings& s) { s.comments = QStringLiteral("%;"); }),
         {{4, 5}, {1, 2}}},
        // Long enough to be split into parts, with breaks falling on the part boundaries.
        {"ManyBlocksOfRows",
         repeat("1 2\n3 4\n\n&\n5 6\n\n", 400),
         with([](ImportSettings& s) { s.breakLines = true; }),
         {}},
        {"ManyCommaRowsWithGaps",
         "x,y,z\n" + repeat("1,,3\n4,5,\n,,\n7,8,9\n", 300),
         with([](ImportSettings& s) {
             s.delimiter = Delimiter::comma;
             s.missingValues = true;
             s.headerLine = 1;
         }),
         {},
         {"x", "y", "z"}},
    };
}

void PrintTo(const SettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

std::vector<std::vector<double>> rowsOf(ColumnFile& file)
{
    std::vector<std::vector<double>> rows(size_t(file.GetNumPoints()));
    for (int c = 0; c < file.GetNumColumns(); ++c) {
        for (int r = 0; r < file.GetNumPoints(); ++r)
            rows[size_t(r)].push_back(file.GetColumn(c)->GetAt(r));
    }
    return rows;
}

bool sameRows(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size() || !std::equal(a[r].begin(), a[r].end(), b[r].begin(), same))
            return false;
    }
    return true;
}

class ReadWithSettings : public ::testing::TestWithParam<SettingsCase>
{};

TEST_P(ReadWithSettings, GivesTheColumnsTheSettingsSay)
{
    const SettingsCase& c = GetParam();
    DataFiles files;
    ColumnFile file(files.write("case.dat", c.text));
    file.SetImportSettings(c.settings);
    ASSERT_EQ(file.ReadFile(), 1);
    const std::vector<std::vector<double>> whole = rowsOf(file);
    if (!c.rows.empty()) {
        EXPECT_TRUE(sameRows(whole, c.rows)) << testing::PrintToString(whole);
    }
    QStringList names;
    for (int i = 0; i < file.GetNumColumns(); ++i)
        names.append(file.GetColumnName(i));
    if (!c.names.isEmpty()) {
        EXPECT_EQ(names, c.names);
    }

    for (int threads : {1, 2, 3, 5, 9}) {
        for (size_t window : {LineReader::minWindow, LineReader::minWindow + 7, size_t(4096)}) {
            ColumnFile parts(QStringLiteral("parts.dat"));
            parts.SetImportSettings(c.settings);
            ASSERT_EQ(
                parts.ReadText(c.text.data(), c.text.size(), window, ColumnFile::maxRows, threads),
                1);
            ASSERT_TRUE(sameRows(rowsOf(parts), whole)) << threads << " threads, window " << window;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, ReadWithSettings, ::testing::ValuesIn(settingsCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadWithSettings, DefaultSettingsWithoutADelimiterReadAsThePlainRules)
{
    // Plain reading skips the words and short rows get 0.0; the settings' defaults do the same.
    const std::string text = "x,y\n1,,2\nfoo 3\n";
    ColumnFile file(QStringLiteral("plain.dat"));
    ASSERT_EQ(file.ReadText(text.data(), text.size()), 1);
    EXPECT_TRUE(sameRows(rowsOf(file), {{1, 2}, {3, 0}}));
}

TEST(ReadWithSettings, AppendedRowsAfterABreakStartANewCurve)
{
    DataFiles files;
    const QString path = files.write("grow.dat", "1 2\n3 4\n\n");
    ColumnFile file(path);
    file.SetImportSettings(with([](ImportSettings& s) { s.breakLines = true; }));
    ASSERT_EQ(file.ReadFile(), 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("5 6\n");
    f.close();
    EXPECT_EQ(file.Follow(), ColumnFile::FollowResult::appended);
    EXPECT_TRUE(sameRows(rowsOf(file), {{1, 2}, {3, 4}, {nan, nan}, {5, 6}}));
}

TEST(ReadWithSettings, SettingsSurviveTheirStoredForm)
{
    const ImportSettings s = with([](ImportSettings& s) {
        s.comments = QStringLiteral("%");
        s.firstDataLine = 3;
        s.headerLine = 2;
        s.delimiter = Delimiter::semicolon;
        s.missingValues = true;
        s.placeholders = {QStringLiteral("-")};
        s.stripQuotes = s.decimalComma = s.breakLines = s.widestRow = true;
        s.dateColumns = {1, 4};
        s.dateFormat = QStringLiteral("dd.MM.yyyy");
    });
    const QByteArray stored = QJsonDocument(s.toJson()).toJson();
    EXPECT_EQ(ImportSettings::fromJson(QJsonDocument::fromJson(stored).object()), s);
    EXPECT_TRUE(ImportSettings::fromJson({}).isDefault());
}

TEST(ReadWithSettings, DatesOutOfRangeOrMalformedAreNotRead)
{
    double v = 0.0;
    for (const char* bad : {"2024-13-01", "2024-02-30x", "24-01-01", "9:00", "12:61", ""})
        EXPECT_FALSE(parseDateTime(bad, "", &v)) << bad;
    ASSERT_TRUE(parseDateTime("01.03.2024 14:05", "dd.MM.yyyy HH:mm", &v));
    EXPECT_EQ(v, 1709301900.0);
    ASSERT_TRUE(parseDateTime("2000-01-01T01:00+01:00", "", &v));
    EXPECT_EQ(v, 946684800.0);
}

// The preview marks what each line is taken for, and stops at the lines it shows.
TEST(ImportPreview, MarksEachLineAsTheReaderTakesIt)
{
    using K = LineReader::LineKind;
    const std::string text = "title\n# c\na;b\n1;2\n\n&\n3;x\nw\nw\nw\nw\n5;6\n7;8\n";
    const ImportSettings settings = with([](ImportSettings& s) {
        s.firstDataLine = 3;
        s.headerLine = 3;
        s.delimiter = Delimiter::automatic;
        s.missingValues = true;
        s.breakLines = true;
    });
    const ImportPreview p = previewImportText(text, settings, 12);
    std::vector<K> kinds;
    for (const ImportPreview::Line& line : p.lines)
        kinds.push_back(line.kind);
    EXPECT_EQ(kinds, (std::vector<K>{K::skipped, K::skipped, K::header, K::data, K::curveBreak,
                                     K::curveBreak, K::data, K::text, K::text, K::text, K::stop,
                                     K::notRead}));
    EXPECT_EQ(p.lines.back().number, 12);
    EXPECT_EQ(p.names, (QStringList{"a", "b"}));
    ASSERT_EQ(p.numColumns, 2);
    EXPECT_TRUE(sameRows({p.lines[3].values, p.lines[6].values}, {{1, 2}, {3, nan}}));
}

} // namespace
