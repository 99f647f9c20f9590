#include "platform/ui/DialogValidation.h"
#include "platform/ScriptedPrompter.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

struct DoubleRangeCase
{
    const char* text;
    double min;
    double max;
    const char* message; // empty when the value is taken
};

void PrintTo(const DoubleRangeCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" in [" << c.min << ", " << c.max << ']';
}

class DoubleRangeTest : public ::testing::TestWithParam<DoubleRangeCase>
{};

// Doubles keep 15 significant digits in the range message, where floats keep 6.
TEST_P(DoubleRangeTest, ChecksTheUnnarrowedValue)
{
    const DoubleRangeCase& c = GetParam();
    ScriptedPrompter prompter;
    QLineEdit edit;
    edit.setText(c.text);
    double value = -1.0;
    DialogValidation dv(prompter);
    dv.number(&edit, value, c.min, c.max);
    if (*c.message == '\0') {
        EXPECT_TRUE(dv.ok());
        EXPECT_TRUE(prompter.records().empty());
        EXPECT_NE(value, -1.0);
    } else {
        EXPECT_FALSE(dv.ok());
        EXPECT_EQ(prompter.texts().join('|').toStdString(), c.message);
        EXPECT_EQ(value, -1.0) << "a refused value is not stored";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, DoubleRangeTest,
    ::testing::Values(
        DoubleRangeCase{"0.1", 0.1, 1.0, ""},
        DoubleRangeCase{"0.09999999", 0.1, 1.0, "Please enter a number between 0.1 and 1."},
        DoubleRangeCase{"2", 1.0 / 3.0, 1e6, ""},
        DoubleRangeCase{"0", 1.0 / 3.0, 1e6,
                        "Please enter a number between 0.333333333333333 and 1000000."},
        DoubleRangeCase{"1e300", -1e-5, 1e20, "Please enter a number between -1e-005 and 1e+020."},
        DoubleRangeCase{"\t 5 \t", 0.0, 10.0, ""},
        DoubleRangeCase{"5,0", 0.0, 10.0, "Please enter a number."},
        DoubleRangeCase{"-nan", 0.0, 10.0, "Please enter a number."}));

TEST(DialogValidationTest, StopsAtTheFirstBadFieldAndLeavesTheRest)
{
    ScriptedPrompter prompter;
    QLineEdit first, second, third;
    first.setText("12");
    second.setText("x");
    third.setText("-4");
    int a = 0, b = 0, c = 0;
    DialogValidation dv(prompter);
    dv.integer(&first, a);
    dv.integer(&second, b, 0, 100);
    dv.integer(&third, c, 0, 100);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(c, 0) << "fields after the bad one are not taken";
    EXPECT_EQ(prompter.texts(), QStringList{"Please enter an integer."});
    EXPECT_EQ(second.selectedText(), "x");
}

TEST(DialogValidationTest, IntegerRangeNamesTheBounds)
{
    ScriptedPrompter prompter;
    QLineEdit edit;
    edit.setText("101");
    int value = 0;
    DialogValidation dv(prompter);
    dv.integer(&edit, value, -5, 100);
    EXPECT_EQ(prompter.texts(), QStringList{"Please enter an integer between -5 and 100."});
}

TEST(DialogValidationTest, WritesFieldsAsTheyAreReadBack)
{
    EXPECT_EQ(DialogValidation::text(15.24f), "15.24");
    EXPECT_EQ(DialogValidation::text(1.0f / 3.0f), "0.333333");
    EXPECT_EQ(DialogValidation::text(2.5e-5f), "2.5e-005");
    EXPECT_EQ(DialogValidation::text(0.1), "0.1");
    EXPECT_EQ(DialogValidation::text(1.0 / 3.0), "0.333333333333333");
    QLineEdit edit;
    DialogValidation::show(&edit, 4294967295u);
    EXPECT_EQ(edit.text(), "4294967295");
}

} // namespace
