#include "platform/NumberFormat.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

struct FormatCase
{
    const char* format;
    double value;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << '"' << c.format << "\" " << c.value;
}

class PrintfTest : public ::testing::TestWithParam<FormatCase>
{};

TEST_P(PrintfTest, WritesLikeTheOriginalRuntime)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(NumberFormat::printf(c.format, c.value).toStdString(), c.expected);
    EXPECT_EQ(NumberFormat::printf(QString::fromUtf8(c.format), c.value).toStdString(), c.expected);
}

constexpr double inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    General, PrintfTest,
    ::testing::Values(FormatCase{"%g", 1e6, "1e+006"}, FormatCase{"%g", 2.5e-5, "2.5e-005"},
                      FormatCase{"%g", 123456, "123456"}, FormatCase{"%g", 1234567, "1.23457e+006"},
                      FormatCase{"%g", 0.0001, "0.0001"}, FormatCase{"%g", 0.00001, "1e-005"},
                      FormatCase{"%g", 1e-300, "1e-300"}, FormatCase{"%g", 1e300, "1e+300"},
                      FormatCase{"%g", 1.5e100, "1.5e+100"}, FormatCase{"%g", 0.0, "0"},
                      FormatCase{"%g", -0.0, "-0"}, FormatCase{"%g", 2.5, "2.5"},
                      FormatCase{"%g", 999999.5, "1e+006"}, FormatCase{"%.0g", 15, "2e+001"},
                      FormatCase{"%.1g", 15, "2e+001"},
                      FormatCase{"%.10g", 1.0 / 3, "0.3333333333"},
                      FormatCase{"%G", 1e-10, "1E-010"}, FormatCase{"%#g", 1, "1.00000"},
                      FormatCase{"%g", 4.9e-324, "4.94066e-324"}));

INSTANTIATE_TEST_SUITE_P(
    ExponentAndFixed, PrintfTest,
    ::testing::Values(FormatCase{"%e", 1, "1.000000e+000"}, FormatCase{"%.2e", 12345, "1.23e+004"},
                      FormatCase{"%E", -0.5, "-5.000000E-001"}, FormatCase{"%.0e", 5, "5e+000"},
                      FormatCase{"%#.0e", 5, "5.e+000"}, FormatCase{"%e", 1e-300, "1.000000e-300"},
                      FormatCase{"%f", 1, "1.000000"}, FormatCase{"%.2f", 2.675, "2.67"},
                      FormatCase{"%.0f", 2.5, "2"}, FormatCase{"%f", -0.0, "-0.000000"},
                      FormatCase{"%lf", 1e6, "1000000.000000"}, FormatCase{"%.3f", 1e-5, "0.000"}));

INSTANTIATE_TEST_SUITE_P(
    FlagsAndWidths, PrintfTest,
    ::testing::Values(
        FormatCase{"%10g", 1e6, "    1e+006"}, FormatCase{"%-10g|", 1e6, "1e+006    |"},
        FormatCase{"%010g", -1e6, "-0001e+006"}, FormatCase{"%+g", 1e6, "+1e+006"},
        FormatCase{"% g", 2.5, " 2.5"}, FormatCase{"%12.3e", 12345, "  1.234e+004"},
        FormatCase{"%-8.2f|", 3.14159, "3.14    |"}, FormatCase{"%08.2f", -3.14159, "-0003.14"},
        FormatCase{"%+08.2f", 3.14159, "+0003.14"}, FormatCase{"%5g", 1e100, "1e+100"},
        FormatCase{"%-+9.1e|", 1, "+1.0e+000|"}, FormatCase{"%-010g|", 2, "2         |"}));

INSTANTIATE_TEST_SUITE_P(
    TextAndOddFormats, PrintfTest,
    ::testing::Values(FormatCase{"x = %g s", 1e6, "x = 1e+006 s"}, FormatCase{"%g%%", 50, "50%"},
                      FormatCase{"%% %g", 1, "% 1"},
                      FormatCase{"no conversion", 1, "no conversion"},
                      FormatCase{"100%%", 1, "100%%"}, FormatCase{"%d", 1, "%d"},
                      FormatCase{"%s", 1, "%s"}, FormatCase{"%*g", 1, "%*g"},
                      FormatCase{"%g %g", 1, "%g %g"}, FormatCase{"%", 1, "%"},
                      FormatCase{"%10", 1, "%10"}, FormatCase{"%999999999g", 1, "%999999999g"},
                      FormatCase{"%.999999999f", 1, "%.999999999f"},
                      FormatCase{"µ = %g", 2, "µ = 2"}, FormatCase{"", 1, ""}));

INSTANTIATE_TEST_SUITE_P(
    NonFinite, PrintfTest,
    ::testing::Values(FormatCase{"%g", inf, "inf"}, FormatCase{"%g", -inf, "-inf"},
                      FormatCase{"%e", std::nan(""), "nan"}, FormatCase{"%g", -std::nan(""), "nan"},
                      FormatCase{"%+f", -std::nan(""), "+nan"}, FormatCase{"%G", inf, "INF"},
                      FormatCase{"%06g", inf, "   inf"}, FormatCase{"%-6g|", -inf, "-inf  |"}));

TEST(NumberFormat, PrecisionHelpers)
{
    EXPECT_EQ(NumberFormat::g(1e6), "1e+006");
    EXPECT_EQ(NumberFormat::g(1234567, 10), "1234567");
    EXPECT_EQ(NumberFormat::g(0.5, 0), "0.5");
    EXPECT_EQ(NumberFormat::g(1.0 / 3, -1), "0.333333");
    EXPECT_EQ(NumberFormat::e(1), "1.000000e+000");
    EXPECT_EQ(NumberFormat::e(1e-100, 1), "1.0e-100");
    EXPECT_EQ(NumberFormat::f(15.24), "15.240000");
    EXPECT_EQ(NumberFormat::f(2.5, 0), "2");
    // Absurd precisions are capped, not honoured with a huge allocation.
    EXPECT_LE(NumberFormat::f(1, 100000000).size(), 600);
}

struct ParseCase
{
    const char* text;
    bool ok;
    double value;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class ParseTest : public ::testing::TestWithParam<ParseCase>
{};

TEST_P(ParseTest, ParsesTheWholeText)
{
    const ParseCase& c = GetParam();
    double value = -12345;
    EXPECT_EQ(NumberFormat::parseDouble(QString::fromUtf8(c.text), &value), c.ok);
    if (!c.ok)
        EXPECT_EQ(value, -12345);
    else if (std::isnan(c.value))
        EXPECT_TRUE(std::isnan(value));
    else
        EXPECT_EQ(value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseTest,
    ::testing::Values(ParseCase{"3.5", true, 3.5}, ParseCase{" 3.5", true, 3.5},
                      ParseCase{"\t\n 3.5", true, 3.5}, ParseCase{"+4", true, 4},
                      ParseCase{"-.5", true, -0.5}, ParseCase{"1e5", true, 1e5},
                      ParseCase{"1E-5", true, 1e-5}, ParseCase{"1.", true, 1},
                      ParseCase{"0x1p3", true, 8}, ParseCase{"inf", true, inf},
                      ParseCase{"-Infinity", true, -inf}, ParseCase{"nan", true, std::nan("")},
                      ParseCase{"1e-400", true, 0}, ParseCase{"1e5x", false, 0},
                      ParseCase{"3.5 ", false, 0}, ParseCase{"3,5", false, 0},
                      ParseCase{"", false, 0}, ParseCase{"   ", false, 0}, ParseCase{"-", false, 0},
                      ParseCase{".", false, 0}, ParseCase{"e5", false, 0},
                      ParseCase{"1e400", false, 0}, ParseCase{"-1e400", false, 0},
                      ParseCase{"１", false, 0}, ParseCase{"2\xc2\xa0", false, 0}));

TEST(NumberFormat, ParseRejectsEmbeddedNul)
{
    const QChar chars[] = {QLatin1Char('1'), QChar(0), QLatin1Char('2')};
    double value = 0;
    EXPECT_FALSE(NumberFormat::parseDouble(QStringView(chars, 3), &value));
    EXPECT_EQ(NumberFormat::atof(QStringView(chars, 3)), 1);
}

TEST(NumberFormat, AtofTakesTheLongestPrefix)
{
    EXPECT_EQ(NumberFormat::atof(u"  12.5abc"), 12.5);
    EXPECT_EQ(NumberFormat::atof(u"1e5x"), 1e5);
    EXPECT_EQ(NumberFormat::atof(u"1e"), 1);
    EXPECT_EQ(NumberFormat::atof(u"abc"), 0);
    EXPECT_EQ(NumberFormat::atof(u""), 0);
    EXPECT_EQ(NumberFormat::atof(u"3,5"), 3);
    EXPECT_EQ(NumberFormat::atof(u"1e400"), inf);
}

// The user's locale may use a decimal comma; neither reading nor writing may follow it.
TEST(NumberFormat, IgnoresTheUserLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            german = name;
            break;
        }
    }
    if (!german)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    double value = 0;
    const bool commaAccepted = NumberFormat::parseDouble(u"3,5", &value);
    const bool pointAccepted = NumberFormat::parseDouble(u"3.5", &value);
    const QString written = NumberFormat::printf("%g", 2.5);
    const QString fixed = NumberFormat::f(0.25, 2);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_FALSE(commaAccepted);
    EXPECT_TRUE(pointAccepted);
    EXPECT_EQ(value, 3.5);
    EXPECT_EQ(written, "2.5");
    EXPECT_EQ(fixed, "0.25");
}

} // namespace
