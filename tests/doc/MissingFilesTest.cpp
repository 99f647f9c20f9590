#include "DocTestSupport.h"

#include "data/ColumnFile.h"
#include "platform/Exceptions.h"
#include "traces/Trace.h"

namespace {

enum class Where { besideDocument, answeredNo, locatedByUser, locateCancelled };

struct MissingCase
{
    const char* name;
    Where where;
    bool traceKept;
    int questions;
};

class MissingFiles : public DocFixture, public ::testing::WithParamInterface<MissingCase>
{};

// The data file was read, then vanished; the document is checked as after loading.
TEST_P(MissingFiles, AreLookedForThenAskedFor)
{
    const MissingCase& c = GetParam();
    QDir(dir.path()).mkdir("data");
    QDir(dir.path()).mkdir("moved");
    const QString original = writeFile("data/run.dat", "1 2\n3 4\n");
    open(original);
    open(original);
    ColumnFile* file = traceAt(0)->GetFile();
    const QString docPath = path(c.where == Where::besideDocument ? "moved/plot.pvn" : "plot.pvn");
    QFile::rename(original, path("moved/run.dat"));
    ASSERT_EQ(file->Reread(), 0);
    prompter.clear();
    doc.SetModifiedFlag(false);
    if (c.where != Where::besideDocument)
        prompter.pushAnswer(c.where == Where::answeredNo ? Prompter::Answer::No
                                                         : Prompter::Answer::Yes);
    if (c.where == Where::locatedByUser)
        prompter.pushFileName(path("moved/run.dat"));

    doc.LocateMissingFiles(docPath);

    ASSERT_EQ(prompter.texts().size(), c.questions);
    if (c.questions) {
        EXPECT_EQ(prompter.texts().first(),
                  QString("Could not find file %1.  Would you like to specify the new path name?")
                      .arg(original));
    }
    EXPECT_EQ(traceCount(), c.traceKept ? 2 : 0);
    EXPECT_TRUE(doc.GetFiles().contains(file)); // dropped by the next clean-up only
    if (c.traceKept) {
        EXPECT_EQ(file->GetFullPath(), path("moved/run.dat"));
        EXPECT_EQ(file->GetNumPoints(), 2);
    } else {
        EXPECT_EQ(file->GetFullPath(), original);
        EXPECT_TRUE(doc.IsModified());
        doc.RemoveUnusedFiles();
        EXPECT_EQ(doc.GetFiles().count(), 0);
    }
    EXPECT_EQ(doc.IsModified(), c.where != Where::besideDocument);
}

INSTANTIATE_TEST_SUITE_P(Cases, MissingFiles,
                         ::testing::Values(MissingCase{"beside", Where::besideDocument, true, 0},
                                           MissingCase{"no", Where::answeredNo, false, 1},
                                           MissingCase{"located", Where::locatedByUser, true, 1},
                                           MissingCase{"cancelled", Where::locateCancelled, false,
                                                       1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MissingFiles, ALocatedFileThatIsNoDataFileEndsTheLoad)
{
    const QString original = writeFile("run.dat", "1 2\n");
    open(original);
    QFile::remove(original);
    ASSERT_EQ(traceAt(0)->GetFile()->Reread(), 0);
    prompter.pushAnswer(Prompter::Answer::Yes);
    prompter.pushFileName(writeFile("notes.txt", "a\nb\nc\nd\ne\n"));
    EXPECT_THROW(doc.PromptForMissingFiles(), FileException);
}

} // namespace
