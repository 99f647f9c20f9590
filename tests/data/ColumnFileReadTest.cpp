// The syntax of data files: each case is a small file and what reading it gives.

#include "DataTestFiles.h"
#include "data/ColumnFile.h"
#include "data/DataFileMessages.h"
#include "data/LineReader.h"
#include "platform/Exceptions.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <locale.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

enum class Outcome { read, notDataFile, parseError };

struct ReadCase
{
    const char* name;
    std::string text;
    Outcome outcome;
    std::vector<std::vector<double>> rows; // what survives, row by row
};

// A data line of exactly n characters: "1 2" padded with blanks.
std::string lineOf(int n)
{
    return "1 2" + std::string(size_t(n - 3), ' ');
}

std::string numbers(int from, int to)
{
    std::string s;
    for (int i = from; i <= to; ++i)
        s += std::to_string(i) + (i < to ? " " : "");
    return s;
}

const double inf = std::numeric_limits<double>::infinity();

std::vector<ReadCase> readCases()
{
    std::vector<double> oneTo20;
    for (int i = 1; i <= 20; ++i)
        oneTo20.push_back(i);
    return {
        {"ThreeHeaderLines", "Title\nrun four\nx y z\n1 2 3\n", Outcome::read, {{1, 2, 3}}},
        {"FourHeaderLines", "a\nb\nc\nd\n1 2 3\n", Outcome::notDataFile, {}},
        {"HeadingThenShortAndLongRows",
         "x, y\n1,2\n3\n5,6,7\n",
         Outcome::read,
         {{1, 2}, {3, 0}, {5, 6}}},
        {"WordsBetweenNumbers", "1.0 abc 2.0\n", Outcome::read, {{1, 2}}},
        {"NumberFollowedByLetters", "12abc 4\n5 6\n", Outcome::read, {{4}, {5}}},
        {"TwentyFiveNumbers",
         numbers(1, 25) + "\n" + numbers(1, 25) + "\n",
         Outcome::read,
         {oneTo20, oneTo20}},
        {"SeparatorRuns", " ,\t1,,\t, 2 ,\n", Outcome::read, {{1, 2}}},
        {"BlankLinesBetweenRows", "1 2\n\n\n3 4\n\n", Outcome::read, {{1, 2}, {3, 4}}},
        {"ThreeCommentLinesInData", "1 2\nc a\nc b\nc c\n3 4\n", Outcome::read, {{1, 2}, {3, 4}}},
        {"FourCommentLinesInData",
         "1 2\n3 4\nc a\nc b\nc c\nc d\n5 6\n",
         Outcome::parseError,
         {{1, 2}, {3, 4}}},
        {"Line254", lineOf(254) + "\n3 4\n", Outcome::read, {{1, 2}, {3, 4}}},
        {"Line254WithCrLf", lineOf(254) + "\r\n3 4\r\n", Outcome::read, {{1, 2}, {3, 4}}},
        {"Line255InData", "5 6\n" + lineOf(255) + "\n3 4\n", Outcome::parseError, {{5, 6}}},
        {"Line255Last", "5 6\n" + lineOf(255), Outcome::read, {{5, 6}}},
        {"Line255LastWithLineBreak", "5 6\n" + lineOf(255) + "\n", Outcome::parseError, {{5, 6}}},
        {"Line255InHeader", lineOf(255) + "\n1 2\n", Outcome::notDataFile, {}},
        {"LastLineWithoutBreak", "1 2\n3 4", Outcome::read, {{1, 2}, {3, 4}}},
        {"FourTrailingTextLines", "1\n2\na\nb\nc\nd\n", Outcome::read, {{1}, {2}}},
        {"FiveTrailingTextLines", "1\n2\na\nb\nc\nd\ne\n", Outcome::parseError, {{1}, {2}}},
        {"FiveTrailingTextLinesLastUnbroken", "1\n2\na\nb\nc\nd\ne", Outcome::read, {{1}, {2}}},
        {"TrailingBlankLines", "1\n2\n\n\n\n\n\n\n", Outcome::read, {{1}, {2}}},
        {"EmptyFile", "", Outcome::notDataFile, {}},
        {"OnlyLineBreaks", "\n\n\r\n\n", Outcome::notDataFile, {}},
        {"OnlyBlanks", "   \n\t\t\n , \n", Outcome::notDataFile, {}},
        {"CrLfLikeLf", "x y\r\n1 2\r\n\r\n3 4\r\n", Outcome::read, {{1, 2}, {3, 4}}},
        {"CarriageReturnAtTheEnd", "1 2\r", Outcome::read, {{1, 2}}},
        {"CarriageReturnInsideALine", "1 \r2 3\n", Outcome::read, {{1}, {2}}},
        {"CarriageReturnsOnly",
         "x y\r\r1 2\r3 4\r5 6\r\r",
         Outcome::read,
         {{1, 2}, {3, 4}, {5, 6}}},
        {"CarriageReturnsFiveTrailingTextLines",
         "1\r2\ra\rb\rc\rd\re\r",
         Outcome::parseError,
         {{1}, {2}}},
        {"CarriageReturnLine255InData",
         "5 6\r" + lineOf(255) + "\r3 4\r",
         Outcome::parseError,
         {{5, 6}}},
        {"ByteOrderMark",
         "\xEF\xBB\xBF"
         "1 2\n3 4\n",
         Outcome::read,
         {{1, 2}, {3, 4}}},
        {"NulEndsTheLine", std::string("1 2\0 9\n3 4 5\n", 13), Outcome::read, {{1, 2}, {3, 4}}},
        {"CLibraryForms",
         "+.5 1.5e3 -2 0x10 1e999 -INF 1e-400 1.\n",
         Outcome::read,
         {{0.5, 1500, -2, 16, inf, -inf, 0, 1}}},
        {"NotNumbers", "1 e5 1e 1e+ . - +- 0x 1e5x\n", Outcome::read, {{1}}},
        // A line whose first non-blank character is '#' is skipped like an empty line.
        {"HashLinesAnywhere",
         "# made 1990\n#\n# x y\n# a\nx y\n1 2\n # 5 6 7\n\t#8\n# c\n# d\n3 4\n# 2840\n",
         Outcome::read,
         {{1, 2}, {3, 4}}},
        {"HashAfterNumbersIsText", "1 2 # 7\n3 4#\n", Outcome::read, {{1, 2, 7}, {3, 0, 0}}},
    };
}

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReadFileCase : public ::testing::TestWithParam<ReadCase>
{};

TEST_P(ReadFileCase, KeepsWhatTheRulesSay)
{
    const ReadCase& c = GetParam();
    DataFiles files;
    ColumnFile file(files.write("case.dat", c.text));
    Outcome outcome = Outcome::read;
    try {
        EXPECT_EQ(file.ReadFile(), 1);
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::invalidFile);
        outcome = file.GetNumPoints() > 0 ? Outcome::parseError : Outcome::notDataFile;
    }
    EXPECT_EQ(outcome, c.outcome);
    const size_t numColumns = c.rows.empty() ? 0 : c.rows.front().size();
    ASSERT_EQ(file.GetNumColumns(), int(numColumns));
    ASSERT_EQ(file.GetNumPoints(), int(c.rows.size()));
    for (size_t col = 0; col < numColumns; ++col) {
        const DataColumn* column = file.GetColumn(int(col));
        ASSERT_NE(column, nullptr);
        EXPECT_EQ(column->GetColumnNumber(), int(col));
        EXPECT_EQ(column->GetSize(), int(c.rows.size()));
        for (size_t r = 0; r < c.rows.size(); ++r)
            EXPECT_EQ(column->GetAt(int(r)), c.rows[r][col]) << "row " << r << " column " << col;
    }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, ReadFileCase, ::testing::ValuesIn(readCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadFile, NanIsANumber)
{
    DataFiles files;
    ColumnFile file(files.write("nan.dat", "nan 1\n2 NAN(x)\n"));
    ASSERT_EQ(file.ReadFile(), 1);
    EXPECT_TRUE(std::isnan(file.GetColumn(0)->GetAt(0)));
    EXPECT_TRUE(std::isnan(file.GetColumn(1)->GetAt(1)));
}

TEST(ReadFile, ValuesEqualTheCLibrary)
{
    // Digits beyond the exact fast range, halfway cases and subnormals go the long way.
    const char* tokens[] = {"0.1",
                            "123456.789",
                            "9007199254740993",
                            "2.2250738585072011e-308",
                            "4.9e-324",
                            "1.7976931348623157e308",
                            "0.30000000000000004",
                            "7.0e22",
                            "1e23",
                            "-0",
                            "000000000000000000000000000001.5"};
    std::string text;
    for (const char* t : tokens)
        text += std::string(t) + " ";
    DataFiles files;
    ColumnFile file(files.write("exact.dat", text + "\n"));
    ASSERT_EQ(file.ReadFile(), 1);
    ASSERT_EQ(file.GetNumColumns(), int(std::size(tokens)));
    const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    for (int i = 0; i < file.GetNumColumns(); ++i) {
        const double expected = strtod_l(tokens[i], nullptr, c);
        const double got = file.GetColumn(i)->GetAt(0);
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << tokens[i];
        EXPECT_EQ(got, expected) << tokens[i];
    }
    freelocale(c);
}

TEST(ReadFile, ManyRowsFillTheColumnsExactly)
{
    std::string text = "x y\r\n";
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(i) + "," + std::to_string(i * 0.5) + (i % 7 ? "\r\n" : "\r\n\r\n");
    DataFiles files;
    ColumnFile file(files.write("many.dat", text));
    ASSERT_EQ(file.ReadFile(), 1);
    ASSERT_EQ(file.GetNumPoints(), 5000);
    EXPECT_EQ(file.GetColumn(0)->GetAt(4999), 4999.0);
    EXPECT_EQ(file.GetColumn(1)->GetAt(4999), 2499.5);
}

TEST(ReadFile, CannotOpenGivesZero)
{
    DataFiles files;
    ColumnFile missing(files.path("missing.dat"));
    EXPECT_EQ(missing.ReadFile(), 0);
    EXPECT_EQ(missing.GetReadState(), ColumnFile::ReadState::cannotOpen);
    ColumnFile directory(files.dirPath());
    EXPECT_EQ(directory.ReadFile(), 0);
    ColumnFile unnamed;
    EXPECT_EQ(unnamed.ReadFile(), 0);
    EXPECT_EQ(unnamed.GetNumColumns(), 0);
}

// A FIFO with no writer, or a device, is there but holds no data file: refused at once.
TEST(ReadFile, FifosAndDevicesAreRefusedNotWaitedOn)
{
    DataFiles files;
    const QString fifo = files.path("pipe.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        ColumnFile file(path);
        EXPECT_THROW(file.ReadFile(), FileException) << path.toStdString();
        EXPECT_EQ(dataFileMessage(file).text, "Not able to open file as data file");
    }
}

// Rows beyond what a column holds end the read as a parse error that keeps the rows read.
TEST(ReadFile, RowsBeyondTheColumnLimitEndTheReadWithAMessage)
{
    const std::string text = "1 2\n3 4\n5 6\n7 8\n";
    ColumnFile file(QStringLiteral("rows.dat"));
    EXPECT_EQ(file.ReadText(text.data(), text.size(), LineReader::minWindow, 4), 1);
    EXPECT_THROW(file.ReadText(text.data(), text.size(), LineReader::minWindow, 3), FileException);
    EXPECT_EQ(file.GetColumn(1)->GetAt(2), 6.0);
    EXPECT_EQ(dataFileMessage(file).text, "Error parsing file at line 3");
}

TEST(ReadFile, PointNumbersCountTheRows)
{
    DataFiles files;
    ColumnFile file(files.write("five.dat", "1\n2\n3\n4\n5\n"));
    ASSERT_EQ(file.ReadFile(), 1);
    DataColumn* points = file.GetColumn(-1);
    ASSERT_EQ(points->GetSize(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(points->GetAt(i), i + 1.0);
    EXPECT_EQ(points->GetColumnNumber(), 0);
    EXPECT_EQ(points->GetMax(), 5.0);
    EXPECT_EQ(file.GetColumn(-1), points);
    EXPECT_EQ(file.GetColumn(1), nullptr);
}

TEST(ReadFile, RereadTakesTheCurrentContents)
{
    DataFiles files;
    const QString path = files.write("grow.dat", "1 2 3\n4 5 6\n");
    ColumnFile file(path);
    ASSERT_EQ(file.ReadFile(), 1);
    ASSERT_NE(file.GetColumn(-1), nullptr);
    files.write("grow.dat", "7 8\n9 10\n11 12\n");
    ASSERT_EQ(file.Reread(), 1);
    EXPECT_EQ(file.GetNumColumns(), 2);
    EXPECT_EQ(file.GetNumPoints(), 3);
    EXPECT_EQ(file.GetColumn(-1)->GetSize(), 3);
    EXPECT_EQ(file.GetColumn(1)->GetAt(2), 12.0);

    files.write("grow.dat", "words only\n");
    EXPECT_THROW(file.Reread(), FileException);
    EXPECT_EQ(file.GetNumColumns(), 0);
    EXPECT_EQ(file.GetNumPoints(), 0);
    EXPECT_EQ(file.GetReadState(), ColumnFile::ReadState::notDataFile);
}

TEST(ReadFile, MalformedFilesEndInACleanError)
{
    const QDir dir(QStringLiteral(PLOTVANE_DATA_TESTDATA "/malformed"));
    const QStringList names = dir.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        ColumnFile file(dir.filePath(name));
        try {
            file.ReadFile();
            ADD_FAILURE() << "read without error";
        } catch (const FileException& e) {
            EXPECT_EQ(e.cause(), FileException::Cause::invalidFile);
        } catch (const MemoryException&) {
        }
        EXPECT_EQ(file.GetNumColumns() == 0, file.GetNumPoints() == 0);
    }
}

} // namespace
