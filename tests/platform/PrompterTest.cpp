#include "platform/Prompter.h"
#include "platform/ScriptedPrompter.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"

#include <gtest/gtest.h>

namespace {

using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;
using Icon = Prompter::Icon;
using Kind = ScriptedPrompter::Record::Kind;

TEST(Prompter, DefaultNeverBlocksAndCancels)
{
    PrompterScope none(nullptr);
    Prompter& p = Prompter::instance();
    p.message(QStringLiteral("hello"), {}, Icon::Information);
    EXPECT_EQ(p.question(QStringLiteral("q"), {}, Buttons::YesNo, Icon::Question), Answer::No);
    EXPECT_EQ(p.question(QStringLiteral("q"), {}, Buttons::OkCancel, Icon::None), Answer::Cancel);
    EXPECT_EQ(p.question(QStringLiteral("q"), {}, Buttons::YesNoCancel, Icon::None),
              Answer::Cancel);
    EXPECT_EQ(p.question(QStringLiteral("q"), {}, Buttons::Ok, Icon::None), Answer::Ok);
    EXPECT_TRUE(p.openFileName({}, {}, {}, {}).isEmpty());
    EXPECT_TRUE(p.saveFileName({}, {}, {}, {}).isEmpty());
}

TEST(Prompter, ScopeInstallsAndRestores)
{
    ScriptedPrompter outer;
    ScriptedPrompter inner;
    PrompterScope a(&outer);
    {
        PrompterScope b(&inner);
        EXPECT_EQ(&Prompter::instance(), &inner);
    }
    EXPECT_EQ(&Prompter::instance(), &outer);
}

TEST(ScriptedPrompter, AnswersFromTheQueueThenTheDefault)
{
    ScriptedPrompter p;
    p.pushAnswer(Answer::Yes);
    p.pushAnswer(Answer::Ok);
    EXPECT_EQ(p.question(QStringLiteral("a"), {}, Buttons::YesNo, Icon::Exclamation), Answer::Yes);
    EXPECT_EQ(p.question(QStringLiteral("b"), {}, Buttons::OkCancel, Icon::None), Answer::Ok);
    EXPECT_EQ(p.question(QStringLiteral("c"), {}, Buttons::YesNo, Icon::None), Answer::No);
    p.setDefaultAnswer(Answer::Yes);
    EXPECT_EQ(p.question(QStringLiteral("d"), {}, Buttons::YesNo, Icon::None), Answer::Yes);
    EXPECT_EQ(p.pendingAnswers(), 0u);
    EXPECT_EQ(p.texts(), QStringList({"a", "b", "c", "d"}));
    ASSERT_EQ(p.records().size(), 4u);
    EXPECT_EQ(p.records()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(p.records()[0].icon, Icon::Exclamation);
    EXPECT_EQ(p.records()[1].buttons, Buttons::OkCancel);
}

TEST(ScriptedPrompter, FileChoosersFromTheQueue)
{
    ScriptedPrompter p;
    p.pushFileName(QStringLiteral("/data/a.dat"));
    p.pushFileName(QString());
    EXPECT_EQ(p.openFileName({}, QStringLiteral("/data"), loadString(Str::DataFileFilter),
                             QStringLiteral("dat")),
              "/data/a.dat");
    EXPECT_TRUE(p.saveFileName({}, {}, {}, QStringLiteral("DAT")).isEmpty());
    EXPECT_TRUE(p.openFileName({}, {}, {}, {}).isEmpty());
    ASSERT_EQ(p.records().size(), 3u);
    EXPECT_EQ(p.records()[0].kind, Kind::OpenFile);
    EXPECT_EQ(p.records()[0].directory, "/data");
    EXPECT_EQ(p.records()[0].defaultExt, "dat");
    EXPECT_EQ(p.records()[1].kind, Kind::SaveFile);
    EXPECT_TRUE(p.texts().isEmpty());
}

struct ShowCase
{
    int id;
    QString caption;
    QString arg;
    QString expected;
};

class ShowFileMessageTest : public ::testing::TestWithParam<ShowCase>
{};

TEST_P(ShowFileMessageTest, FillsThePlaceholderAndWarns)
{
    const ShowCase& c = GetParam();
    ScriptedPrompter p;
    PrompterScope scope(&p);
    ShowFileMessage(c.id, c.caption, c.arg);
    ASSERT_EQ(p.records().size(), 1u);
    const auto& r = p.records()[0];
    EXPECT_EQ(r.kind, Kind::Message);
    EXPECT_EQ(r.text, c.expected);
    EXPECT_EQ(r.caption, c.caption);
    EXPECT_EQ(r.icon, Icon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ShowFileMessageTest,
    ::testing::Values(
        ShowCase{Str::NotDataFile, "/home/u/a.dat", {}, "Not able to open file as data file"},
        ShowCase{Str::ParseErrorAtLine, "/home/u/a.dat", "42", "Error parsing file at line 42"},
        ShowCase{
            Str::NameInUse, {}, "Trace 1", "Trace 1  is already in use.  Choose another name."},
        ShowCase{Str::AskLocateFile,
                 {},
                 "/x/%s.dat",
                 "Could not find file /x/%s.dat.  Would you like to specify the new path name?"},
        // No argument leaves the placeholder as it is, like the original wsprintf-less call.
        ShowCase{Str::ParseErrorAtLine, {}, {}, "Error parsing file at line %s"},
        ShowCase{Str::MemoryError, "Error", "ignored", "Memory error!"}));

TEST(ShowFileMessage, InformationVariant)
{
    ScriptedPrompter p;
    PrompterScope scope(&p);
    ShowFileInformation(Str::ColumnDeleted, QStringLiteral("/d/f.dat"), QStringLiteral("3"));
    ASSERT_EQ(p.records().size(), 1u);
    EXPECT_EQ(p.records()[0].text, "Column 3 has been\ndeleted from data file");
    EXPECT_EQ(p.records()[0].icon, Icon::Information);
    EXPECT_EQ(p.records()[0].caption, "/d/f.dat");
}

struct FilterCase
{
    QString in;
    QString out;
};

class FilterTest : public ::testing::TestWithParam<FilterCase>
{};

TEST_P(FilterTest, ConvertsToQtForm)
{
    EXPECT_EQ(Prompter::qtFilter(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    ::testing::Values(FilterCase{"Data Files (*.dat)|*.dat|All Files (*.*)|*.*||",
                                 "Data Files (*.dat);;All Files (*)"},
                      FilterCase{"All files (*.*) | *.*||", "All files (*)"},
                      FilterCase{"Data Files (*.dat) | *.dat | All Files (*.*) | *.* ||",
                                 "Data Files (*.dat);;All Files (*)"},
                      FilterCase{"Pictures|*.png;*.jpg||", "Pictures (*.png *.jpg)"},
                      FilterCase{"Text Files (*.txt);;All (*)", "Text Files (*.txt);;All (*)"},
                      FilterCase{"", ""}, FilterCase{"|||", ""}, FilterCase{"Odd|", "Odd (*)"}));

} // namespace
