#include "DataTestFiles.h"

#include "data/filelist.h"
#include "platform/Archive.h"
#include "platform/ScriptedPrompter.h"
#include "platform/StringObMap.h"
#include "platform/Strings.h"

namespace {

ColumnFile* readFile(const QString& path)
{
    auto* file = new ColumnFile(path);
    file->ReadFile();
    return file;
}

TEST(FileList, AddUniqueFindByPathAndRemoval)
{
    DataFiles dir;
    filelist list;
    ColumnFile* a = readFile(dir.write("a.dat", "1 2\n"));
    ColumnFile* b = readFile(dir.path("b.dat")); // not there: missing
    list.AddUnique(a);
    list.AddUnique(a);
    list.AddUnique(b);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.FindByPath(dir.path("a.dat")), a);
    // Paths compare exactly: another spelling of the same file is another file.
    EXPECT_EQ(list.FindByPath(dir.dirPath() + "/./a.dat"), nullptr);
    EXPECT_FALSE(list.NoneMissing());
    const auto missing = list.MissingFiles();
    EXPECT_EQ(missing->count(), 1);
    EXPECT_EQ(missing->value(dir.path("b.dat")), b);

    list.RemoveAndDelete(*missing);
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(list.NoneMissing());
    EXPECT_TRUE(list.RemoveFile(a));
    EXPECT_EQ(list.count(), 0);
    delete a;
}

TEST(FileList, RecordRoundTripReadsTheFilesAgain)
{
    DataFiles dir;
    const QString path = dir.write("run.dat", "1 2\n3 4\n");
    filelist list;
    list.AddUnique(new ColumnFile(path));
    list.AddUnique(new ColumnFile(path)); // another object on the same path is stored apart
    Archive out;
    list.Serialize(out);
    // Count 2, the ColumnFile class once, then a class reference for the second file.
    EXPECT_EQ(out.data().left(4), QByteArray("\x02\x00\xff\xff", 4));

    Archive in(out.data());
    filelist loaded;
    loaded.Serialize(in);
    ASSERT_EQ(loaded.count(), 2);
    EXPECT_NE(loaded.at(0), loaded.at(1));
    EXPECT_EQ(loaded.at(1)->GetFullPath(), path);
    EXPECT_EQ(loaded.at(1)->GetNumPoints(), 2);
}

TEST(FileList, TruncatedRecordEndsInAnErrorAndLeaksNothing)
{
    DataFiles dir;
    filelist list;
    list.AddUnique(new ColumnFile(dir.path("a.dat")));
    list.AddUnique(new ColumnFile(dir.path("b.dat")));
    Archive out;
    list.Serialize(out);
    Archive in(out.data().left(out.data().size() - 3));
    filelist loaded;
    EXPECT_THROW(loaded.Serialize(in), ArchiveException);
}

TEST(FileList, RelocateInMovesEveryMissingFile)
{
    DataFiles dir;
    dir.write("a.dat", "1 2\n");
    filelist list;
    list.AddUnique(new ColumnFile("/elsewhere/a.dat"));
    list.AddUnique(new ColumnFile("/elsewhere/gone.dat"));
    EXPECT_FALSE(list.RelocateIn(dir.dirPath() + "/"));
    EXPECT_EQ(list.at(0)->GetFullPath(), dir.path("a.dat"));
    EXPECT_EQ(list.at(0)->GetNumPoints(), 1);
    // Kept the new path though not read there.
    EXPECT_EQ(list.at(1)->GetFullPath(), dir.path("gone.dat"));
    dir.write("gone.dat", "5 6\n");
    EXPECT_TRUE(list.RelocateIn(dir.dirPath()));
}

TEST(FileList, LocateFileAndTheOpenDialog)
{
    DataFiles dir;
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    ColumnFile file("/old/place/run.dat");
    EXPECT_FALSE(filelist::LocateFile(&file)); // cancelled
    prompter.pushFileName(dir.write("new.dat", "1 2\n"));
    EXPECT_TRUE(filelist::LocateFile(&file));
    EXPECT_EQ(file.GetFullPath(), dir.path("new.dat"));
    ASSERT_EQ(prompter.records().size(), 2u);
    EXPECT_EQ(prompter.records()[0].directory, "/old/place/run.dat");
    EXPECT_EQ(prompter.records()[0].filter, loadString(Str::AnyFileFilter));

    prompter.pushFileName("/some/data.dat");
    EXPECT_EQ(filelist::AskDataFileName(), "/some/data.dat");
    EXPECT_EQ(prompter.records().back().filter, loadString(Str::DataFileFilter));
    EXPECT_EQ(prompter.records().back().defaultExt, "dat");
}

} // namespace
