#include "platform/Strings.h"

#include <gtest/gtest.h>
#include <set>

namespace {

struct TextCase
{
    int id;
    const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.id;
}

class StringTableTest : public ::testing::TestWithParam<TextCase>
{};

TEST_P(StringTableTest, HoldsTheTextWordForWord)
{
    EXPECT_EQ(loadString(GetParam().id).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    SpotChecks, StringTableTest,
    ::testing::Values(
        TextCase{2, "Plotvane"},
        TextCase{3, "\nVanePlot\nPlotvane Document\nPlotvane Files "
                    "(*.pvn)\n.pvn\nVanePlotFileType\nPlotvane Plot"},
        TextCase{4, "\nOutput\n\nText Files (*.txt)\n.txt\n\n"},
        TextCase{105, "Other objects depend on  "},
        TextCase{106, ".  Are you sure you want to delete?"},
        TextCase{108, "%s  is already in use.  Choose another name."},
        TextCase{109, "Column %d has been\ndeleted from data file"}, TextCase{111, "Memory error!"},
        TextCase{112, "Could not find file %1.  Would you like to specify the new path name?"},
        TextCase{113, "Not able to open file as data file"},
        TextCase{114, "Error parsing file at line %s"}, TextCase{115, "File error"},
        TextCase{116, "Resource allocation error"}, TextCase{117, "Solid"},
        TextCase{121, "Dash-Dot-Dot"}, TextCase{123, "Log"}, TextCase{131, " (cm):"},
        TextCase{132, " (in.):"}, TextCase{32802, "Centers all objects on the page"},
        TextCase{32793, "Creates \"Right\" axis"}, TextCase{0xF110, "Please enter an integer."},
        TextCase{0xF113, "Please enter a number between %1 and %2."},
        TextCase{0xF117, "Please enter a positive integer."},
        TextCase{0xF103, "Save changes to %1?"}, TextCase{0xF120, "Unexpected file format."}));

TEST(StringTable, EveryIdHasText)
{
    const QList<int> ids = stringIds();
    EXPECT_GT(ids.size(), 60);
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), size_t(ids.size())) << "duplicate id";
    for (int id : ids)
        EXPECT_FALSE(loadString(id).isEmpty()) << id;
    for (int id : menuCommandIds())
        EXPECT_FALSE(menuText(id).isEmpty()) << id;
}

TEST(StringTable, UnknownIdsAreEmpty)
{
    EXPECT_TRUE(loadString(0).isNull());
    EXPECT_TRUE(loadString(-1).isNull());
    EXPECT_TRUE(loadString(122).isNull());
    EXPECT_TRUE(menuText(1).isNull());
}

TEST(StringTable, MenuTexts)
{
    EXPECT_EQ(menuText(32770), "Open Data &File");
    EXPECT_EQ(menuText(32795), "&Reread  Data");
    EXPECT_EQ(menuText(32798), "&Write Data ");
    EXPECT_EQ(menuText(57664), "&About PLOTVANE...");
}

TEST(StringTable, DocumentTemplateFields)
{
    EXPECT_EQ(docString(Str::PlotDocTemplate, Str::WindowTitle), "");
    EXPECT_EQ(docString(Str::PlotDocTemplate, Str::DocName), "VanePlot");
    EXPECT_EQ(docString(Str::PlotDocTemplate, Str::FilterName), "Plotvane Files (*.pvn)");
    EXPECT_EQ(docString(Str::PlotDocTemplate, Str::FilterExt), ".pvn");
    EXPECT_EQ(docString(Str::PlotDocTemplate, Str::RegFileTypeName), "Plotvane Plot");
    EXPECT_EQ(docString(Str::LogDocTemplate, Str::DocName), "Output");
    EXPECT_EQ(docString(Str::LogDocTemplate, Str::FileNewName), "");
    EXPECT_EQ(docString(Str::LogDocTemplate, Str::FilterExt), ".txt");
    EXPECT_EQ(docString(999, Str::DocName), "");
}

struct FillCase
{
    QString text;
    QString arg;
    QString expected;
};

class FillTest : public ::testing::TestWithParam<FillCase>
{};

TEST_P(FillTest, FillsOnePlaceholder)
{
    EXPECT_EQ(fillPlaceholder(GetParam().text, GetParam().arg), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, FillTest,
                         ::testing::Values(FillCase{"file %1.", "/a/b.dat", "file /a/b.dat."},
                                           FillCase{"%s  is in use", "x%1", "x%1  is in use"},
                                           FillCase{"line %s", "%s", "line %s"},
                                           FillCase{"Column %d has", "3", "Column 3 has"},
                                           FillCase{"rows %ld", "12", "rows 12"},
                                           FillCase{"100%% %s", "a", "100%% a"},
                                           FillCase{"no placeholder", "a", "no placeholder"},
                                           FillCase{"ends in %", "a", "ends in %"},
                                           FillCase{"", "a", ""}));

TEST(StringTable, Formatting)
{
    EXPECT_EQ(formatString(Str::ParseRealRange, "0.01", "300"),
              "Please enter a number between 0.01 and 300.");
    EXPECT_EQ(formatString(Str::ParseIntRange, "%2", "5"),
              "Please enter an integer between %2 and 5.");
    EXPECT_EQ(formatString(Str::AskToSave, "plot.pvn"), "Save changes to plot.pvn?");
    EXPECT_EQ(formatC(Str::NameInUse, QStringLiteral("X-Axis 1")),
              "X-Axis 1  is already in use.  Choose another name.");
    EXPECT_EQ(formatC(Str::ColumnDeleted, 3), "Column 3 has been\ndeleted from data file");
    EXPECT_EQ(formatC(Str::ParseErrorAtLine, 120L), "Error parsing file at line 120");
    EXPECT_EQ(formatC(Str::MemoryError, 1), "Memory error!");
}

} // namespace
