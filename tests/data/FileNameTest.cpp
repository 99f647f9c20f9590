// File names, the stored record of a data file and reading it on load.

#include "data/FileName.h"
#include "DataTestFiles.h"
#include "data/ColumnFile.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct PathCase
{
    const char* path;
    const char* directory;
    const char* fileName;
    const char* fullPath;
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.path;
}

class Paths : public ::testing::TestWithParam<PathCase>
{};

TEST_P(Paths, SplitAtTheLastSeparator)
{
    const PathCase& c = GetParam();
    const FileName name(QString::fromUtf8(c.path));
    EXPECT_EQ(name.GetDirectory(), QString::fromUtf8(c.directory));
    EXPECT_EQ(name.GetFileName(), QString::fromUtf8(c.fileName));
    EXPECT_EQ(name.GetFullPath(), QString::fromUtf8(c.fullPath));
}

INSTANTIATE_TEST_SUITE_P(
    FileName, Paths,
    ::testing::Values(PathCase{"/home/ann/run.dat", "/home/ann", "run.dat", "/home/ann/run.dat"},
                      PathCase{"run.dat", "", "run.dat", "run.dat"},
                      PathCase{"/run.dat", "/", "run.dat", "/run.dat"},
                      PathCase{"C:\\data\\run.dat", "C:\\data", "run.dat", "C:\\data/run.dat"},
                      PathCase{"Z:/data\\run.dat", "Z:/data", "run.dat", "Z:/data/run.dat"},
                      PathCase{"data\\run.dat", "data", "run.dat", "data/run.dat"},
                      // On Linux a backslash is part of a file name.
                      PathCase{"a\\b/c.dat", "a\\b", "c.dat", "a\\b/c.dat"},
                      PathCase{"/tmp/x\\y.dat", "/tmp", "x\\y.dat", "/tmp/x\\y.dat"},
                      PathCase{"dir/", "dir", "", "dir/"},
                      PathCase{"a//b.dat", "a/", "b.dat", "a//b.dat"},
                      PathCase{"/tmp/Müller µ.dat", "/tmp", "Müller µ.dat", "/tmp/Müller µ.dat"},
                      PathCase{"", "", "", ""}));

TEST(FileName, SetDirectoryDropsOneSeparator)
{
    FileName name(QStringLiteral("/old/place/run.dat"));
    name.SetDirectory(QStringLiteral("/new/place/"));
    EXPECT_EQ(name.GetFullPath(), QStringLiteral("/new/place/run.dat"));
    name.SetDirectory(QStringLiteral("/"));
    EXPECT_EQ(name.GetFullPath(), QStringLiteral("/run.dat"));
    name.SetDirectory(QString());
    EXPECT_EQ(name.GetFullPath(), QStringLiteral("run.dat"));
    name.SetDirectory(QStringLiteral("/home/dir\\"));
    EXPECT_EQ(name.GetFullPath(), QStringLiteral("/home/dir\\/run.dat"));

    FileName copy;
    copy = FileName(QStringLiteral("x/y.dat"));
    EXPECT_EQ(copy.GetFullPath(), QStringLiteral("x/y.dat"));
    copy.Clear();
    EXPECT_TRUE(copy.GetFullPath().isEmpty());
}

QByteArray archiveString(const QByteArray& s)
{
    return char(s.size()) + s;
}

TEST(ColumnFileRecord, IsDirectoryThenFileName)
{
    DataFiles files;
    ColumnFile file(files.write("run.dat", "1 2\n"));
    Archive out;
    out.writeObject(&file);
    const QByteArray dir = files.dirPath().toUtf8();
    QByteArray expected("\xff\xff\x00\x00\x0a\x00", 6);
    expected += "ColumnFile" + archiveString(dir) + archiveString("run.dat");
    EXPECT_EQ(out.data().toHex(), expected.toHex());
}

// Loading reads the data file at once; a failed read leaves a file the document can report.
struct LoadCase
{
    const char* name;
    const char* text; // null: no file on disk
    ColumnFile::ReadState state;
    int points;
};

void PrintTo(const LoadCase& c, std::ostream* os)
{
    *os << c.name;
}

class Loading : public ::testing::TestWithParam<LoadCase>
{};

TEST_P(Loading, ReadsTheDataFile)
{
    const LoadCase& c = GetParam();
    DataFiles files;
    const QString path = c.text ? files.write("load.dat", c.text) : files.path("load.dat");
    ColumnFile stored(path);
    Archive out;
    out.writeObject(&stored);

    Archive in(out.data());
    std::unique_ptr<ColumnFile> loaded;
    ASSERT_NO_THROW(loaded = in.readOwnedObject<ColumnFile>());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(in.bytesLeft(), 0u);
    EXPECT_EQ(loaded->GetFullPath(), path);
    EXPECT_EQ(loaded->GetReadState(), c.state);
    EXPECT_EQ(loaded->GetNumPoints(), c.points);
}

INSTANTIATE_TEST_SUITE_P(
    ColumnFileRecord, Loading,
    ::testing::Values(LoadCase{"Read", "1 2\n3 4\n", ColumnFile::ReadState::read, 2},
                      LoadCase{"Missing", nullptr, ColumnFile::ReadState::cannotOpen, 0},
                      LoadCase{"NotData", "a\nb\nc\nd\n", ColumnFile::ReadState::notDataFile, 0},
                      LoadCase{"BrokenOff", "1\n2\na\nb\nc\nd\ne\n",
                               ColumnFile::ReadState::parseError, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnFileRecord, ARelativePathFoundOnLoadBecomesAbsolute)
{
    DataFiles files;
    files.write("run.dat", "1 2\n");
    Archive out;
    ColumnFile stored(QStringLiteral("run.dat"));
    out.writeObject(&stored);
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(files.dirPath()));
    Archive in(out.data());
    const std::unique_ptr<ColumnFile> loaded = in.readOwnedObject<ColumnFile>();
    QDir::setCurrent(cwd);
    EXPECT_EQ(loaded->GetNumPoints(), 1);
    EXPECT_EQ(loaded->GetFullPath(), files.path("run.dat"));
}

} // namespace
