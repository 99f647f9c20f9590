#include "platform/CompoundFile.h"
#include "platform/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

// Deterministic bytes that do not repeat on block boundaries.
QByteArray pattern(qsizetype size, quint32 seed = 1)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (qsizetype i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

const QByteArray emptyDocument = QByteArray::fromHex("0000000034120000");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

std::string joinPathForTrace(const QStringList& storagePath, const QString& name)
{
    return (storagePath + QStringList{name}).join(QLatin1Char('/')).toStdString();
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// A document with an embedded object, as the program saves one.
QByteArray sampleContainer()
{
    CompoundFileWriter writer;
    writer.writeStream(contentsStreamName(), pattern(3000, 7));
    writer.writeStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture"),
                       pattern(20000, 8));
    writer.writeStream({QStringLiteral("Embedding 1")}, QStringLiteral("Kind"), "png");
    return writer.toBytes();
}

// ---------------------------------------------------------------------------------------------
// Round trips

struct ContentsCase
{
    const char* label;
    QByteArray bytes;
};

void PrintTo(const ContentsCase& c, std::ostream* os)
{
    *os << c.label;
}

class ContentsRoundTrip : public ::testing::TestWithParam<ContentsCase>
{};

// Sizes around the 4096-byte line between the small-block and the big-block allocation.
INSTANTIATE_TEST_SUITE_P(Sizes, ContentsRoundTrip,
                         ::testing::Values(ContentsCase{"emptyDocument", emptyDocument},
                                           ContentsCase{"empty", {}},
                                           ContentsCase{"oneByte", QByteArray(1, '\x7f')},
                                           ContentsCase{"miniLimitLess1", pattern(4095)},
                                           ContentsCase{"miniLimit", pattern(4096)},
                                           ContentsCase{"miniLimitPlus1", pattern(4097)},
                                           ContentsCase{"fiveMegabytes", pattern(5 * 1024 * 1024)}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_P(ContentsRoundTrip, FileAndMemoryGiveBackTheSameBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.pvn"));
    CompoundFileWriter writer(path);
    writer.writeStream(contentsStreamName(), GetParam().bytes);
    writer.commit();

    const QByteArray image = readFile(path);
    EXPECT_EQ(image, writer.toBytes());
    EXPECT_EQ(image.size() % 512, 0);

    for (const CompoundFileReader& reader :
         {CompoundFileReader(path), CompoundFileReader::fromBytes(image)}) {
        EXPECT_EQ(reader.children(), QStringList{QStringLiteral("Contents")});
        ASSERT_TRUE(reader.hasStream(QStringLiteral("Contents")));
        EXPECT_EQ(reader.readStream(QStringLiteral("Contents")), GetParam().bytes);
    }
}

TEST(CompoundFile, StoragesAndStreamsComeBackAsWritten)
{
    const QStringList embedding1{QStringLiteral("Embedding 1")};
    const QStringList embedding2{QStringLiteral("Embedding 2")};
    const QStringList nested{QStringLiteral("Embedding 2"), QStringLiteral("Inner")};
    const QString ole = QStringLiteral("\x01Ole");

    CompoundFileWriter writer;
    writer.writeStream(contentsStreamName(), pattern(100, 1));
    writer.writeStream(QStringLiteral("Empty"), {});
    writer.writeStream(embedding1, ole, pattern(20, 2));
    writer.writeStream(embedding1, QStringLiteral("CONTENTS"), pattern(70000, 3));
    writer.writeStream(nested, QStringLiteral("Leaf"), "leaf");
    writer.addStorage({QStringLiteral("Embedding 3")});
    // A second write of a stream replaces the first.
    writer.writeStream(QStringLiteral("Empty"), "x");
    writer.writeStream(QStringLiteral("Empty"), {});

    const CompoundFileReader reader = CompoundFileReader::fromBytes(writer.toBytes());
    EXPECT_EQ(sorted(reader.children()),
              (QStringList{"Contents", "Embedding 1", "Embedding 2", "Embedding 3", "Empty"}));
    EXPECT_EQ(sorted(reader.children(embedding1)), (QStringList{ole, "CONTENTS"}));
    EXPECT_EQ(reader.children(embedding2), QStringList{"Inner"});
    EXPECT_EQ(reader.children(nested), QStringList{"Leaf"});
    EXPECT_TRUE(reader.children({QStringLiteral("Embedding 3")}).isEmpty());

    EXPECT_EQ(reader.readStream(contentsStreamName()), pattern(100, 1));
    EXPECT_EQ(reader.readStream(QStringLiteral("Empty")), QByteArray());
    EXPECT_EQ(reader.readStream(embedding1, ole), pattern(20, 2));
    EXPECT_EQ(reader.readStream(embedding1, QStringLiteral("CONTENTS")), pattern(70000, 3));
    EXPECT_EQ(reader.readStream(nested, QStringLiteral("Leaf")), "leaf");

    EXPECT_TRUE(reader.isStorage({}));
    EXPECT_TRUE(reader.isStorage(nested));
    EXPECT_FALSE(reader.isStorage({contentsStreamName()}));
    EXPECT_FALSE(reader.isStorage({QStringLiteral("Embedding 9")}));
    EXPECT_TRUE(reader.hasStream(embedding1, ole));
    EXPECT_FALSE(reader.hasStream(QStringLiteral("Embedding 1")));
    EXPECT_FALSE(reader.hasStream(QStringLiteral("Missing")));
    EXPECT_FALSE(reader.hasStream({QStringLiteral("Missing")}, QStringLiteral("Leaf")));
}

TEST(CompoundFile, MissingEntriesAreInvalidFile)
{
    const CompoundFileReader reader = CompoundFileReader::fromBytes(sampleContainer(), "a.pvn");
    const std::vector<std::function<void()>> reads = {
        [&] { reader.readStream(QStringLiteral("Missing")); },
        [&] { reader.readStream(QStringLiteral("Embedding 1")); },
        [&] { reader.readStream({QStringLiteral("Contents")}, QStringLiteral("x")); },
        [&] { reader.children({QStringLiteral("Contents")}); },
        [&] { reader.children({QStringLiteral("Embedding 9")}); },
    };
    for (size_t i = 0; i < reads.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            reads[i]();
            ADD_FAILURE() << "no exception";
        } catch (const FileException& e) {
            EXPECT_EQ(e.cause(), FileException::Cause::invalidFile);
            EXPECT_EQ(e.fileName(), QStringLiteral("a.pvn"));
        }
    }
}

TEST(CompoundFile, CopyStorageCarriesAnEmbeddedObjectIntoAnotherFile)
{
    CompoundFileWriter source;
    source.writeStream(contentsStreamName(), "doc");
    source.writeStream({QStringLiteral("Embedding 4")}, QStringLiteral("Picture"), pattern(9000));
    source.writeStream({QStringLiteral("Embedding 4"), QStringLiteral("Sub")},
                       QStringLiteral("Kind"), "svg");
    source.addStorage({QStringLiteral("Embedding 4"), QStringLiteral("Empty")});
    const CompoundFileReader from = CompoundFileReader::fromBytes(source.toBytes());

    CompoundFileWriter target;
    copyStorage(from, {QStringLiteral("Embedding 4")}, target, {QStringLiteral("Embedding 1")});
    const CompoundFileReader to = CompoundFileReader::fromBytes(target.toBytes());

    const QStringList copy{QStringLiteral("Embedding 1")};
    EXPECT_EQ(to.children(), copy);
    EXPECT_EQ(sorted(to.children(copy)), (QStringList{"Empty", "Picture", "Sub"}));
    EXPECT_EQ(to.readStream(copy, QStringLiteral("Picture")), pattern(9000));
    EXPECT_EQ(to.readStream(copy + QStringList{"Sub"}, QStringLiteral("Kind")), "svg");
    EXPECT_TRUE(to.children(copy + QStringList{"Empty"}).isEmpty());
}

TEST(CompoundFile, BadNamesAreRefusedWhenWritten)
{
    CompoundFileWriter writer(QStringLiteral("/nowhere/x.pvn"));
    writer.writeStream(contentsStreamName(), "a");
    writer.writeStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture"), "b");
    const std::vector<std::pair<QStringList, QString>> bad = {
        {{}, QString()},
        {{}, QString(32, QLatin1Char('n'))},
        {{}, QStringLiteral("a/b")},
        {{}, QStringLiteral("a\\b")},
        {{}, QStringLiteral("a:b")},
        {{}, QStringLiteral("a!b")},
        {{QString()}, QStringLiteral("ok")},
        // One name, one entry, whatever the case.
        {{}, QStringLiteral("CONTENTS")},
        {{}, QStringLiteral("Embedding 1")},
        {{QStringLiteral("Contents")}, QStringLiteral("ok")},
        {{QStringLiteral("embedding 1")}, QStringLiteral("ok")},
    };
    for (const auto& [storagePath, name] : bad) {
        SCOPED_TRACE(joinPathForTrace(storagePath, name));
        try {
            writer.writeStream(storagePath, name, "c");
            ADD_FAILURE() << "accepted";
        } catch (const FileException& e) {
            EXPECT_EQ(e.cause(), FileException::Cause::generic);
            EXPECT_EQ(e.fileName(), QStringLiteral("/nowhere/x.pvn"));
        }
    }
    EXPECT_NO_THROW(writer.writeStream(QString(31, QLatin1Char('n')), "d"));
    const CompoundFileReader reader = CompoundFileReader::fromBytes(writer.toBytes());
    EXPECT_EQ(reader.readStream(QString(31, QLatin1Char('n'))), "d");
    EXPECT_EQ(reader.readStream(contentsStreamName()), "a");
}

// ---------------------------------------------------------------------------------------------
// Another reader of compound files

const char* const oleListScript = R"(
import sys
try:
    import olefile
except ImportError:
    sys.exit(77)
ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
for entry in sorted(ole.listdir(streams=False, storages=True)):
    print('storage', '/'.join(entry))
for entry in sorted(ole.listdir(streams=True, storages=False)):
    name = '/'.join(entry)
    print('stream', name, ole.get_size(name))
print('contents', ole.openstream('Contents').read().hex())
)";

TEST(CompoundFile, OlefileReadsOurFiles)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "no /usr/bin/python3";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.pvn"));
    const QByteArray contents = emptyDocument + pattern(5000, 3);
    CompoundFileWriter writer(path);
    writer.writeStream(contentsStreamName(), contents);
    writer.writeStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture"), pattern(20000));
    writer.writeStream({QStringLiteral("Embedding 1")}, QStringLiteral("Kind"), "png");
    writer.addStorage({QStringLiteral("Embedding 2")});
    writer.commit();

    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(oleListScript), path});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitStatus() == QProcess::NormalExit && python.exitCode() == 77)
        GTEST_SKIP() << "python3-olefile is not installed";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();

    const QByteArray expected = "storage Embedding 1\n"
                                "storage Embedding 2\n"
                                "stream Contents 5008\n"
                                "stream Embedding 1/Kind 3\n"
                                "stream Embedding 1/Picture 20000\n"
                                "contents " +
                                contents.toHex() + "\n";
    EXPECT_EQ(python.readAllStandardOutput().toStdString(), expected.toStdString());
}

// ---------------------------------------------------------------------------------------------
// Damaged containers

quint32 getLe32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

void setLe32(QByteArray& bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

qsizetype sectorOffset(quint32 sector)
{
    return (qsizetype(sector) + 1) * 512;
}

// The offset of the directory entry with this name.
qsizetype entryOffset(const QByteArray& bytes, const QString& name)
{
    const QByteArray utf16(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
    const qsizetype dirStart = sectorOffset(getLe32(bytes, 0x30));
    const qsizetype at = bytes.indexOf(utf16 + QByteArray(2, '\0'), dirStart);
    EXPECT_GE(at, dirStart);
    EXPECT_EQ((at - dirStart) % 128, 0);
    return at;
}

qsizetype fatEntryOffset(const QByteArray& bytes, quint32 sector)
{
    return sectorOffset(getLe32(bytes, 0x4C)) + 4 * qsizetype(sector);
}

// Opens the container and reads everything in it. Empty when all of it could be read, else
// the cause of the clean error. Any other exception, a crash or a hang fails the test.
std::optional<FileException::Cause> readEverything(const QByteArray& bytes)
{
    try {
        const CompoundFileReader reader = CompoundFileReader::fromBytes(bytes, "damaged.pvn");
        std::function<void(const QStringList&)> walk = [&](const QStringList& at) {
            for (const QString& name : reader.children(at)) {
                if (reader.isStorage(at + QStringList{name}))
                    walk(at + QStringList{name});
                else
                    reader.readStream(at, name);
            }
        };
        walk({});
        reader.readStream(contentsStreamName());
        reader.readStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture"));
        return std::nullopt;
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName(), QStringLiteral("damaged.pvn"));
        return e.cause();
    }
}

struct Damage
{
    const char* label;
    std::function<void(QByteArray&)> apply;
};

void PrintTo(const Damage& d, std::ostream* os)
{
    *os << d.label;
}

class DamagedContainer : public ::testing::TestWithParam<Damage>
{};

TEST_P(DamagedContainer, EndsInInvalidFile)
{
    QByteArray bytes = sampleContainer();
    ASSERT_EQ(readEverything(bytes), std::nullopt);
    GetParam().apply(bytes);
    EXPECT_EQ(readEverything(bytes), FileException::Cause::invalidFile);
}

void cutTo(QByteArray& bytes, qsizetype size)
{
    bytes.truncate(size);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedContainer,
    ::testing::Values(
        Damage{"cutTo0", [](QByteArray& b) { cutTo(b, 0); }},
        Damage{"cutTo100", [](QByteArray& b) { cutTo(b, 100); }},
        Damage{"cutTo511", [](QByteArray& b) { cutTo(b, 511); }},
        Damage{"cutTo512", [](QByteArray& b) { cutTo(b, 512); }},
        Damage{"cutTo1000", [](QByteArray& b) { cutTo(b, 1000); }},
        Damage{"cutToHalf", [](QByteArray& b) { cutTo(b, b.size() / 2); }},
        Damage{"cutLastByte", [](QByteArray& b) { cutTo(b, b.size() - 1); }},
        Damage{"textFile", [](QByteArray& b) { b = QByteArray(2048, 'a'); }},
        Damage{"signature", [](QByteArray& b) { b[3] = char(0xE1); }},
        Damage{"hugeSectorShift", [](QByteArray& b) { b[0x1E] = char(0x1F); }},
        Damage{"zeroSectorShift", [](QByteArray& b) { b[0x1E] = 0; }},
        Damage{"hugeMiniSectorShift", [](QByteArray& b) { b[0x20] = char(0x1F); }},
        Damage{"fatSectorCount", [](QByteArray& b) { setLe32(b, 0x2C, 0xFFFFFFFF); }},
        Damage{"directoryStart", [](QByteArray& b) { setLe32(b, 0x30, 0x00FFFFFF); }},
        Damage{"firstFatSector", [](QByteArray& b) { setLe32(b, 0x4C, 0x00FFFFFF); }},
        Damage{"fatSectorUnused", [](QByteArray& b) { setLe32(b, 0x4C, 0xFFFFFFFF); }},
        Damage{"difatCount", [](QByteArray& b) { setLe32(b, 0x48, 0x7FFFFFFF); }},
        Damage{"miniFatStart", [](QByteArray& b) { setLe32(b, 0x3C, 0x00FFFFFF); }},
        Damage{"fatZeroed",
               [](QByteArray& b) { b.replace(sectorOffset(getLe32(b, 0x4C)), 512, QByteArray(512, 0)); }},
        Damage{"streamChainLoops",
               [](QByteArray& b) {
                   const quint32 start = getLe32(b, entryOffset(b, "Picture") + 0x74);
                   setLe32(b, fatEntryOffset(b, start + 1), start);
               }},
        Damage{"streamChainLeavesFile",
               [](QByteArray& b) {
                   const quint32 start = getLe32(b, entryOffset(b, "Picture") + 0x74);
                   setLe32(b, fatEntryOffset(b, start), 0x00FFFF00);
               }},
        Damage{"streamChainEndsEarly",
               [](QByteArray& b) {
                   const quint32 start = getLe32(b, entryOffset(b, "Picture") + 0x74);
                   setLe32(b, fatEntryOffset(b, start + 2), 0xFFFFFFFE);
               }},
        Damage{"bigStreamClaimsHugeSize",
               [](QByteArray& b) { setLe32(b, entryOffset(b, "Picture") + 0x78, 0x7FFFFFF0); }},
        Damage{"bigStreamClaimsMoreThanFile",
               [](QByteArray& b) {
                   setLe32(b, entryOffset(b, "Picture") + 0x78, quint32(b.size() + 1));
               }},
        Damage{"smallStreamClaimsHugeSize",
               [](QByteArray& b) { setLe32(b, entryOffset(b, "Contents") + 0x78, 0xFFFFFFF0); }},
        Damage{"smallStreamGrowsPastMiniStream",
               [](QByteArray& b) { setLe32(b, entryOffset(b, "Contents") + 0x78, 4095); }},
        Damage{"directoryChildLoops",
               [](QByteArray& b) {
                   const qsizetype at = entryOffset(b, "Embedding 1");
                   const qsizetype self = (at - sectorOffset(getLe32(b, 0x30))) / 128;
                   setLe32(b, at + 0x4C, quint32(self));
               }},
        Damage{"directorySiblingLoops",
               [](QByteArray& b) {
                   const qsizetype dirStart = sectorOffset(getLe32(b, 0x30));
                   for (qsizetype at = dirStart + 128; at < dirStart + 512; at += 128) {
                       const quint32 self = quint32((at - dirStart) / 128);
                       setLe32(b, at + 0x44, self);
                       setLe32(b, at + 0x48, self);
                   }
               }},
        Damage{"directoryZeroed",
               [](QByteArray& b) {
                   b.replace(sectorOffset(getLe32(b, 0x30)), 512, QByteArray(512, 0));
               }}),
    [](const auto& info) { return std::string(info.param.label); });

// Every byte of the header, the FAT and the directory set to 0x00 and to 0xFF in turn: the
// reader either reads the container or refuses it cleanly.
TEST(DamagedContainerSweep, EveryStructureByteEndsInDataOrACleanError)
{
    const QByteArray good = sampleContainer();
    std::vector<qsizetype> offsets;
    for (qsizetype i = 0; i < 512; ++i)
        offsets.push_back(i);
    for (const quint32 sector : {getLe32(good, 0x4C), getLe32(good, 0x30), getLe32(good, 0x3C)})
        for (qsizetype i = 0; i < 512; ++i)
            offsets.push_back(sectorOffset(sector) + i);
    int refused = 0;
    for (const qsizetype at : offsets) {
        for (const char value : {'\x00', '\xFF'}) {
            if (good[at] == value)
                continue;
            QByteArray bytes = good;
            bytes[at] = value;
            SCOPED_TRACE(at);
            const auto outcome = readEverything(bytes);
            if (outcome) {
                EXPECT_EQ(*outcome, FileException::Cause::invalidFile);
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(NotAContainer, EndsInAFileException)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("text.pvn"));
    writeFile(text, "x y\n1 2\n3 4\n");
    const QString empty = dir.filePath(QStringLiteral("empty.pvn"));
    writeFile(empty, {});
    const QString sub = dir.filePath(QStringLiteral("folder.pvn"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.pvn")));

    const std::vector<std::pair<QString, FileException::Cause>> cases = {
        {dir.filePath(QStringLiteral("missing.pvn")), FileException::Cause::fileNotFound},
        {dir.filePath(QStringLiteral("no/such/dir.pvn")), FileException::Cause::fileNotFound},
        {dir.filePath(QStringLiteral("text.pvn/below.pvn")), FileException::Cause::badPath},
        {sub, FileException::Cause::accessDenied},
        {empty, FileException::Cause::invalidFile},
        {text, FileException::Cause::invalidFile},
        {QStringLiteral("/dev/null"), FileException::Cause::invalidFile},
        {QStringLiteral("/dev/zero"), FileException::Cause::invalidFile},
    };
    for (const auto& [path, cause] : cases) {
        SCOPED_TRACE(path.toStdString());
        try {
            CompoundFileReader reader(path);
            ADD_FAILURE() << "opened";
        } catch (const FileException& e) {
            EXPECT_EQ(e.cause(), cause);
            EXPECT_EQ(e.fileName(), path);
        }
    }
}

// Damaged containers kept as files, for the document loader's tests and fuzzing as well.
TEST(NotAContainer, MalformedContainerFilesEndInInvalidFile)
{
    QString data = qEnvironmentVariable("PLOTVANE_TESTDATA");
    if (data.isEmpty())
        data = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../data"));
    const QDir dir(QDir(data).filePath(QStringLiteral("malformed")));
    const QStringList names = dir.entryList({QStringLiteral("container-*.pvn")}, QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << dir.path().toStdString();
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        std::optional<FileException::Cause> cause;
        try {
            const CompoundFileReader reader(path);
            reader.readStream(contentsStreamName());
            reader.readStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture"));
        } catch (const FileException& e) {
            cause = e.cause();
            EXPECT_EQ(e.fileName(), path);
        }
        EXPECT_EQ(cause, FileException::Cause::invalidFile);
    }
}

// ---------------------------------------------------------------------------------------------
// Saving over an existing file

class SaveOver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("plot.pvn"));
        CompoundFileWriter writer(path);
        writer.writeStream(contentsStreamName(), emptyDocument);
        writer.commit();
        before = readFile(path);
        ASSERT_FALSE(before.isEmpty());
        entriesBefore = entriesOf(dir.path());
        ASSERT_EQ(entriesBefore, QStringList{QStringLiteral("plot.pvn")});
    }

    // The old file is intact and nothing else was left behind.
    void expectUnchanged()
    {
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(entriesOf(dir.path()), entriesBefore);
        EXPECT_EQ(CompoundFileReader(path).readStream(contentsStreamName()), emptyDocument);
    }

    static void fill(CompoundFileWriter& writer)
    {
        writer.writeStream(contentsStreamName(), pattern(1024 * 1024));
        writer.writeStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture"), "b");
    }

    QTemporaryDir dir;
    QString path;
    QByteArray before;
    QStringList entriesBefore;
};

TEST_F(SaveOver, WriterDroppedBeforeCommitLeavesTheOldFile)
{
    try {
        CompoundFileWriter writer(path);
        fill(writer);
        throw ArchiveException(ArchiveException::Cause::generic,
                               QStringLiteral("failed while encoding"));
    } catch (const ArchiveException&) {
    }
    expectUnchanged();
}

TEST_F(SaveOver, WriteFailingHalfWayLeavesTheOldFile)
{
    // A file size limit makes the write of the new container fail after its first bytes, as a
    // full disk would.
    struct rlimit old
    {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct sigaction ignore
    {
    }, oldAction{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &oldAction), 0);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::optional<FileException::Cause> cause;
    try {
        CompoundFileWriter writer(path);
        fill(writer);
        writer.commit();
    } catch (const FileException& e) {
        cause = e.cause();
        EXPECT_EQ(e.fileName(), path);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &oldAction, nullptr);
    EXPECT_EQ(cause, FileException::Cause::generic);
    expectUnchanged();
}

TEST_F(SaveOver, SaveIntoAMissingDirectoryCreatesNothing)
{
    const QString elsewhere = dir.filePath(QStringLiteral("gone/plot.pvn"));
    CompoundFileWriter writer(elsewhere);
    fill(writer);
    try {
        writer.commit();
        ADD_FAILURE() << "saved";
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::badPath);
        EXPECT_EQ(e.fileName(), elsewhere);
    }
    expectUnchanged();
}

TEST_F(SaveOver, SaveOntoADirectoryIsRefused)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub.pvn")));
    entriesBefore = entriesOf(dir.path());
    CompoundFileWriter writer(dir.filePath(QStringLiteral("sub.pvn")));
    fill(writer);
    try {
        writer.commit();
        ADD_FAILURE() << "saved";
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::accessDenied);
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("sub.pvn"))).isDir());
    expectUnchanged();
}

TEST_F(SaveOver, SuccessfulSaveReplacesTheFileAndKeepsItsPermissions)
{
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString link = dir.filePath(QStringLiteral("link.pvn"));
    ASSERT_TRUE(QFile::link(path, link));

    CompoundFileWriter writer(link);
    fill(writer);
    writer.commit();

    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"link.pvn", "plot.pvn"}));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat st
    {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    const CompoundFileReader reader(path);
    EXPECT_EQ(reader.readStream(contentsStreamName()), pattern(1024 * 1024));
    EXPECT_EQ(reader.readStream({QStringLiteral("Embedding 1")}, QStringLiteral("Picture")), "b");
}

} // namespace
