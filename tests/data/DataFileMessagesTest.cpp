// The messages of failed reads, exactly as the user sees them.

#include "data/DataFileMessages.h"
#include "DataTestFiles.h"
#include "platform/Exceptions.h"
#include "platform/ScriptedPrompter.h"

#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <string>

namespace {

struct MessageCase
{
    const char* name;
    const char* fileText; // the file read before the failure
    std::function<void()> raise;
    const char* text;
    bool captionIsPath; // else "Error"
    bool keepFile;
};

void PrintTo(const MessageCase& c, std::ostream* os)
{
    *os << c.name;
}

class Messages : public ::testing::TestWithParam<MessageCase>
{};

TEST_P(Messages, TextCaptionAndWhatSurvives)
{
    const MessageCase& c = GetParam();
    DataFiles files;
    ColumnFile file(files.write("m.dat", c.fileText));
    try {
        file.ReadFile();
    } catch (const FileException&) {
    }
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    bool keep = false;
    try {
        c.raise();
    } catch (const std::exception& e) {
        keep = reportDataFileError(e, file);
    }
    EXPECT_EQ(keep, c.keepFile);
    ASSERT_EQ(prompter.records().size(), 1u);
    const auto& shown = prompter.records().front();
    EXPECT_EQ(shown.text, QString::fromUtf8(c.text));
    EXPECT_EQ(shown.caption, c.captionIsPath ? file.GetFullPath() : QStringLiteral("Error"));
    EXPECT_EQ(shown.icon, Prompter::Icon::Exclamation);
}

const char* threeRowsThenBreak = "1\n2\n3\na\nb\nc\nd\ne\n";

INSTANTIATE_TEST_SUITE_P(
    DataFileMessages, Messages,
    ::testing::Values(MessageCase{"AccessDenied", "1\n",
                                  [] { throw FileException(FileException::Cause::accessDenied); },
                                  "Not able to open file as data file", true, false},
                      MessageCase{"NoData", "a\n",
                                  [] { throw FileException(FileException::Cause::invalidFile); },
                                  "Not able to open file as data file", true, false},
                      MessageCase{"ParseError", threeRowsThenBreak,
                                  [] { throw FileException(FileException::Cause::invalidFile); },
                                  "Error parsing file at line 3", true, true},
                      MessageCase{"OtherCause", "1\n",
                                  [] { throw FileException(FileException::Cause::generic); },
                                  "File error", true, false},
                      MessageCase{"Memory", "1\n", [] { throw MemoryException(); }, "Memory error!",
                                  false, false},
                      MessageCase{"BadAlloc", "1\n", [] { throw std::bad_alloc(); },
                                  "Memory error!", false, false},
                      MessageCase{"Resource", "1\n", [] { throw ResourceException(); },
                                  "Resource allocation error", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataFileMessages, FromTheRecordedReadState)
{
    DataFiles files;
    ColumnFile broken(files.write("b.dat", threeRowsThenBreak));
    EXPECT_THROW(broken.ReadFile(), FileException);
    const DataFileMessage m = dataFileMessage(broken);
    EXPECT_EQ(m.text, QStringLiteral("Error parsing file at line 3"));
    EXPECT_TRUE(m.keepFile);

    ColumnFile missing(files.path("none.dat"));
    EXPECT_EQ(missing.ReadFile(), 0);
    EXPECT_EQ(dataFileMessage(missing).text, QStringLiteral("Not able to open file as data file"));

    ColumnFile good(files.write("g.dat", "1\n"));
    EXPECT_EQ(good.ReadFile(), 1);
    EXPECT_EQ(dataFileMessage(good).stringId, 0);
}

} // namespace
